// frmKat2's identity and fee table: the items, the value factor, Faktor A,
// the fee, the optional 30.2.4 reduction, and the inputs each gives back.
#include <string>

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/framework/field_access.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"
#include "plugin/invoice/markers.h"

namespace honora::kat2 {

namespace forms = kado::forms;

namespace {

using schedule::kReductionShare;

struct AreaTypeOf {
    const char* option;
    double factor;
};
constexpr std::array<AreaTypeOf, 2> kAreaTypes = {
    {{ctl::kOption1, schedule::kAreaFactorResidential}, {ctl::kOption2, schedule::kAreaFactorCommercial}}};

FormHook AreaFactor(double factor) {
    return [factor](forms::Form& f) { f.Get<forms::Label>(ctl::kDichte).SetCaption(AreaFactorText(factor)); };
}

// Faktor A comes back as the table shows it; the area type whose factor it is
// is selected with it, so that the dialog does not show the other one.
void ReadAreaFactor(forms::Form& form, const std::string& text) {
    for (const auto& art : kAreaTypes)
        if (text == AreaFactorText(art.factor)) Select(form, art.option);
    form.Get<forms::Label>(ctl::kDichte).SetCaption(text);
}

}  // namespace

std::string AreaFactorText(double factor) { return WertFormatieren(kado::com::NumberToText(factor), 3, 1, true); }

Category Definition() {
    Category k;
    k.name = std::string(kName);
    k.marker = marke::CategoryMarker(2);
    k.widths = {1.5, 8.3, 1.9, 3.3, 2.5};
    k.caption = std::string(kCaption);
    k.design = Controls;
    k.feeRule = FeeRuleOf<ReadInputs, ComputeFees, Record>;
    k.rows = TableRows();
    k.features = {.valueFactor = true};
    k.recalcOnLeave = CountTriggers(kFeeItems);
    for (const auto& art : kAreaTypes) k.recalcOnClick.push_back({.key = art.option, .before = AreaFactor(art.factor)});
    return k;
}

FeeRows TableRows() {
    using honora::ctl::kBoden;
    using honora::ctl::kFaktor;
    FeeRows t;
    t.titles = {{std::string(kCaption)}};
    t.blocks = {
        TwoRowItem(kFeeItems[0]),
        TwoRowItem(kFeeItems[1]),
        OneRowItem(kFeeItems[2]),
        OneRowItem(kFeeItems[3]),
        SubtotalBlock(ctl::kZwischen),
        {.height = 3,
         .variants = {{.cells = {{.column = 1, .text = Lit("30.23.1")},
                                 {.column = 2, .text = Lit("Wertfaktor bei einem Bodenwert von")},
                                 {.column = 3, .text = FieldText(kBoden, " €/m²"), .restore = IntoNumber(kBoden, 4, 0)},
                                 {.row = 1, .column = 2, .text = Lit("Daraus sich ergebender Wertfaktor")},
                                 {.row = 1, .column = 3, .text = Caption(kFaktor), .restore = IntoCaption(kFaktor)}}}}},
        {.height = 3,
         .variants = {{.cells = {{.column = 1, .text = Lit("30.2.1")},
                                 {.row = 1, .column = 2, .text = Lit("Faktor A")},
                                 {.row = 1, .column = 3, .text = Caption(ctl::kDichte),
                                  .restore = IntoRule(ReadAreaFactor)}}}}},
        {.height = 1,
         .variants = {{.cells = {{.column = 2, .text = Lit("Gebühr = Zwischensumme * Wertfaktor * Faktor A")},
                                 {.column = 5, .text = Amount(ctl::kSumme), .role = Role::Payable}}}}},
        {.height = 2,
         .variants = {{.when = Selected(ctl::kReductionShare),
                       .cells = {{.row = 1, .column = 1, .text = Lit("30.2.4")},
                                 {.row = 1, .column = 2,
                                  .text = Lit("Ermäßigung, da die Zuteilung weitgehend nicht selbst durchgeführt wurde")},
                                 {.row = 1, .column = 3, .text = Lit(PercentText(kReductionShare))},
                                 {.row = 1, .column = 5, .text = Amount(kReduction), .role = Role::Adjustment}},
                       .selects = ctl::kReductionShare}}},
    };
    t.shareFactor = [](forms::Form& f) {
        return f.Get<forms::CheckBox>(ctl::kReductionShare).Value() == 1 ? 1 - kReductionShare : 1.0;
    };
    return t;
}

}  // namespace honora::kat2
