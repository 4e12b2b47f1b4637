// Controls of frmKat5 on a grid: the kind, the two counts, the factor basis
// with land value and classification, the sums, the share and the buttons.
#include <array>
#include <string>

#include "plugin/common/number_text.h"
#include "plugin/dialogs/categories/fee_schedule.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/design_kit.h"
#include "plugin/dialogs/framework/fee_items.h"
#include "plugin/dialogs/framework/frame_controls.h"
#include "plugin/dialogs/framework/input_rules.h"

namespace honora::kat5 {

namespace forms = kado::forms;
using forms::GridPlace;

namespace {

// Captions of the Label2 array, by index ("Kostenanteil" and "/ 1000" come with the frame's share field).
constexpr std::array<const char*, 14> kLabel2 = {
    "30.6.1",  "30.6.2",           schedule::kBoundaryDetermination.number, schedule::kMarking.number,
    "Anzahl Grenzpunkte",          "abgemarkte Grenzpunkte", "Zwischensumme",
    "30.23.1", "30.23.2",          "Faktor",            "oder",
    "Zwischensumme * Faktor",      "Sockelbetrag",      "Gesamtsumme"};

forms::Label& Text(forms::Form& form, int index, GridPlace at, const std::string& container = {}) {
    return AddCaption(form, "Label2", index, kLabel2[static_cast<size_t>(index)], at, container);
}

}  // namespace

void Controls(forms::Form& form) {
    // The classification box is the widest control; the texts' column makes room for it.
    form.SetStretchColumn(1);
    // The kind: its own frame, so the two kind options form one group.
    auto& art = form.Add<forms::Frame>("fraArt", GridPlace{0, 0, 1, 5});
    art.SetCaption("Art der Grenzfeststellung");
    Text(form, 0, {0, 0}, "fraArt");
    auto& nr0 = form.Add<forms::OptionButton>(ctl::kNr, GridPlace{0, 1, 1, 3}, 0, "fraArt");
    nr0.SetCaption("Grenzfeststellung zur Abmarkung auf Antrag");
    Text(form, 1, {1, 0}, "fraArt");
    form.Add<forms::OptionButton>(ctl::kNr, GridPlace{1, 1, 1, 3}, 3, "fraArt")
        .SetCaption("Grenzfeststellung zur Prüfung der Abmarkung auf Antrag");
    nr0.SetValue(true);

    // The boundary points.
    Text(form, 2, {1, 0});
    Text(form, 4, {1, 1});
    AddMasked(form, ctl::kAGPo, "####", {1, 2});
    AsAmount(AddCaption(form, "Label3", 0, UnitCaption(schedule::kBoundaryDetermination.unitFee), {1, 3}));
    AddAmount(form, ctl::kLblAGPo, "0,00", {1, 4});
    Text(form, 3, {2, 0});
    Text(form, 5, {2, 1});
    AddMasked(form, ctl::kAGP, "####", {2, 2});
    AsAmount(AddCaption(form, "Label3", 1, UnitCaption(schedule::kMarking.unitFee), {2, 3}));
    AddAmount(form, ctl::kLblAGP, "0,00", {2, 4});
    form.Add<forms::Line>("Line3D", GridPlace{3, 0, 1, 5}, 0);
    Text(form, 6, {4, 1});
    AddAmount(form, ctl::kZwischen, "0,00", {4, 4});

    // The value factor: the larger of land-value and classification factor is used;
    // the basis option only chooses which of them the fee table shows.
    form.Add<forms::Frame>("fraFaktor", GridPlace{5, 0, 1, 5}).SetCaption("Wertfaktor");
    Text(form, 9, {0, 4}, "fraFaktor").SetAlignment(forms::Alignment::Right);
    Text(form, 7, {1, 0}, "fraFaktor");
    auto& landValueOption = form.Add<forms::OptionButton>(ctl::kFaktorArt, GridPlace{1, 1}, 0, "fraFaktor");
    landValueOption.SetCaption("Bodenwert");
    AddMasked(form, honora::ctl::kBoden, "####", {1, 2}, "fraFaktor");
    form.Add<forms::CheckBox>("chkBereich", GridPlace{1, 3}, -1, "fraFaktor").SetCaption("Bereich Bodenwert");
    AddAmount(form, honora::ctl::kFaktor, "1,0", {1, 4}, "fraFaktor");
    Text(form, 10, {2, 1}, "fraFaktor");
    Text(form, 8, {3, 0}, "fraFaktor");
    form.Add<forms::OptionButton>(ctl::kFaktorArt, GridPlace{3, 1}, 1, "fraFaktor").SetCaption("Klassifizierung");
    auto& cmb = form.Add<forms::ComboBox>(honora::ctl::kKlassifizierung, GridPlace{4, 1, 1, 3}, -1, "fraFaktor");
    for (const auto& entry : kClassifications) cmb.AddItem(entry);
    AddAmount(form, honora::ctl::kStrasse, "0,0", {4, 4}, "fraFaktor");
    landValueOption.SetValue(true);

    // Sums and share.
    Text(form, 11, {6, 1});
    AddAmount(form, ctl::kZF, "0,0", {6, 4});
    Text(form, 12, {7, 1});
    AddAmount(form, ctl::kSockel, AmountText(schedule::kBaseAmount), {7, 4});
    form.Add<forms::Line>("Line3D", GridPlace{8, 0, 1, 5}, 1);
    Text(form, 13, {9, 1});
    AddAmount(form, ctl::kSumme, "0,0", {9, 4});
    AddFrameControls(form, {GridPlace{10, 1}, GridPlace{10, 2}, GridPlace{10, 3}, GridPlace{11, 0},
                            GridPlace{11, 3}, GridPlace{11, 4}, ""});
}

}  // namespace honora::kat5
