// frmKat1's identity and fee table: an item block per count, the optional
// reductions, the splinter rows, the factor that was used, and the read-back.
#include <cmath>
#include <string>

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/framework/cell_io.h"
#include "plugin/dialogs/framework/factor_rows.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"
#include "plugin/invoice/markers.h"

namespace honora::kat1 {

namespace forms = kado::forms;
using kado::com::PlainRead;

namespace {

bool ClassificationIsLarger(forms::Form& f) {
    return LabelValue(f, honora::ctl::kStrasse) > LabelValue(f, honora::ctl::kFaktor);
}

// Further small parcels without a first one count in the fee but get no row;
// the subtotal in the table tells how many there were, so reconfirming keeps the fee.
void FurtherFromSubtotal(forms::Form& form, const kado::word::Table& t) {
    if (PlainRead(form.Get<forms::MaskEdBox>(ctl::kGesamt75).Text()) > 0) return;
    if (PlainRead(form.Get<forms::MaskEdBox>(ctl::kWeiter75).Text()) != 0) return;
    const int rows = t.GetRows().Count();
    for (int r = 3; r <= rows; ++r) {
        if (ZelleEinlesen(t, static_cast<int16_t>(r), 2) != kZwischensumme) continue;
        // No further parcels are counted yet, so the subtotal lacks exactly their reduction.
        const double withoutShare = ComputeFees(ReadInputs(form)).subtotal;
        const double countValue =
            std::round((withoutShare - CVal(ZelleEinlesen(t, static_cast<int16_t>(r), 5))) / -kFeeItems[kFurtherSmallIndex].item.unitFee);
        if (countValue >= 1 && countValue <= 9999) {
            std::string text = kado::com::NumberToText(countValue);
            text.resize(4, ' ');
            form.Get<forms::MaskEdBox>(ctl::kWeiter75).SetText(text);
        }
        return;
    }
}

}  // namespace

Category Definition() {
    Category k;
    k.name = std::string(kName);
    k.marker = marke::CategoryMarker(1);
    k.widths = {1.9, 7.9, 1.7, 3.5, 2.5};
    k.caption = std::string(kCaption);
    k.design = Controls;
    k.feeRule = FeeRuleOf<ReadInputs, ComputeFees, Record>;
    k.StartwerteSetzen = StartwerteSetzen;
    k.startValuesAlways = true;
    k.contradiction = Contradiction;
    k.rows = TableRows();
    k.features = {.valueFactor = true, .classificationFactor = true};
    k.recalcOnLeave = CountTriggers(kFeeItems);
    k.recalcOnClick = {{.key = ctl::kSplitter, .before = [](forms::Form& f) {
                            f.Get<forms::Label>(ctl::kSplinterFactor)
                                .SetVisible(f.Get<forms::CheckBox>(ctl::kSplitter).Value() == 1);
                        }}};
    return k;
}

FeeRows TableRows() {
    const FeeItem& furtherSmall = kFeeItems[kFurtherSmallIndex];
    const Condition firstSmall = CountAbove0(ctl::kGesamt75);
    const Condition counted = CountAbove0(furtherSmall.count);
    const Condition withFurther = [firstSmall, counted](forms::Form& f) { return firstSmall(f) && counted(f); };
    FeeRows t;
    t.titles = {{std::string(kCaption)}};
    t.blocks = {
        TwoRowItem(kFeeItems[0]),
        TwoRowItem(kFeeItems[1]),
        TwoRowItem(kFeeItems[2], CountAbove0(kFeeItems[2].count)),
        TwoRowItem(kFeeItems[3], firstSmall),
        OneRowItem(furtherSmall, withFurther),
        TwoRowItem(kFeeItems[5], CountAbove0(kFeeItems[5].count)),
        OneRowItem(kFeeItems[6]),
        SubtotalBlock(ctl::kZwischen),
        {.height = 2,
         .variants = {{.when = Selected(ctl::kSplitter),
                       .cells = {{.column = 1, .text = Lit("30.1.2")},
                                 {.column = 2, .text = Lit("Ermäßigung Splitterflächen")},
                                 {.column = 3, .text = Lit("Faktor")},
                                 {.row = 1, .column = 3, .text = Lit(FactorText(schedule::kSplinterFactor))}},
                       .selects = ctl::kSplitter}}},
        OneRowItem(kFeeItems[7]),
        // The factor the fee used: the classification only when it is the larger.
        {.height = 4, .variants = {ClassificationRows(ClassificationIsLarger), LandValueRows()}},
        {.height = 1,
         .variants = {{.cells = {{.column = 2, .text = Lit("Gebühr = (Zwischensumme + 30.22.2) * Faktor")},
                                 {.column = 5, .text = Amount(ctl::kSumme), .role = Role::Payable}}}}},
    };
    t.spareRows = [firstSmall, counted](forms::Form& f) -> int16_t { return counted(f) && !firstSmall(f) ? 2 : 0; };
    t.implied = FurtherFromSubtotal;
    return t;
}

}  // namespace honora::kat1
