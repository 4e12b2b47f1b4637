// Fixture of the tests that drive every category dialog alike: the dialog of
// a Show index opened on the session document, inputs played as a user types
// them, and the fee table marked with the category's name read back.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kat5_fixture.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"

namespace category_test {

namespace forms = kado::forms;
namespace word = kado::word;
using kat5_test::CellComments;
using kat5_test::CellText;
using kat5_test::Texts;

// The category of a Show index.
inline honora::Category CategoryOf(int index) {
    static const std::function<honora::Category()> kCategories[] = {
        honora::kat5::Kategorie, honora::kat4::Kategorie, honora::kat3::Kategorie, honora::kat2::Kategorie,
        honora::kat1::Kategorie};
    return kCategories[index]();
}

// What the user does: "mskGP=4" types into a field and leaves it,
// "click sevCheck1" clicks, "select cmbKlassifizierung=1" picks an entry.
using Steps = std::vector<std::string>;

class CategoryTest : public kat5_test::Kat5Test {
protected:
    forms::Form& OpenIndex(int index) {
        index_ = index;
        if (MarkedTable()) driver_->ChooseNext("optTabelle(0)", "cmdEnde");
        dialog_ = std::make_unique<honora::CategoryDialog>(CategoryOf(index));
        dialog_->ShowModeless();
        return dialog_->GetForm();
    }
    void PlaySteps(forms::Form& f, const Steps& steps) {
        for (const auto& step : steps) {
            if (step.rfind("click ", 0) == 0) {
                driver_->Click(f, step.substr(6));
                continue;
            }
            const auto eq = step.find('=');
            ASSERT_NE(eq, std::string::npos) << step;
            if (step.rfind("select ", 0) == 0)
                driver_->Select(f, step.substr(7, eq - 7), std::stoi(step.substr(eq + 1)));
            else
                driver_->Set(f, step.substr(0, eq), step.substr(eq + 1));
        }
    }
    // Opens, plays and confirms; the table the confirmation left marked.
    std::optional<word::Table> ConfirmIndex(int index, const Steps& steps) {
        auto& f = OpenIndex(index);
        PlaySteps(f, steps);
        driver_->Click(f, "CommandEnde");
        EXPECT_FALSE(dialog_->IsOpen());
        return MarkedTable();
    }
    std::optional<word::Table> MarkedTable() {
        const std::string marker = CategoryOf(index_).marker;
        auto tables = Doc().GetTables();
        for (int i = 1; i <= tables.Count(); ++i) {
            auto t = tables.Item(i);
            if (t.GetColumns().Count() >= 5)
                for (const auto& c : CellComments(t, 1, 5))
                    if (c == marker) return t;
        }
        return std::nullopt;
    }
    // The text of a label's caption or a field's text.
    static std::string Shown(forms::Form& f, const std::string& key) {
        forms::Control& c = f.ItemByKey(key);
        if (auto* label = dynamic_cast<forms::Label*>(&c)) return label->Caption();
        if (auto* box = dynamic_cast<forms::TextBox*>(&c)) return box->Text();
        if (auto* combo = dynamic_cast<forms::ComboBox*>(&c)) return combo->Text();
        if (auto* check = dynamic_cast<forms::CheckBox*>(&c)) return std::to_string(check->Value());
        if (auto* option = dynamic_cast<forms::OptionButton*>(&c)) return option->Value() ? "1" : "0";
        return "?";
    }

    int index_ = 0;
};

// Column 5 from row 3 on: rows whose amount has no comment (what the invoice
// adds) and rows whose amount carries anything but "no".
struct Marking {
    std::vector<int> payable;
    std::vector<int> otherwise;
};
inline Marking MarkingOf(const word::Table& t) {
    Marking m;
    for (int r = 3; r <= t.GetRows().Count(); ++r) {
        if (CellText(t, r, 5).empty()) continue;
        const auto comments = CellComments(t, r, 5);
        if (comments.empty())
            m.payable.push_back(r);
        else if (comments != std::vector<std::string>{"no"})
            m.otherwise.push_back(r);
    }
    return m;
}

}  // namespace category_test
