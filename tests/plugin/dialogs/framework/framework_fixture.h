// Fixture of the dialog framework's tests: the invoice fixture's real host
// database and session document, plus readers of the document and Verw.log.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/driver.h"
#include "platform/word/word.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/invoice/invoice_fixture.h"
#include "support/table_cells.h"
#include "support/verw_log.h"

namespace framework_test {

class FrameworkTest : public invoice_test::InvoiceTest {
protected:
    kado::word::Document& Doc() { return *honora::Session().Doc; }

    // "Module.Procedure:step" of every Verw.log entry, in order.
    std::vector<std::string> LoggedSteps() const { return kado::testing::LoggedSteps(dir_ / "prog" / "Verw.log"); }

    // A cell's text without its end marks, and the texts of the comments anchored in it.
    static std::string CellText(const kado::word::Table& t, int row, int column) {
        return kado::testing::CellText(t, row, column);
    }
    static std::vector<std::string> CellComments(const kado::word::Table& t, int row, int column) {
        return kado::testing::CellComments(t, row, column);
    }

    // Appends a paragraph of text at the end of the session document.
    void AddParagraph(const std::string& text) {
        auto end = Doc().Content();
        end.Collapse(kado::word::CollapseDirection::End);
        end.InsertBefore(text);
        end.InsertParagraphAfter();
    }

    // Adds a table at the end of the document with a label in cell (1,2) and
    // an optional marker comment on cell (1,5).
    kado::word::Table AddTable(int rows, int columns, const std::string& label, const std::string& marker = {}) {
        auto at = Doc().Content();
        at.Collapse(kado::word::CollapseDirection::End);
        auto t = Doc().GetTables().Add(at, rows, columns);
        t.GetCell(1, 2).GetRange().InsertAfter(label);
        if (!marker.empty()) Doc().GetComments().Add(t.GetCell(1, 5).GetRange(), marker);
        return t;
    }

    // The label in cell (1,2) of every table, in document order.
    std::vector<std::string> TableLabels() {
        std::vector<std::string> labels;
        auto tables = Doc().GetTables();
        for (int i = 1; i <= tables.Count(); ++i) labels.push_back(CellText(tables.Item(i), 1, 2));
        return labels;
    }
};

// A dialog test: a headless desktop with the host's window, a driver that
// plays the user, and no dialog registered for Show after the test.
class DialogTest : public FrameworkTest {
protected:
    static constexpr kado::forms::WindowHandle kMdi = 7;
    void SetUp() override {
        FrameworkTest::SetUp();
        desktop_ = std::make_shared<kado::forms::HeadlessDesktop>();
        desktop_->AddWindow(kMdi);
        honora::Session().Desktop = desktop_;
        honora::Session().hWndMDI = kMdi;
        driver_ = std::make_unique<kado::forms::Driver>(desktop_);
    }
    void TearDown() override {
        honora::UnregisterDialogs();
        FrameworkTest::TearDown();
    }

    std::shared_ptr<kado::forms::HeadlessDesktop> desktop_;
    std::unique_ptr<kado::forms::Driver> driver_;
};

}  // namespace framework_test
