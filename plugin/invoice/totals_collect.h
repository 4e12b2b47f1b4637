// Collection of the fee amounts of every fee table of the invoice document,
// grouped by the VAT rate their cell's comment names.
#pragma once

#include <cstdint>

#include "platform/word/word.h"
#include "plugin/invoice/totals_values.h"

namespace honora {

// Sums column 5 of every table whose cell (1, 2) is not "Summe". A cell's
// comment gives its rate ("no": not counted); without one the standard rate
// applies. Failures are skipped silently.
FeeTotals CollectFees(kado::word::Document& doc, int16_t standardRate);

}  // namespace honora
