// frmKat2's fee rule: the items' subtotal times the value factor and Faktor A;
// the reduction and the share apply only in the fee table.
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat2 {

namespace forms = kado::forms;

const std::array<FeeItem, 4> kPosten = {{
    {schedule::kAusgangsflurstücke, "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", "lblAusFlur"},
    {.item = schedule::kGebildeteFlurstücke, .text = "gebildete Flurstücke", .description = "grdNeuFlur",
     .count = "mskGesamt", .label = "lblNeuFlur", .countReformatted = true, .logModule = "Rechnung",
     .logProcedure = "mskGesamt"},
    {schedule::kGrenzpunkte, "Grenzpunkte der neuen Grenze", nullptr, "mskGP", "lblGP"},
    {schedule::kAbmarkung, "Abzumarkende Grenzpunkte", nullptr, "mskAGP", "lblAGP"},
}};

void GebührBerechnen(forms::Form& form) {
    Steps s(kName, "Zeitdifferenz");
    double summe = 0;
    s(100, [&] { summe = ItemsFee(form, kPosten); });
    s(110, [&] { form.Get<forms::Label>(ctl::kZwischen).SetCaption(BetragText(summe)); });
    s(120, [&] {
        const double fee = LabelWert(form, honora::ctl::kFaktor) * summe * LabelWert(form, ctl::kDichte);
        form.Get<forms::Label>(ctl::kSumme).SetCaption(BetragText(fee));
    });
}

}  // namespace honora::kat2
