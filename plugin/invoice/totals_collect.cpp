#include "plugin/invoice/totals_collect.h"

#include <algorithm>

#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/invoice/markers.h"

namespace honora {

Gebührensumme GebührenSammeln(kado::word::Document& doc, int16_t standardSatz) {
    Gebührensumme summe;
    auto still = [](auto&& schritt) { Steps::Quiet(schritt); };
    fee_collection::GebührenzellenDurchgehen(doc, still, [&](const fee_collection::Gebührenzelle& zelle) {
        const FeeMark mark = DecodeFeeMark(zelle.marke);
        const double satz = mark.kind == FeeMark::Kind::Rate ? mark.rate : standardSatz;
        const double wert = CVal(zelle.betrag);
        if (satz > 0) {
            const float s = static_cast<float>(satz);
            auto it = std::find_if(summe.sätze.begin(), summe.sätze.end(),
                                   [s](const Steuersatz& x) { return x.satz == s; });
            if (it == summe.sätze.end()) it = summe.sätze.insert(summe.sätze.end(), Steuersatz{s, 0});
            it->zwischensumme += wert;
        }
        summe.netto += wert;
    });
    return summe;
}

}  // namespace honora
