// The final-invoice block of the totals table: the invoice's own figures,
// the advance invoices of the same order deducted, and what remains due.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/dao/dao.h"
#include "platform/word/word.h"
#include "plugin/invoice/totals_table.h"
#include "plugin/invoice/totals_values.h"

namespace honora {

// Deducts the advance invoices (kind 5) of the invoice's order below the
// table's last row and turns `sum` into the figures that remain due.
// Returns the deduction rows, or nothing when no advance invoice exists.
std::optional<DeductionRows> WriteFinalInvoiceBlock(const kado::word::Table& table, kado::dao::Database& db,
                                                     int16_t options, const kado::dao::Recordset& invoice,
                                                     InvoiceTotals& sum);

}  // namespace honora
