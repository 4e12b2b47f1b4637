// The invoice figures from the fee sums: VAT per rate, then a discount, an
// advance share in percent or an absolute advance amount.
#pragma once

#include <cstdint>

#include "plugin/invoice/totals_values.h"

namespace honora {

// The session's discount settings.
struct Abschlag {
    double absolut = 0;     // AbschlagAbsolut, euro
    int16_t prozent = 100;  // AbschlagProzent; 100 is the full amount
    int16_t rabatt = 0;     // Rabatt, percent
};

// VAT rounded to cents per rate; a failing figure is logged and keeps its
// previous value (an absolute advance on a net sum of 0 leaves the factor 0).
Rechnungssumme SummenBerechnen(const Gebührensumme& gebühren, const Abschlag& abschlag);

// The VAT of a net amount at a rate in euro, rounded half up to a cent.
double Mehrwertsteuer(float satz, double netto);

}  // namespace honora
