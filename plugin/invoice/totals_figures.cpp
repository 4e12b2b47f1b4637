#include "plugin/invoice/totals_figures.h"

#include <cmath>

#include "platform/com/error.h"
#include "plugin/common/steps.h"

namespace honora {

double Mehrwertsteuer(float satz, double netto) {
    return std::floor(static_cast<double>(satz) * netto + 0.5) / 100;
}

Rechnungssumme SummenBerechnen(const Gebührensumme& gebühren, const Abschlag& abschlag) {
    Steps s("GebührenTabelle", "SummeBilden");
    Rechnungssumme r;
    s(200, [&] {
        for (const auto& satz : gebühren.sätze) {
            r.mwstGesamt += Mehrwertsteuer(satz.satz, satz.zwischensumme);
            r.steuerNetto += satz.zwischensumme;
        }
    });
    if (abschlag.absolut == 0 && abschlag.prozent == 100 && abschlag.rabatt == 0) {
        s(210, [&] {
            r.nettoFällig = gebühren.netto;
            r.faktor = 1;
        });
    } else {
        r.abschlag = true;
        r.ersteMwStZeile = 3;
        r.letzteZeile = 4;
        if (abschlag.rabatt > 0) {
            const double anteil = (100 - abschlag.rabatt) / 100.0;
            s(220, [&] { r.nettoFällig = gebühren.netto * (100 - abschlag.rabatt) / 100; });
            s(221, [&] { r.mwstGesamt = r.mwstGesamt * (100 - abschlag.rabatt) / 100; });
            s(222, [&] { r.steuerNetto = r.steuerNetto * (100 - abschlag.rabatt) / 100; });
            s(223, [&] { r.faktor = anteil; });
        } else if (abschlag.prozent < 100) {
            s(230, [&] { r.nettoFällig = gebühren.netto * abschlag.prozent / 100; });
            s(231, [&] { r.mwstGesamt = r.mwstGesamt * abschlag.prozent / 100; });
            s(232, [&] { r.steuerNetto = r.steuerNetto * abschlag.prozent / 100; });
            s(233, [&] { r.faktor = abschlag.prozent / 100.0; });
        } else {
            s(240, [&] {
                if (gebühren.netto == 0) kado::com::Raise(kado::com::err::DivisionByZero, "Division by zero");
                r.faktor = abschlag.absolut / gebühren.netto;
            });
            s(241, [&] { r.mwstGesamt *= r.faktor; });
            s(242, [&] { r.steuerNetto *= r.faktor; });
            s(243, [&] { r.nettoFällig = abschlag.absolut; });
        }
    }
    s(250, [&] {
        const auto zeilen = static_cast<int32_t>(r.letzteZeile) + static_cast<int32_t>(gebühren.sätze.size());
        if (zeilen > INT16_MAX) kado::com::Raise(kado::com::err::Overflow, "Overflow");
        r.letzteZeile = static_cast<int16_t>(zeilen);
    });
    return r;
}

}  // namespace honora
