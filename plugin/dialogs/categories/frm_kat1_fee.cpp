// frmKat1's fee rule: counts times unit fees, the splinter reduction on the
// subtotal, the marked points, then the larger of the two value factors.
#include <string>

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/framework/field_access.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat1 {

namespace forms = kado::forms;

const std::array<FeeItem, 8> kPosten = {{
    {schedule::kAusgangsflurstücke, "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", "lblAusFlur"},
    {.item = schedule::kZerlegungGebildete, .text = "gebildete Flurstücke", .description = "grdNeuFlur",
     .count = "mskGesamt", .label = "lblNeuFlur", .logModule = "Rechnung", .logProcedure = "mskGesamt"},
    {.item = schedule::kZweiKleine, .text = "Ermäßigungen 2 Flurstücke mit Fläche < 75m² ", .description = "txt_2",
     .count = "mskGesamt2", .label = "lblNeu2", .logModule = "Rechnung", .logProcedure = "mskGesamt2_LostFocus"},
    {.item = schedule::kErstesKleines, .text = "Ermäßigungen Fläche < 75m², erstes Flurstück ",
     .description = "txt_50", .count = ctl::kGesamt75, .label = "lblNeu75", .logModule = "Rechnung",
     .logProcedure = "mskGesamt75_LostFocus"},
    {.item = schedule::kWeiteresKleines, .text = "Ermäßigungen Fläche < 75m², weitere Flurstück ",
     .count = ctl::kWeiter75, .label = "lblNeu75_51", .numbered = false},
    {.item = schedule::kErhöhung, .text = "Anzahl der Erhöhungen Fläche > 599/524 m² ", .description = "Text4",
     .count = "mskGesamt599", .label = "lblNeu499", .logModule = "Rechnung", .logProcedure = "mskGesamt599_LostFocus"},
    {schedule::kGrenzpunkte, "Grenzpunkte der neuen Grenze", nullptr, "mskGP", "lblGP"},
    {schedule::kAbmarkung, "abzumarkende Grenzpunkte der neuen Grenze", nullptr, ctl::kAGP, "lblAGP"},
}};

void GebührBerechnen(forms::Form& form) {
    Steps s(kName, "Zeitdifferenz");
    double summe = 0;
    // Every item up to the boundary points; the marked points come after the reduction.
    s(100, [&] { summe = ItemsFee(form, std::span(kPosten).first(kPosten.size() - 1)); });
    s(110, [&] { form.Get<forms::Label>(ctl::kZwischen).SetCaption(BetragText(summe)); });
    s(120, [&] {
        if (form.Get<forms::CheckBox>(ctl::kSplitter).Value() == 1) summe *= schedule::kSplitterFaktor;
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
