// frmKat2's fee rule: the items' subtotal times the value factor and Faktor A;
// the reduction and the share apply only in the fee table.
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat2 {

namespace forms = kado::forms;

const std::array<FeeItem, 4> kPosten = {{
    {"30.21.1", "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", 150, "150,00 €", "lblAusFlur"},
    {"30.21.2", "gebildete Flurstücke", "grdNeuFlur", "mskGesamt", 220, "220,00 €", "lblNeuFlur"},
    {"30.21.3", "Grenzpunkte der neuen Grenze", nullptr, "mskGP", 40, "40,00 €", "lblGP"},
    {"30.22.2", "Abzumarkende Grenzpunkte", nullptr, "mskAGP", 40, "40,00 €", "lblAGP"},
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
