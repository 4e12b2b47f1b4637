// frmKat3's fee rule: the items' subtotal times the classification's value factor.
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat3 {

namespace forms = kado::forms;

const std::array<FeeItem, 4> kPosten = {{
    {schedule::kAusgangsflurstücke, "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", "lblAusFlur"},
    {.item = schedule::kGebildeteFlurstücke, .text = "gebildete Flurstücke", .description = "grdNeuFlur",
     .count = ctl::kFlurstücke, .label = "lblNeuFlur", .logModule = "Rechnung", .logProcedure = "mskGesamt"},
    {schedule::kGrenzpunkte, "Grenzpunkte der neuen Grenze", nullptr, "mskGP", "lblGP"},
    {schedule::kAbmarkung, "abzumarkende Grenzpunkte der neuen Grenze", nullptr, "mskAGP", "lblAGP"},
}};

void GebührBerechnen(forms::Form& form) {
    Steps s(kName, "Zeitdifferenz");
    double summe = 0;
    s(100, [&] { summe = ItemsFee(form, kPosten); });
    s(110, [&] { form.Get<forms::Label>(ctl::kZwischen).SetCaption(BetragText(summe)); });
    s(120, [&] {
        form.Get<forms::Label>(ctl::kSumme).SetCaption(BetragText(summe * LabelWert(form, honora::ctl::kFaktor)));
    });
}

}  // namespace honora::kat3
