// frmKat3's fee rule: the items' subtotal times the classification's value factor.
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat3 {

namespace forms = kado::forms;

const std::array<FeeItem, 4> kFeeItems = {{
    {schedule::kOriginalParcels, "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", "lblAusFlur"},
    {.item = schedule::kFormedParcels, .text = "gebildete Flurstücke", .description = "grdNeuFlur",
     .count = ctl::kFlurstücke, .label = "lblNeuFlur", .logModule = "Rechnung", .logProcedure = "mskGesamt"},
    {schedule::kBoundaryPoints, "Grenzpunkte der neuen Grenze", nullptr, "mskGP", "lblGP"},
    {schedule::kMarking, "abzumarkende Grenzpunkte der neuen Grenze", nullptr, "mskAGP", "lblAGP"},
}};

Inputs ReadInputs(forms::Form& form) {
    Inputs in;
    ReadCounts(form, kFeeItems, in.counts);
    in.valueFactor = LabelValue(form, honora::ctl::kFaktor);
    return in;
}

Fees ComputeFees(const Inputs& in) {
    Fees f;
    f.subtotal = ItemFees(kFeeItems, in.counts, f.items);
    f.total = f.subtotal * in.valueFactor;
    return f;
}

FeeRecord Record(const Fees& fees) {
    FeeRecord r = ItemFeeRecord(kFeeItems, fees.items, ctl::kZwischen, fees.subtotal);
    r.Add(ctl::kSumme, fees.total);
    return r;
}

}  // namespace honora::kat3
