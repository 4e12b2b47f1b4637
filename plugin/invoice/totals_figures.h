// The invoice figures from the fee sums: VAT per rate, then a discount, an
// advance share in percent or an absolute advance amount.
#pragma once

#include <cstdint>

#include "plugin/invoice/totals_values.h"

namespace honora {

// The session's discount settings.
struct DiscountSettings {
    double absoluteAmount = 0;     // AbschlagAbsolut, euro
    int16_t percent = 100;  // AbschlagProzent; 100 is the full amount
    int16_t rebate = 0;     // Rabatt, percent
};

// VAT rounded to cents per rate; a failing figure is logged and keeps its
// previous value (an absolute advance on a net sum of 0 leaves the factor 0).
InvoiceTotals ComputeTotals(const FeeTotals& fees, const DiscountSettings& discount);

// The VAT of a net amount at a rate in euro, rounded half up to a cent.
double Mehrwertsteuer(float rate, double net);

}  // namespace honora
