// Working values of the invoice totals: fee sums per VAT rate, the figures
// after discount or advance share, and the rows of the totals table.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/com/error.h"
#include "plugin/common/need.h"

namespace honora {

// One VAT rate of the invoice with the net amount of its fee rows.
struct VatRateSum {
    float rate = 0;         // percent, single precision as the rate list keeps it
    double subtotal = 0;
};

// What the fee tables of the document add up to.
struct FeeTotals {
    double net = 0;                 // every counted fee, VAT-free ones included
    std::vector<VatRateSum> rates;    // distinct positive rates in order of first appearance
};

// The figures of the totals table and of the write-back.
struct InvoiceTotals {
    double vatTotal = 0;    // VAT of all rates, scaled by the discount
    double taxedNet = 0;   // net of the taxed rows, scaled by the discount
    double netDue = 0;   // net invoiced after discount or advance share
    double factor = 0;        // what the discount applies to VAT figures
    bool discount = false;    // a discount or advance share applies (row 2)
    int16_t firstVatRow = 2;
    int16_t lastRow = 3;  // the amount-due row
};


}  // namespace honora
