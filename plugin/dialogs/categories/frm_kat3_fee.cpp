// frmKat3's fee rule: the items' subtotal times the classification's value factor.
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat3 {

namespace forms = kado::forms;

const std::array<FeeItem, 4> kPosten = {{
    {"30.21.1", "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", 150, "150,00 €", "lblAusFlur"},
    {"30.21.2", "gebildete Flurstücke", "grdNeuFlur", ctl::kFlurstücke, 220, "220,00 €", "lblNeuFlur"},
    {"30.21.3", "Grenzpunkte der neuen Grenze", nullptr, "mskGP", 40, "40,00 €", "lblGP"},
    {"30.22.2", "abzumarkende Grenzpunkte der neuen Grenze", nullptr, "mskAGP", 40, "40,00 €", "lblAGP"},
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
