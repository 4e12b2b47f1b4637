// frmKat2's fee rule: the items' subtotal times the value factor and Faktor A;
// the reduction and the share apply only in the fee table, to the rounded fee.
#include "plugin/common/number_text.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat2 {

namespace forms = kado::forms;

const std::array<FeeItem, 4> kFeeItems = {{
    {schedule::kOriginalParcels, "Ausgangsflurstücke", "grdAusFlur", "mskAusFlur", "lblAusFlur"},
    {.item = schedule::kFormedParcels, .text = "gebildete Flurstücke", .description = "grdNeuFlur",
     .count = "mskGesamt", .label = "lblNeuFlur", .countReformatted = true, .logModule = "Rechnung",
     .logProcedure = "mskGesamt"},
    {schedule::kBoundaryPoints, "Grenzpunkte der neuen Grenze", nullptr, "mskGP", "lblGP"},
    {schedule::kMarking, "Abzumarkende Grenzpunkte", nullptr, "mskAGP", "lblAGP"},
}};

Inputs ReadInputs(forms::Form& form) {
    Inputs in;
    ReadCounts(form, kFeeItems, in.counts);
    in.valueFactor = LabelValue(form, honora::ctl::kFaktor);
    in.areaFactor = LabelValue(form, ctl::kDichte);
    return in;
}

Fees ComputeFees(const Inputs& in) {
    Fees f;
    f.subtotal = ItemFees(kFeeItems, in.counts, f.items);
    f.total = in.valueFactor * f.subtotal * in.areaFactor;
    f.reduction = AsShown(f.total) * -schedule::kReductionShare;
    return f;
}

FeeRecord Record(const Fees& fees) {
    FeeRecord r = ItemFeeRecord(kFeeItems, fees.items, ctl::kZwischen, fees.subtotal);
    r.Add(ctl::kSumme, fees.total);
    r.AddText(kReduction, fees.reduction, AmountText(fees.reduction, 8, 2), false);
    return r;
}

}  // namespace honora::kat2
