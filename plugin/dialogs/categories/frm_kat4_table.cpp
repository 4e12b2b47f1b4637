// frmKat4's identity and fee table: description, number of buildings, the
// building costs or their band, base and further fees, and the read-back.
#include <string>

#include "platform/com/numtext.h"
#include "plugin/common/number_text.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/framework/field_access.h"
#include "plugin/invoice/markers.h"

namespace honora::kat4 {

namespace forms = kado::forms;
using kado::com::NumberToText;
using kado::com::PlainRead;

namespace {

constexpr char kFourBlank[] = "    ";
constexpr size_t kCostDigits = 9;

bool FurtherGroups(forms::Form& f) { return f.Get<forms::MaskEdBox>(ctl::kAnzahl30).Text() != kFourBlank; }

std::string Baukosten(forms::Form& f) {
    const std::string text = f.Get<forms::MaskEdBox>(ctl::kBaukosten).Text();
    if (f.Get<forms::CheckBox>(ctl::kBereich).Value() == 1) return BandOfCosts(PlainRead(text)).text;
    return WertFormatieren(text, 7, 0, true) + " €";
}

// The digits stand left in the nine-digit field, as typed.
void SetBuildingCosts(forms::Form& f, double b) {
    std::string digits = NumberToText(b);
    if (digits.size() < kCostDigits) digits.resize(kCostDigits, ' ');
    f.Get<forms::MaskEdBox>(ctl::kBaukosten).SetText(digits);
}

void ReadBuildingCosts(forms::Form& f, const std::string& text) {
    if (const auto b = CostsOfBand(text)) {
        SetBuildingCosts(f, *b);
        Select(f, ctl::kBereich);
    } else {
        SetBuildingCosts(f, CVal(text));
    }
}

}  // namespace

Category Definition() {
    Category k;
    k.name = std::string(kName);
    k.marker = marke::CategoryMarker(4);
    k.widths = {1.5, 8.3, 1.7, 3.5, 2.5};
    k.caption = std::string(kCaption);
    k.design = Controls;
    k.feeRule = FeeRuleOf<ReadInputs, ComputeFees, Record>;
    k.rows = TableRows();
    k.recalcOnLeave = {{ctl::kAnzahl}, {ctl::kAnzahl30}, {ctl::kBaukosten}};
    return k;
}

FeeRows TableRows() {
    FeeRows t;
    t.titles = {{std::string(kCaption)}};
    t.blocks = {
        {.height = 3,
         .variants = {{.cells = {{.column = 1, .text = Lit("30.24")},
                                 {.column = 2, .text = Lit("Gebäudebeschreibung")},
                                 {.row = 1, .column = 2, .text = FieldText(ctl::kGebäude),
                                  .restore = IntoText(ctl::kGebäude)}}}}},
        {.height = 2,
         .variants = {{.cells = {{.column = 2, .text = Lit("Anzahl der Gebäude oder Gebäudeteile")},
                                 {.column = 3, .text = FieldText(ctl::kAnzahl), .restore = IntoNumber(ctl::kAnzahl, 4, 0)}}}}},
        {.height = 3,
         .variants = {{.cells = {{.column = 2, .text = Lit("Summe der Baukosten")},
                                 {.row = 1, .column = 2, .text = Computed(Baukosten),
                                  .restore = IntoRule(ReadBuildingCosts)}}}}},
        {.height = 1,
         .variants = {{.cells = {{.column = 2, .text = Lit("Grundgebühr bis zu 5 Gebäuden oder Gebäudeteilen")},
                                 {.column = 5, .text = Amount(kBaseCell), .role = Role::Excluded}}}}},
        {.height = 1,
         .variants = {{.when = FurtherGroups,
                       .cells = {{.column = 2, .text = Lit("weitere 1 bis 5 Gebäude oder Gebäudeteile")},
                                 {.column = 3, .text = FeeText(ctl::kAnzahl30)},
                                 {.column = 4, .text = FeeText(ctl::kGebühr30)},
                                 {.column = 5, .text = Amount(kFurtherCell), .role = Role::Excluded}}}}},
        {.height = 1, .variants = {{}}},
        {.height = 1,
         .variants = {{.cells = {{.column = 2, .text = Lit("Gebühr")},
                                 {.column = 5, .text = Amount(ctl::kSumme), .role = Role::Payable}}}}},
    };
    // Without the further groups the fee row moves up and the table keeps its 14 rows.
    t.spareRows = [](forms::Form& f) -> int16_t { return FurtherGroups(f) ? 0 : 1; };
    return t;
}

}  // namespace honora::kat4
