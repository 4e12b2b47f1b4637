// Fixture of the tests that drive every category dialog alike: the dialog of
// a Show index opened on the session document, inputs played as a user types
// them, and the fee table marked with the category's name read back.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/driver.h"
#include "platform/forms/forms.h"
#include "platform/word/word.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/categories/frm_kat1.h"
#include "plugin/dialogs/categories/frm_kat2.h"
#include "plugin/dialogs/categories/frm_kat3.h"
#include "plugin/dialogs/categories/frm_kat4.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "plugin/invoice/invoice_fixture.h"
#include "support/table_cells.h"

namespace category_test {

namespace forms = kado::forms;
namespace word = kado::word;
using kado::testing::CellComments;

// A cell's text as the reader sees it, without the comment mark; the comments are checked on their own.
inline std::string CellText(const word::Table& t, int row, int column) {
    return kado::testing::CellText(t, row, column, kado::testing::CommentMarks::Drop);
}
// Columns 1 to 5 of every row.
inline std::vector<std::vector<std::string>> Texts(const word::Table& t) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r <= t.GetRows().Count(); ++r) {
        rows.emplace_back();
        for (int c = 1; c <= 5; ++c) rows.back().push_back(CellText(t, r, c));
    }
    return rows;
}

// The category of a Show index.
inline honora::Category CategoryOf(int index) {
    static const std::function<honora::Category()> kCategories[] = {
        honora::kat5::Definition, honora::kat4::Definition, honora::kat3::Definition, honora::kat2::Definition,
        honora::kat1::Definition};
    return kCategories[index]();
}

// What the user does: "mskGP=4" types into a field and leaves it,
// "click sevCheck1" clicks, "select cmbKlassifizierung=1" picks an entry.
using Steps = std::vector<std::string>;

// The invoice fixture's real host database and session document with a line
// of text, a headless desktop with the host's window, and a scripted user.
class CategoryTest : public invoice_test::InvoiceTest {
protected:
    static constexpr forms::WindowHandle kMdi = 11;

    void SetUp() override {
        InvoiceTest::SetUp();
        desktop_ = std::make_shared<forms::HeadlessDesktop>();
        desktop_->AddWindow(kMdi);
        honora::Session().Desktop = desktop_;
        honora::Session().hWndMDI = kMdi;
        driver_ = std::make_unique<forms::Driver>(desktop_);
        AddParagraph("Rechnung Nr. 17");
    }
    void TearDown() override {
        honora::UnregisterDialogs();
        dialog_.reset();
        InvoiceTest::TearDown();
    }

    word::Document& Doc() { return *honora::Session().Doc; }

    // Opens the dialog of a Show index afresh; with an earlier table of its
    // category in the document the user picks the first fee block in the table choice.
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

    void AddParagraph(const std::string& text) {
        auto end = Doc().Content();
        end.Collapse(word::CollapseDirection::End);
        end.InsertBefore(text);
        end.InsertParagraphAfter();
    }

    template <class T>
    static T& Get(forms::Form& f, std::string_view key) {
        return dynamic_cast<T&>(f.ItemByKey(key));
    }
    static std::string Caption(forms::Form& f, std::string_view label) { return Get<forms::Label>(f, label).Caption(); }
    static std::string Text(forms::Form& f, std::string_view box) { return Get<forms::MaskEdBox>(f, box).Text(); }
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

    std::shared_ptr<forms::HeadlessDesktop> desktop_;
    std::unique_ptr<forms::Driver> driver_;
    std::unique_ptr<honora::CategoryDialog> dialog_;
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
