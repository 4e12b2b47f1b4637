// frmKat1's fee rule: counts times unit fees, the splinter reduction on the
// subtotal, the marked points, then the larger of the two value factors.
#include <string>

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/framework/field_access.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat1 {

namespace forms = kado::forms;

const std::array<FeeItem, 8> kPosten = {{
    {"30.21.1", "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", 150, "150,00 €", "lblAusFlur"},
    {"30.21.2.1", "gebildete Flurstücke", "grdNeuFlur", "mskGesamt", 220, "220,00 €", "lblNeuFlur"},
    {"30.21.2.2", "Ermäßigungen 2 Flurstücke mit Fläche < 75m² ", "txt_2", "mskGesamt2", -330, "-330,00 €", "lblNeu2"},
    {"30.21.2.3", "Ermäßigungen Fläche < 75m², erstes Flurstück ", "txt_50", ctl::kGesamt75, -220, "-220,00 €",
     "lblNeu75"},
    {"", "Ermäßigungen Fläche < 75m², weitere Flurstück ", nullptr, ctl::kWeiter75, -110, "-110,00 €",
     "lblNeu75_51"},
    {"30.21.2.4", "Anzahl der Erhöhungen Fläche > 599/524 m² ", "Text4", "mskGesamt599", 220, "220,00 €",
     "lblNeu499"},
    {"30.21.3", "Grenzpunkte der neuen Grenze", nullptr, "mskGP", 40, "40,00 €", "lblGP"},
    {"30.22.2", "abzumarkende Grenzpunkte der neuen Grenze", nullptr, ctl::kAGP, 40, "40,00 €", "lblAGP"},
}};

namespace {

constexpr double kSplitterFaktor = 0.7;

}  // namespace

void GebührBerechnen(forms::Form& form) {
    Steps s(kName, "Zeitdifferenz");
    double summe = 0;
    // Every item up to the boundary points; the marked points come after the reduction.
    s(100, [&] { summe = ItemsFee(form, std::span(kPosten).first(kPosten.size() - 1)); });
    s(110, [&] { form.Get<forms::Label>(ctl::kZwischen).SetCaption(BetragText(summe)); });
    s(120, [&] {
        if (form.Get<forms::CheckBox>(ctl::kSplitter).Value() == 1) summe *= kSplitterFaktor;
    });
    s(130, [&] { summe += ItemFee(form, kPosten.back()); });
    double faktor = 0;
    s(140, [&] {
        const double k = LabelWert(form, honora::ctl::kStrasse);
        const double w = LabelWert(form, honora::ctl::kFaktor);
        faktor = k > w ? k : w;
    });
    s(150, [&] { form.Get<forms::Label>(ctl::kSumme).SetCaption(BetragText(faktor * summe)); });
}

std::string Widerspruch(forms::Form& form) {
    using kado::com::NumberToText;
    const std::string zwischen = form.Get<forms::Label>(ctl::kZwischen).Caption();
    if (CVal(zwischen) >= 0) return {};
    auto anzahl = [&](size_t i) { return kado::com::PlainRead(form.Get<forms::MaskEdBox>(kPosten[i].count).Text()); };
    const double gebildet = anzahl(1), zwei = anzahl(2), erstes = anzahl(3), weitere = anzahl(kWeitere);
    // A division into two small parcels forms two of them; every small parcel
    // is one of the formed ones and counts under one reduction only.
    const double klein = 2 * zwei + erstes + weitere;
    const std::string ende = ".\nBitte die Anzahlen berichtigen; in die Rechnung wurde nichts geschrieben.";
    if (klein <= gebildet) return "Die Zwischensumme wäre negativ (" + zwischen + " €)" + ende;
    std::string teile;
    auto teil = [&](const char* caption, double n, const std::string& extra = {}) {
        if (n != 0) teile += (teile.empty() ? "" : "; ") + std::string(caption) + ": " + NumberToText(n) + extra;
    };
    teil("davon Zerlegung in 2 Flurstücke < 75m²", zwei, ", also " + NumberToText(2 * zwei) + " Flurstücke");
    teil("davon Fläche < 75m², erstes", erstes);
    teil("weitere", weitere);
    return "Die Anzahlen widersprechen sich: die Ermäßigungen zählen " + NumberToText(klein) + " Flurstücke < 75m² (" +
           teile + "), gebildete Flurstücke sind aber nur " + NumberToText(gebildet) + ende;
}

void StartwerteSetzen(forms::Form& form) {
    Steps s(kName, "Zeitdifferenz");
    for (const auto& p : kPosten)
        if (p.description) s(500, [&] { SetFieldText(form, p.description, ""); });
    for (const auto& p : kPosten)
        if (p.count != std::string_view(ctl::kWeiter75)) s(510, [&] { SetFieldText(form, p.count, "    "); });
    s(520, [&] { SetFieldText(form, honora::ctl::kBoden, "    "); });
}

}  // namespace honora::kat1
