// frmKat3's identity and fee table: the items, the classification with its
// value factor, the fee, and the inputs each row gives back.
#include <string>

#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"
#include "plugin/invoice/markers.h"

namespace honora::kat3 {

namespace forms = kado::forms;

Category Definition() {
    Category k;
    k.name = std::string(kName);
    k.marker = marke::CategoryMarker(3);
    k.widths = {1.5, 8.3, 1.7, 3.5, 2.5};
    k.caption = std::string(kCaption);
    k.design = Controls;
    k.feeRule = FeeRuleOf<ReadInputs, ComputeFees, Record>;
    k.rows = TableRows();
    k.recalcOnLeave = CountTriggers(kFeeItems);
    // Here the classification sets the value factor itself.
    k.recalcOnLeave.push_back({.key = honora::ctl::kKlassifizierung, .before = [](forms::Form& f) {
                            f.Get<forms::Label>(honora::ctl::kFaktor)
                                .SetCaption(ClassificationFactorOf(
                                    f.Get<forms::ComboBox>(honora::ctl::kKlassifizierung).ListIndex()));
                        }});
    return k;
}

FeeRows TableRows() {
    using honora::ctl::kFaktor;
    using honora::ctl::kKlassifizierung;
    const FeeItem& formedItem = kFeeItems[1];
    FeeRows t;
    t.titles = {{std::string(kCaption)}};
    t.blocks = {
        TwoRowItem(kFeeItems[0]),
        {.height = 4,
         .variants = {{.cells = {{.column = 1, .text = Lit(formedItem.item.number)},
                                 {.column = 2, .text = Lit(formedItem.text)},
                                 {.row = 1, .column = 2, .text = FieldText(formedItem.count, " Flur-/Zuflurstücke")},
                                 {.row = 2, .column = 2, .text = FieldText(formedItem.description),
                                  .restore = IntoText(formedItem.description)},
                                 {.row = 2, .column = 3, .text = FieldText(formedItem.count),
                                  .restore = IntoText(formedItem.count)},
                                 {.row = 2, .column = 4, .text = Lit(UnitText(formedItem.item.unitFee))},
                                 {.row = 2, .column = 5, .text = Amount(formedItem.label), .role = Role::Excluded}}}}},
        OneRowItem(kFeeItems[2]),
        OneRowItem(kFeeItems[3]),
        SubtotalBlock(ctl::kZwischen),
        // The item the dialog shows beside the classification.
        {.height = 5,
         .variants = {{.cells = {{.column = 1, .text = Lit("30.23.2")},
                                 {.column = 2, .text = Lit("Wertfaktor")},
                                 {.row = 1, .column = 2, .text = Lit("Klassifizierung")},
                                 {.row = 2, .column = 2, .text = FieldText(kKlassifizierung),
                                  .restore = IntoText(kKlassifizierung)},
                                 {.row = 2, .column = 3, .text = Caption(kFaktor), .restore = IntoCaption(kFaktor)}}}}},
        {.height = 1,
         .variants = {{.cells = {{.column = 2, .text = Lit("Gebühr = Zwischensumme * Wertfaktor")},
                                 {.column = 5, .text = Amount(ctl::kSumme), .role = Role::Payable}}}}},
    };
    return t;
}

}  // namespace honora::kat3
