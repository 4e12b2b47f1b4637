// frmKat5's fee rule: 40 € per boundary point determined and per point marked,
// times the larger factor, plus the Sockelbetrag of 150 €.
#include "platform/com/numtext.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat5 {

namespace forms = kado::forms;
using kado::com::PlainRead;

namespace {

constexpr double kPerPoint = schedule::kBoundaryDetermination.unitFee;
constexpr double kPerMarkedPoint = schedule::kMarking.unitFee;
constexpr double kSockel = schedule::kBaseAmount;

}  // namespace

void KindRule(forms::Form& form) {
    auto& agp = form.Get<forms::MaskEdBox>(ctl::kAGP);
    if (form.Get<forms::OptionButton>(ctl::kNr, 0).Value()) {
        agp.SetEnabled(true);
    } else if (form.Get<forms::OptionButton>(ctl::kNr, 3).Value()) {
        agp.SetText("    ");
        agp.SetEnabled(false);
    }
}

Inputs ReadInputs(forms::Form& form) {
    return {PlainRead(form.Get<forms::MaskEdBox>(ctl::kAGPo).Text()),
            PlainRead(form.Get<forms::MaskEdBox>(ctl::kAGP).Text()), LabelValue(form, honora::ctl::kFaktor),
            LabelValue(form, honora::ctl::kStrasse)};
}

Fees ComputeFees(const Inputs& in) {
    Fees f;
    f.base = kSockel;
    // Summed from zero in this order, as the subtotal always was.
    double z = 0;
    f.marked = in.marked * kPerMarkedPoint;
    z += f.marked;
    f.determined = in.determined * kPerPoint;
    z += f.determined;
    f.subtotal = z;
    const double factor = in.landValue < in.classification ? in.classification : in.landValue;
    f.factored = factor * z;
    f.total = f.factored + f.base;
    return f;
}

FeeRecord Record(const Fees& fees) {
    FeeRecord r;
    r.Add(ctl::kSockel, fees.base);
    r.Add(ctl::kLblAGP, fees.marked);
    r.Add(ctl::kLblAGPo, fees.determined);
    r.Add(ctl::kZwischen, fees.subtotal);
    r.Add(ctl::kZF, fees.factored);
    r.Add(ctl::kSumme, fees.total);
    return r;
}

}  // namespace honora::kat5
