// Controls of frmKat3 on a grid: the four items, the classification with its
// value factor in a frame, the sums and the share.
#include <array>
#include <string>

#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/framework/design_kit.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat3 {

namespace forms = kado::forms;
using forms::GridPlace;

namespace {

// The dialog's own captions, in the order of kFeeItems; it numbers the formed
// parcels as Zerlegung does, the others by their items (nullptr).
constexpr std::array<std::array<const char*, 2>, 4> kItemCaptions = {{{nullptr, "Ausgangsflurstücke"},
                                                                    {schedule::kSplitFormed.number, "gebildete Flurstücke"},
                                                                    {nullptr, "Grenzpunkte der neuen Grenze"},
                                                                    {nullptr, "abzumarkende Grenzpunkte"}}};

}  // namespace

void Controls(forms::Form& form) {
    CaptionArray text(form, "Label2");
    AddItemHeadings(text, 0);
    int row = 1;
    for (size_t i = 0; i < kFeeItems.size(); ++i, ++row) {
        AddItemRow(form, text, kFeeItems[i], kItemCaptions[i][0], kItemCaptions[i][1], row);
    }
    form.Add<forms::Line>("Line3D", GridPlace{row++, 0, 1, 6}, 0);
    text(kZwischensumme, {row, 1});
    AddAmount(form, ctl::kZwischen, "0,00", {row++, 5});

    // The value factor, grouped as the fee table groups it.
    form.Add<forms::Frame>("fraFaktor", GridPlace{row++, 0, 1, 6}).SetCaption("Wertfaktor");
    text("30.23.2", {0, 0}, "fraFaktor");
    text("Klassifizierung", {0, 1}, "fraFaktor");
    text("Faktor", {0, 5}, "fraFaktor").SetAlignment(forms::Alignment::Right);
    auto& cmb = form.Add<forms::ComboBox>(honora::ctl::kKlassifizierung, GridPlace{1, 1, 1, 4}, -1, "fraFaktor");
    for (const auto& entry : kClassifications) cmb.AddItem(entry);
    cmb.SetListIndex(0);
    AddAmount(form, honora::ctl::kFaktor, "1,5", {1, 5}, "fraFaktor");

    form.Add<forms::Line>("Line3D", GridPlace{row++, 0, 1, 6}, 1);
    text("Gesamtsumme", {row, 1});
    AddAmount(form, ctl::kSumme, "0,0", {row++, 5});
    AddFrameControls(form, {GridPlace{row, 1}, GridPlace{row, 3}, GridPlace{row, 4}, GridPlace{row + 1, 0},
                            GridPlace{row + 1, 4}, GridPlace{row + 1, 5}, ""});
}

}  // namespace honora::kat3
