// frmKat5's fee rule: 40 € per boundary point determined and per point marked,
// times the larger factor, plus the Sockelbetrag of 150 €.
#include "platform/com/numtext.h"
#include "plugin/common/steps.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat5 {

namespace forms = kado::forms;
using kado::com::PlainRead;

namespace {

constexpr double kJePunkt = schedule::kGrenzfeststellung.unitFee;
constexpr double kJeAbmarkung = schedule::kAbmarkung.unitFee;
constexpr double kSockel = schedule::kSockelbetrag;

}  // namespace

void GebührBerechnen(forms::Form& form) {
    Steps s(kName, "Zeitdifferenz");
    const double S = kSockel;
    double Z = 0;
    double f = 0;

    s(100, [&] {
        auto& agp = form.Get<forms::MaskEdBox>(ctl::kAGP);
        if (form.Get<forms::OptionButton>(ctl::kNr, 0).Value()) {
            agp.SetEnabled(true);
        } else if (form.Get<forms::OptionButton>(ctl::kNr, 3).Value()) {
            // Marking is no part of a mere check of the marks.
            agp.SetText("    ");
            agp.SetEnabled(false);
        }
    });
    s(110, [&] { form.Get<forms::Label>(ctl::kSockel).SetCaption(BetragText(S)); });
    s(120, [&] {
        const double a = PlainRead(form.Get<forms::MaskEdBox>(ctl::kAGP).Text()) * kJeAbmarkung;
        form.Get<forms::Label>(ctl::kLblAGP).SetCaption(BetragText(a));
        Z += a;
    });
    s(130, [&] {
        const double b = PlainRead(form.Get<forms::MaskEdBox>(ctl::kAGPo).Text()) * kJePunkt;
        form.Get<forms::Label>(ctl::kLblAGPo).SetCaption(BetragText(b));
        Z += b;
    });
    s(140, [&] { form.Get<forms::Label>(ctl::kZwischen).SetCaption(BetragText(Z)); });
    s(150, [&] {
        const double fW = LabelWert(form, honora::ctl::kFaktor);
        const double fK = LabelWert(form, honora::ctl::kStrasse);
        f = fW < fK ? fK : fW;
    });
    const double F = f * Z;
    s(160, [&] { form.Get<forms::Label>(ctl::kZF).SetCaption(BetragText(F)); });
    s(170, [&] { form.Get<forms::Label>(ctl::kSumme).SetCaption(BetragText(F + S)); });
}

}  // namespace honora::kat5
