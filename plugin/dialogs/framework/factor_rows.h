// The value factor as the fee tables with both factors show it: item, the
// basis with its input, and the factor; restored from the same cells.
#pragma once

#include <string>

#include "plugin/dialogs/framework/fee_rows.h"

namespace honora {

// 30.23.1: the land value followed by " €/m²" and lblFaktor (three rows of a four-row block).
Variant LandValueRows(Condition when = {}, std::string selects = {});
// 30.23.2: the classification's text and lblStrasse.
Variant ClassificationRows(Condition when = {}, std::string selects = {});

}  // namespace honora
