// Test fixture of the invoice routines: a real host database file, a new
// document in the session and the Verw.log they write to.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dao/dao.h"
#include "platform/dao/host_schema.h"
#include "platform/word/word.h"
#include "plugin/component/session_context.h"
#include "support/program_folder.h"
#include "support/table_cells.h"
#include "support/temp_dir.h"
#include "support/verw_log.h"

namespace invoice_test {

class InvoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        honora::ResetSession();
        kado::testing::UseProgramFolder(dir_);
        ws_ = std::make_shared<kado::dao::Workspace>();
        db_ = ws_->CreateDatabase((dir_ / "kado.sqlite").string());
        kado::dao::ApplyHostSchema(*db_);
        auto& c = honora::Session();
        c.NeueAbfrage = db_;
        c.Doc = kado::word::Document::New();
        c.WordApp = c.Doc->GetApplication();
    }
    void TearDown() override {
        honora::ResetSession();
        db_.reset();
    }

    // "Module.Procedure" of every Verw.log entry, in order.
    std::vector<std::string> LoggedPlaces() const { return kado::testing::LoggedPlaces(dir_ / "prog" / "Verw.log"); }

    kado::testing::TempDir tmp_{"kado-invoice"};
    const std::filesystem::path dir_ = tmp_.Path();
    std::shared_ptr<kado::dao::Workspace> ws_;
    std::shared_ptr<kado::dao::Database> db_;
};

// One row of a fee table as a dialog writes it: the fee cell's text and
// the comment it carries (a VAT rate, "no", or none).
struct FeeRow {
    std::string amount;
    std::optional<std::string> comment;
};

// Adds a five-column fee table at the end of the document.
inline kado::word::Table AddFeeTable(kado::word::Document& doc, const std::vector<FeeRow>& rows) {
    auto end = doc.Content();
    end.Collapse(kado::word::CollapseDirection::End);
    end.InsertParagraphAfter();  // keeps tables apart
    end.Collapse(kado::word::CollapseDirection::End);
    auto table = doc.GetTables().Add(end, static_cast<int>(rows.size()), 5);
    for (size_t i = 0; i < rows.size(); ++i) {
        auto cell = table.GetCell(static_cast<int>(i) + 1, 5).GetRange();
        cell.InsertAfter(rows[i].amount);
        if (rows[i].comment) doc.GetComments().Add(table.GetCell(static_cast<int>(i) + 1, 5).GetRange(), *rows[i].comment);
    }
    return table;
}

using kado::testing::CellText;

// Every cell text of a table, row by row.
inline std::vector<std::vector<std::string>> TableTexts(const kado::word::Table& table) {
    std::vector<std::vector<std::string>> out;
    for (int r = 1; r <= table.GetRows().Count(); ++r) {
        out.emplace_back();
        for (int c = 1; c <= table.GetColumns().Count(); ++c) out.back().push_back(CellText(table, r, c));
    }
    return out;
}

// An amount as the totals write it from its locale text ("1.000,00"):
// right-aligned in eleven characters, then the thousands dots dropped and " €".
inline std::string Amount(const std::string& grouped) {
    std::string t = std::string(grouped.size() < 11 ? 11 - grouped.size() : 0, ' ') + grouped;
    std::erase(t, '.');
    return t + " €";
}

// The totals tests' start: 19 % standard VAT, the whole fee (no advance share).
class TotalsTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        honora::Session().Mehrwertsteuersatz = 19;
        honora::Session().AbschlagProzent = 100;
    }
    kado::word::Document& Doc() { return *honora::Session().Doc; }
};

}  // namespace invoice_test
