// TabelleFormatieren: borders, alignment and the category's widths on a
// freshly added table, checked in the engine and in the saved file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework_fixture.h"
#include "plugin/dialogs/framework/table_layout.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace kado::word;

class TableLayout : public framework_test::FrameworkTest {};

float Cm(double cm) { return static_cast<float>(cm * 72.0 / 2.54); }

TEST_F(TableLayout, EachDialogsWidthsBordersOffAmountsRight) {
    const honora::ColumnWidths dialogs[] = {
        {1.9, 7.9, 1.7, 3.5, 2.5},
        {1.5, 8.3, 1.9, 3.3, 2.5},
        {1.5, 8.3, 1.7, 3.5, 2.5},
    };
    for (const auto& w : dialogs) {
        SCOPED_TRACE(w[0] + w[2]);
        honora::Session().Doc = Document::New();
        AddParagraph("Rechnung");
        auto t = AddTable(4, 5, "");
        honora::TabelleFormatieren("frmKat2", t, w);
        for (int r = 1; r <= 4; ++r) {
            for (int c = 1; c <= 5; ++c) {
                EXPECT_NEAR(t.GetCell(r, c).Width(), Cm(w[c - 1]), 0.01) << r << "," << c;
                auto want = c <= 2 ? Alignment::Left : Alignment::Right;
                EXPECT_EQ(t.GetCell(r, c).GetRange().GetParagraphFormat().GetAlignment(), want) << r << "," << c;
            }
        }
        t.Select();
        auto borders = Doc().GetApplication()->GetSelection().GetBorders();
        for (int b = -1; b >= -6; --b) EXPECT_EQ(borders.Item(b).GetLineStyle(), LineStyle::None) << b;
        // The paragraph before the table keeps its alignment.
        EXPECT_EQ(Doc().GetRange(0, 1).GetParagraphFormat().GetAlignment(), Alignment::Left);
    }
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

// Title, headings and the first body row keep with the next; the last row
// never does, so a short table does not pull what follows onto its page.
TEST_F(TableLayout, NoRowBreaksAndTheHeadKeepsWithTheBody) {
    for (int rows : {1, 2, 3, 4, 12}) {
        SCOPED_TRACE(rows);
        honora::Session().Doc = Document::New();
        auto t = AddTable(rows, 5, "");
        honora::TabelleFormatieren("frmKat5", t, {1.5, 8.3, 1.9, 3.3, 2.5});
        for (int r = 1; r <= rows; ++r) {
            EXPECT_FALSE(t.GetRows().Item(r).AllowBreakAcrossPages()) << r;
            EXPECT_EQ(t.GetRows().Item(r).GetRange().GetParagraphFormat().KeepWithNext(), r <= 3 && r < rows) << r;
        }
    }
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(TableLayout, ATableOfFewerColumnsIsLaidOutAsFarAsItGoes) {
    auto t = AddTable(2, 3, "");
    honora::TabelleFormatieren("frmKat3", t, {1.5, 8.3, 1.7, 3.5, 2.5});
    EXPECT_NEAR(t.GetCell(1, 3).Width(), Cm(1.7), 0.01);
    EXPECT_THAT(LoggedSteps(), ElementsAre("frmKat3.Zeitdifferenz:950", "frmKat3.Zeitdifferenz:960"));
}

}  // namespace
