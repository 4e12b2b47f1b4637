// Tables of the host's database as the plug-in reads them; applied to
// new databases by the demo host and the tests.
#pragma once

#include <string_view>

#include "platform/dao/dao.h"

namespace kado::dao {

// Same text as schema/host.sql. Büro (the office, its first row), Auftrag and
// Auftraggeber (an order's client) hold the e-invoice's master data.
// One text for both engines: DOUBLE PRECISION keeps amounts in 8-byte floats
// and TIMESTAMP keeps a date's time of day on PostgreSQL as well (REAL and
// DATE would not there).
std::string_view HostSchemaSql();
void ApplyHostSchema(Database& db);

}  // namespace kado::dao
