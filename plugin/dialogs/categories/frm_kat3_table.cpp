// frmKat3's identity and fee table: the items, the classification with its
// value factor, the fee, and the inputs each row gives back.
#include <string>

#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"
#include "plugin/invoice/markers.h"

namespace honora::kat3 {

namespace forms = kado::forms;

Category Kategorie() {
    Category k;
    k.name = std::string(kName);
    k.marker = marke::Kategorie(3);
    k.widths = {1.5, 8.3, 1.7, 3.5, 2.5};
    k.caption = std::string(kCaption);
    k.design = Controls;
    k.feeRule = FeeRuleOf<ReadInputs, ComputeFees, Record>;
    k.rows = Tabelle();
    k.recalcOnLeave = CountTriggers(kPosten);
    // Here the classification sets the value factor itself.
    k.recalcOnLeave.push_back({.key = honora::ctl::kKlassifizierung, .before = [](forms::Form& f) {
                            f.Get<forms::Label>(honora::ctl::kFaktor)
                                .SetCaption(ClassificationFactorOf(
                                    f.Get<forms::ComboBox>(honora::ctl::kKlassifizierung).ListIndex()));
                        }});
    return k;
}

FeeRows Tabelle() {
    using honora::ctl::kFaktor;
    using honora::ctl::kKlassifizierung;
    const FeeItem& gebildete = kPosten[1];
    FeeRows t;
    t.titles = {{std::string(kCaption)}};
    t.blocks = {
        TwoRowItem(kPosten[0]),
        {.height = 4,
         .variants = {{.cells = {{.column = 1, .text = Lit(gebildete.item.number)},
                                 {.column = 2, .text = Lit(gebildete.text)},
                                 {.row = 1, .column = 2, .text = FieldText(gebildete.count, " Flur-/Zuflurstücke")},
                                 {.row = 2, .column = 2, .text = FieldText(gebildete.description),
                                  .restore = IntoText(gebildete.description)},
                                 {.row = 2, .column = 3, .text = FieldText(gebildete.count),
                                  .restore = IntoText(gebildete.count)},
                                 {.row = 2, .column = 4, .text = Lit(UnitText(gebildete.item.unitFee))},
                                 {.row = 2, .column = 5, .text = Amount(gebildete.label), .role = Role::Excluded}}}}},
        OneRowItem(kPosten[2]),
        OneRowItem(kPosten[3]),
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
