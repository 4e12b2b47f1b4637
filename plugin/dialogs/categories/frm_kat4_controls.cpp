// Controls of frmKat4 on a grid: description, number of buildings, building
// costs with the band choice, base and further fees, the sum and the share.
#include <array>
#include <string>

#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/framework/design_kit.h"
#include "plugin/dialogs/framework/frame_controls.h"

namespace honora::kat4 {

namespace forms = kado::forms;
using forms::GridPlace;

namespace {

// Captions of the Label2 array, by index ("Kostenanteil" and "/ 1000" come with the frame's share field).
constexpr std::array<const char*, 10> kLabel2 = {"30.24",
                                                 "Gebäudebeschreibung",
                                                 "Gesamtanzahl der Gebäude oder Gebäudeteile",
                                                 "Summe der Baukosten",
                                                 "Aufnahme von bis zu 5 Gebäuden",
                                                 "weitere 1 bis 5 Gebäude",
                                                 "mal",
                                                 "Einzelgebühr",
                                                 "Gebühr",
                                                 "Gesamtsumme"};

}  // namespace

void Controls(forms::Form& form) {
    auto text = [&](int index, GridPlace at) -> forms::Label& {
        return AddCaption(form, "Label2", index, kLabel2[static_cast<size_t>(index)], at);
    };
    int euro = 0;
    auto euroSign = [&](GridPlace at) { AddCaption(form, "Label3", euro++, "€", at); };

    text(0, {0, 0});
    text(1, {0, 1});
    AddText(form, ctl::kGebäude, {0, 2, 1, 5});
    text(2, {1, 1});
    AddMasked(form, ctl::kAnzahl, "####", {1, 2});
    text(3, {2, 1});
    AddMasked(form, ctl::kBaukosten, "#########", {2, 2});
    euroSign({2, 3});
    form.Add<forms::CheckBox>(ctl::kBereich, GridPlace{2, 4, 1, 2}).SetCaption("Bereich Baukosten");

    // Columns: item, text, count, "mal", unit fee, fee, "€". The base fee is the
    // fee of the first five buildings.
    text(7, {3, 4}).SetAlignment(forms::Alignment::Right);
    text(8, {3, 5}).SetAlignment(forms::Alignment::Right);
    text(4, {4, 1});
    AddAmount(form, ctl::kGebühr100, "100,00", {4, 5});
    euroSign({4, 6});
    text(5, {5, 1});
    AddMasked(form, ctl::kAnzahl30, "####", {5, 2});
    text(6, {5, 3});
    AddAmount(form, ctl::kGebühr30, "30,00", {5, 4});
    AddAmount(form, ctl::kSumme30, "0,00", {5, 5});
    euroSign({5, 6});
    form.Add<forms::Line>("Line3D", GridPlace{6, 0, 1, 7}, 0);
    text(9, {7, 1});
    AddAmount(form, ctl::kSumme, "100,0", {7, 5});
    euroSign({7, 6});
    AddFrameControls(form, {GridPlace{8, 1}, GridPlace{8, 2}, GridPlace{8, 3}, GridPlace{9, 0}, GridPlace{9, 4},
                            GridPlace{9, 5}, ""});
}

}  // namespace honora::kat4
