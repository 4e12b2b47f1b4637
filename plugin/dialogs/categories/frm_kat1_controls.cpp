// Controls of frmKat1 on a grid: one row per item (number, caption,
// description, count, unit fee, fee), the factors, the sums and the share.
#include <array>
#include <string>

#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/framework/design_kit.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat1 {

namespace forms = kado::forms;
using forms::GridPlace;

namespace {

// The dialog's own captions of the items, in the order of kFeeItems.
constexpr std::array<const char*, 8> kItemCaptions = {
    "Ausgangsflurstücke", "gebildete Flurstücke", "davon Zerlegung in 2 Flurstücke < 75m²",
    "davon Fläche < 75m², erstes", "weitere", "davon Fläche > 599/524 m², nur wirksame Erhöhungen",
    "Grenzpunkte der neuen Grenze", "abzumarkende Grenzpunkte der neuen Grenze"};

}  // namespace

void Controls(forms::Form& form) {
    CaptionArray text(form, "Label2");
    text("Geb. V.", {0, 0});
    text("Gegenstand", {0, 1});
    text("Beschreibung", {0, 2});
    AddItemHeadings(text, 0);

    int row = 1;
    auto addItem = [&](size_t i) {
        const FeeItem& p = kFeeItems[i];
        AddItemRow(form, text, p, nullptr, kItemCaptions[i], row++);
    };
    for (size_t i = 0; i + 1 < kFeeItems.size(); ++i) addItem(i);

    form.Add<forms::Line>("Line3D", GridPlace{row++, 0, 1, 6}, 0);
    text(kZwischensumme, {row, 1});
    AddAmount(form, ctl::kZwischen, "0,00", {row++, 5});
    text("30.1.2", {row, 0});
    form.Add<forms::CheckBox>(ctl::kSplitter, GridPlace{row, 1, 1, 2}).SetCaption("Ermäßigung Splitterflächen");
    auto& splinter = AddCaption(form, ctl::kSplinterFactor, -1, "Faktor                " + FactorText(schedule::kSplinterFactor), {row++, 3, 1, 2});
    splinter.SetVisible(false);
    addItem(kFeeItems.size() - 1);

    // The fee uses the larger of the two factors; land value and factors stand
    // in the count and fee columns of the items.
    form.Add<forms::Frame>("fraFaktor", GridPlace{row++, 0, 1, 6}).SetCaption("Wertfaktor");
    text("30.23.1", {0, 0}, "fraFaktor");
    text("Bodenwert €/m²", {0, 1}, "fraFaktor");
    AddMasked(form, honora::ctl::kBoden, "####", {0, 3}, "fraFaktor");
    text("Faktor", {0, 4}, "fraFaktor");
    AddAmount(form, honora::ctl::kFaktor, "0,0", {0, 5}, "fraFaktor");
    text("30.23.2", {1, 0}, "fraFaktor");
    text("Klassifizierung", {1, 1}, "fraFaktor");
    auto& cmb = form.Add<forms::ComboBox>(honora::ctl::kKlassifizierung, GridPlace{2, 1, 1, 4}, -1, "fraFaktor");
    for (const auto& entry : kClassifications) cmb.AddItem(entry);
    AddAmount(form, honora::ctl::kStrasse, "0,0", {2, 5}, "fraFaktor");

    form.Add<forms::Line>("Line3D", GridPlace{row++, 0, 1, 6}, 1);
    text("Gesamtsumme", {row, 1});
    AddAmount(form, ctl::kSumme, "0,00", {row++, 5});
    AddFrameControls(form, {GridPlace{row, 1}, GridPlace{row, 3}, GridPlace{row, 4}, GridPlace{row + 1, 0},
                            GridPlace{row + 1, 4}, GridPlace{row + 1, 5}, ""});
}

}  // namespace honora::kat1
