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
struct Steuersatz {
    float satz = 0;         // percent, single precision as the rate list keeps it
    double zwischensumme = 0;
};

// What the fee tables of the document add up to.
struct Gebührensumme {
    double netto = 0;                 // every counted fee, VAT-free ones included
    std::vector<Steuersatz> sätze;    // distinct positive rates in order of first appearance
};

// The figures of the totals table and of the write-back.
struct Rechnungssumme {
    double mwstGesamt = 0;    // VAT of all rates, scaled by the discount
    double steuerNetto = 0;   // net of the taxed rows, scaled by the discount
    double nettoFällig = 0;   // net invoiced after discount or advance share
    double faktor = 0;        // what the discount applies to VAT figures
    bool abschlag = false;    // a discount or advance share applies (row 2)
    int16_t ersteMwStZeile = 2;
    int16_t letzteZeile = 3;  // the amount-due row
};


}  // namespace honora
