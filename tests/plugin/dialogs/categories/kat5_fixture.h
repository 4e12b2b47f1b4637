// Fixture of the frmKat5 tests: the invoice fixture's real host database and
// session document, a headless desktop with a scripted user, and readers of
// the fee table the dialog writes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "platform/forms/driver.h"
#include "platform/forms/forms.h"
#include "platform/word/word.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/categories/frm_kat5.h"
#include "plugin/dialogs/framework/category_dialog.h"
#include "plugin/invoice/invoice_fixture.h"

namespace kat5_test {

namespace forms = kado::forms;
namespace word = kado::word;

// A cell's text as the reader sees it, without the comment mark (0x05) a
// commented cell carries; the comments are checked on their own.
inline std::string CellText(const word::Table& t, int row, int column) {
    std::string text = invoice_test::CellText(t, row, column);
    std::erase(text, '\x05');
    return text;
}
inline std::vector<std::vector<std::string>> Texts(const word::Table& t) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r <= t.GetRows().Count(); ++r) {
        rows.emplace_back();
        for (int c = 1; c <= 5; ++c) rows.back().push_back(CellText(t, r, c));
    }
    return rows;
}
inline std::vector<std::string> CellComments(const word::Table& t, int row, int column) {
    std::vector<std::string> texts;
    auto comments = t.GetCell(row, column).GetRange().GetComments();
    for (int i = 1; i <= comments.Count(); ++i) texts.push_back(comments.Item(i).GetRange().Text());
    return texts;
}

// What a user enters; empty texts and -1 leave a control untouched.
struct Inputs {
    int kind = 0;  // optNr index 0 or 3
    std::string determined, marked, landValue;
    int classification = -1;
    bool basisClassification = false;
    std::string share;  // typed over mskBezug when not empty
};

class Kat5Test : public invoice_test::InvoiceTest {
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

    // Opens frmKat5 afresh; with an earlier table in the document the user
    // picks the first fee block in the table choice.
    forms::Form& Open() {
        if (Marked()) driver_->ChooseNext("optTabelle(0)", "cmdEnde");
        dialog_ = std::make_unique<honora::CategoryDialog>(honora::kat5::Kategorie());
        dialog_->ShowModeless();
        return dialog_->GetForm();
    }

    // Opens, plays the inputs and confirms; returns the written fee table.
    void Play(forms::Form& f, const Inputs& in) {
        if (in.kind == 3) driver_->Click(f, "optNr(3)");
        if (!in.determined.empty()) driver_->Set(f, "mskAGPo", in.determined);
        if (!in.marked.empty()) driver_->Set(f, "mskAGP", in.marked);
        if (!in.landValue.empty()) driver_->Set(f, "mskBoden", in.landValue);
        if (in.classification >= 0) driver_->Select(f, "cmbKlassifizierung", in.classification);
        if (in.basisClassification) driver_->Click(f, "optFaktor(1)");
        if (!in.share.empty()) driver_->Set(f, "mskBezug", in.share);
    }
    std::optional<word::Table> Confirm(const Inputs& in) {
        auto& f = Open();
        Play(f, in);
        driver_->Click(f, "CommandEnde");
        EXPECT_FALSE(dialog_->IsOpen());
        return Marked();
    }

    // The one table whose cell (1,5) carries "Honora_5".
    std::optional<word::Table> Marked() {
        std::optional<word::Table> found;
        auto tables = Doc().GetTables();
        for (int i = 1; i <= tables.Count(); ++i) {
            auto t = tables.Item(i);
            if (t.GetColumns().Count() < 5) continue;
            for (const auto& c : CellComments(t, 1, 5))
                if (c == "Honora_5") {
                    EXPECT_FALSE(found.has_value()) << "two tables marked Honora_5";
                    found = t;
                }
        }
        return found;
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

    std::shared_ptr<forms::HeadlessDesktop> desktop_;
    std::unique_ptr<forms::Driver> driver_;
    std::unique_ptr<honora::CategoryDialog> dialog_;
};

}  // namespace kat5_test
