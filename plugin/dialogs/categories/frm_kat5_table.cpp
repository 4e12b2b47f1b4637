// frmKat5's identity and its fee table: the rows it writes from its labels,
// and the inputs each of them gives back when the dialog opens on it again.
#include <algorithm>
#include <string>

#include "plugin/common/number_text.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/fee_items.h"
#include "plugin/dialogs/framework/cell_io.h"
#include "plugin/dialogs/framework/factor_rows.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"
#include "plugin/invoice/markers.h"

namespace honora::kat5 {

namespace forms = kado::forms;

// The table shows one factor, the fee used the larger of two: the quotient of
// "Zwischensumme * Faktor" (row 13) and "Zwischensumme" (row 7) tells which
// factor the hidden one was when it was larger, so reconfirming keeps the fee.
void HiddenFactor(forms::Form& form, const kado::word::Table& t) {
    if (t.GetRows().Count() < 13) return;  // not a table of this dialog
    const double z = CVal(ZelleEinlesen(t, 7, 5));
    if (z <= 0) return;
    const double f = CVal(ZelleEinlesen(t, 13, 5)) / z;
    const double shown = std::max(LabelValue(form, honora::ctl::kFaktor), LabelValue(form, honora::ctl::kStrasse));
    if (f <= shown + 0.005) return;
    if (form.Get<forms::OptionButton>(ctl::kFaktorArt, 0).Value()) {
        if (const int i = ClassificationWithFactor(f); i >= 0) {
            form.Get<forms::ComboBox>(honora::ctl::kKlassifizierung).SetListIndex(i);
            form.Get<forms::Label>(honora::ctl::kStrasse).SetCaption(ClassificationFactorOf(i));
        }
    } else if (const std::string caption = ValueFactorWithValue(f); !caption.empty()) {
        // The land value itself is not in the table; only its factor is restored.
        form.Get<forms::Label>(honora::ctl::kFaktor).SetCaption(caption);
    }
}

Category Definition() {
    Category k;
    k.name = std::string(kName);
    k.marker = marke::CategoryMarker(5);
    k.widths = {1.5, 8.3, 1.9, 3.3, 2.5};
    k.caption = std::string(kCaption);
    k.design = Controls;
    k.inputRule = KindRule;
    k.feeRule = FeeRuleOf<ReadInputs, ComputeFees, Record>;
    k.rows = TableRows();
    k.features = {.valueFactor = true, .classificationFactor = true};
    k.recalcOnLeave = {{ctl::kAGPo}, {ctl::kAGP}};
    k.recalcOnClick = {{ctl::kNr0}, {ctl::kNr3}};
    return k;
}

FeeRows TableRows() {
    const Condition determinedCount = CountAbove0(ctl::kAGPo);
    FeeRows t;
    t.titles = {
        {"Grenzfeststellung nach Nr. 30.6.1.1", Not(Selected(ctl::kNr3)), "30.6.1", ctl::kNr0},
        {"Grenzfeststellung nach Nr. 30.6.2.1", {}, "30.6.2", ctl::kNr3},
    };
    t.blocks = {
        {.height = 2,
         .variants = {{.cells = {{.column = 1, .text = Lit(schedule::kBoundaryDetermination.number)},
                                 {.column = 2, .text = Lit("Grenzfeststellung")},
                                 {.column = 3, .text = FieldText(ctl::kAGPo), .when = determinedCount,
                                  .restore = IntoText(ctl::kAGPo)},
                                 {.column = 4, .text = Lit(UnitText(schedule::kBoundaryDetermination.unitFee)), .when = determinedCount},
                                 {.column = 5, .text = Amount(ctl::kLblAGPo), .role = Role::Excluded,
                                  .when = determinedCount}}}}},
        {.height = 2,
         .variants = {{.when = CountAbove0(ctl::kAGP),
                       .cells = {{.column = 1, .text = Lit(schedule::kMarking.number)},
                                 {.column = 2, .text = Lit("abgemarkte Grenzpunkte")},
                                 {.column = 3, .text = FieldText(ctl::kAGP), .restore = IntoText(ctl::kAGP)},
                                 {.column = 4, .text = Lit(UnitText(schedule::kMarking.unitFee))},
                                 {.column = 5, .text = Amount(ctl::kLblAGP), .role = Role::Excluded}}}},
         .keepsPlace = true},
        SubtotalBlock(ctl::kZwischen),
        // The basis option only chooses which factor the table shows; the fee uses the larger.
        {.height = 4,
         .variants = {LandValueRows(Selected(ctl::kFaktor0), ctl::kFaktor0), ClassificationRows({}, ctl::kFaktor1)},
         .fallback = 0},
        {.height = 2,
         .variants = {{.cells = {{.column = 2, .text = Lit("Zwischensumme * Faktor")},
                                 {.column = 5, .text = Amount(ctl::kZF), .role = Role::Excluded}}}}},
        {.height = 2,
         .variants = {{.cells = {{.column = 2, .text = Lit("Sockelbetrag")},
                                 {.column = 5, .text = Amount(ctl::kSockel), .role = Role::Excluded}}}}},
        {.height = 1,
         .variants = {{.cells = {{.column = 2, .text = Lit("Gebühr")},
                                 {.column = 5, .text = Amount(ctl::kSumme), .role = Role::Payable}}}}},
    };
    t.implied = HiddenFactor;
    return t;
}

}  // namespace honora::kat5
