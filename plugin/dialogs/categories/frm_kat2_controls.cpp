// Controls of frmKat2 on a grid: the four items, the land value with its
// factor, the area type with Faktor A, the reduction, the sums and the share.
#include <array>
#include <string>

#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/framework/design_kit.h"
#include "plugin/dialogs/framework/frame_controls.h"

namespace honora::kat2 {

namespace forms = kado::forms;
using forms::GridPlace;

namespace {

// The dialog's own captions, in the order of kFeeItems; it numbers the formed
// parcels as Zerlegung does, the others by their items (nullptr).
constexpr std::array<std::array<const char*, 2>, 4> kItemCaptions = {{{nullptr, "Ausgangsflurstücke"},
                                                                    {schedule::kSplitFormed.number, "gebildete Flurstücke"},
                                                                    {nullptr, "Grenzpunkte der neuen Grenze"},
                                                                    {nullptr, "abzumarkende Grenzpunkte der neuen Grenze"}}};

}  // namespace

void Controls(forms::Form& form) {
    CaptionArray text(form, "Label2");
    AddItemHeadings(text, 0);
    text("Gesamt", {2, 3});
    int row = 1;
    for (size_t i = 0; i < kFeeItems.size(); ++i, ++row) {
        if (i == 1) ++row;  // "Gesamt" stands above the formed parcels' count
        AddItemRow(form, text, kFeeItems[i], kItemCaptions[i][0], kItemCaptions[i][1], row);
    }
    form.Add<forms::Line>("Line3D", GridPlace{row++, 0, 1, 6}, 0);
    text(kZwischensumme, {row, 1});
    AddAmount(form, ctl::kZwischen, "0,00", {row++, 5});

    text("30.23.1", {row, 0});
    text("Bodenwert €/m²", {row, 1});
    AddMasked(form, honora::ctl::kBoden, "####", {row, 3});
    text("Faktor", {row, 4});
    AddAmount(form, honora::ctl::kFaktor, "1,0", {row++, 5});

    // The area types one below the other beside their caption, Faktor A in the fee column.
    form.Add<forms::Frame>("fraNutzung", GridPlace{row++, 0, 1, 6}).SetCaption("Faktor A, bauliche Nutzung");
    text("Faktor A, bauliche Nutzung", {0, 1}, "fraNutzung");
    auto& wms = form.Add<forms::OptionButton>(ctl::kOption1, GridPlace{0, 2}, -1, "fraNutzung");
    wms.SetCaption("W, M, SO");
    form.Add<forms::OptionButton>(ctl::kOption2, GridPlace{1, 2}, -1, "fraNutzung")
        .SetCaption("G, sonstige Sondergebiete");
    wms.SetValue(true);
    AddAmount(form, ctl::kDichte, AreaFactorText(schedule::kAreaFactorResidential), {0, 5}, "fraNutzung");

    text("30.2.4", {row, 0});
    form.Add<forms::CheckBox>(ctl::kReductionShare, GridPlace{row++, 1, 1, 5})
        .SetCaption("Ermäßigung, da die Zuteilung weitgehend nicht selbst durchgeführt wurde");
    form.Add<forms::Line>("Line3D", GridPlace{row++, 0, 1, 6}, 1);
    text("Gesamtsumme", {row, 1});
    AddAmount(form, ctl::kSumme, "0,0", {row++, 5});
    AddFrameControls(form, {GridPlace{row, 1}, GridPlace{row, 3}, GridPlace{row, 4}, GridPlace{row + 1, 0},
                            GridPlace{row + 1, 4}, GridPlace{row + 1, 5}, ""});
}

}  // namespace honora::kat2
