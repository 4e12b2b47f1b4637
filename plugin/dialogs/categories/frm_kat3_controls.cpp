// Controls of frmKat3 on a grid: the four items, the classification with its
// value factor, the sums and the share.
#include <array>
#include <string>

#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/framework/design_kit.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat3 {

namespace forms = kado::forms;
using forms::GridPlace;

namespace {

// The dialog's own item numbers and captions, in the order of kPosten.
constexpr std::array<std::array<const char*, 2>, 4> kPostenText = {{{"30.21.1", "Ausgangsflurstücke"},
                                                                    {"30.21.2.1", "gebildetete Flurstücke"},
                                                                    {"30.21.3", "Grenzpunkte der neuen Grenze"},
                                                                    {"30.22.2", "abzumarkende Grenzpunkte"}}};

}  // namespace

void Controls(forms::Form& form) {
    CaptionArray text(form, "Label2");
    AddItemHeadings(text, 0);
    int row = 1;
    for (size_t i = 0; i < kPosten.size(); ++i, ++row) {
        AddItemRow(form, text, kPosten[i], kPostenText[i][0], kPostenText[i][1], row);
    }
    form.Add<forms::Line>("Line3D", GridPlace{row++, 0, 1, 6}, 0);
    text("Zwischensumme", {row, 1});
    AddAmount(form, ctl::kZwischen, "0,00", {row++, 5});

    text("30.23.2", {row, 0});
    text("Klassifizierung", {row, 1});
    text("Faktor", {row++, 4});
    auto& cmb = form.Add<forms::ComboBox>(honora::ctl::kKlassifizierung, GridPlace{row, 0, 1, 4});
    for (const auto& entry : kKlassifizierungen) cmb.AddItem(entry);
    cmb.SetWidthChars(60);
    cmb.SetListIndex(0);
    AddAmount(form, honora::ctl::kFaktor, "1,5", {row++, 5});

    form.Add<forms::Line>("Line3D", GridPlace{row++, 0, 1, 6}, 1);
    text("Gesamtsumme", {row, 1});
    AddAmount(form, ctl::kSumme, "0,0", {row++, 5});
    AddFrameControls(form, {GridPlace{row, 1}, GridPlace{row, 3}, GridPlace{row, 4}, GridPlace{row + 1, 0},
                            GridPlace{row + 1, 4}, GridPlace{row + 1, 5}, ""});
}

}  // namespace honora::kat3
