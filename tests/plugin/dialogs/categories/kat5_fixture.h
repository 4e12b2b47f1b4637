// Fixture of the frmKat5 tests: the category fixture on Show index 0, the
// inputs of a Grenzfeststellung as a user enters them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "category_fixture.h"

namespace kat5_test {

namespace forms = kado::forms;
namespace word = kado::word;
using category_test::CellComments;
using category_test::CellText;
using category_test::Texts;

// What a user enters; empty texts and -1 leave a control untouched.
struct Inputs {
    int kind = 0;  // optNr index 0 or 3
    std::string determined, marked, landValue;
    int classification = -1;
    bool basisClassification = false;
    std::string share;  // typed over mskBezug when not empty
};

class Kat5Test : public category_test::CategoryTest {
protected:
    // Opens frmKat5 afresh; with an earlier table in the document the user
    // picks the first fee block in the table choice.
    forms::Form& Open() {
        if (Marked()) driver_->ChooseNext("optTabelle(0)", "cmdEnde");
        dialog_ = std::make_unique<honora::CategoryDialog>(honora::kat5::Definition());
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
};

}  // namespace kat5_test
