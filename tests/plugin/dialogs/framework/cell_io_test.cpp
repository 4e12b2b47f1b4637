// ZelleEinlesen and wordTabelle on a real document: text, bold and comments
// as the totals and the read-back find them, and cells outside the table.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework_fixture.h"
#include "plugin/dialogs/framework/cell_io.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace kado::word;

class CellIo : public framework_test::FrameworkTest {};

TEST_F(CellIo, ReadsTheCellTextWithoutItsEndMarks) {
    auto t = AddTable(3, 5, "");
    t.GetCell(2, 2).GetRange().InsertAfter("Grenzfeststellung für Flurstück 12/3");
    t.GetCell(2, 3).GetRange().InsertAfter("   6");
    t.GetCell(3, 2).GetRange().InsertAfter("Zeile 1\rZeile 2");
    struct Case {
        int16_t row, column;
        std::string text;
    };
    const Case cases[] = {
        {2, 2, "Grenzfeststellung für Flurstück 12/3"},
        {2, 3, "   6"},  // the blanks of a masked field come back as written
        {3, 2, "Zeile 1\rZeile 2"},
        {3, 3, ""},  // only the end marks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(honora::ZelleEinlesen(t, c.row, c.column), c.text);
    }
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(CellIo, ACellOutsideTheTableReadsEmptyAndIsLogged) {
    auto t = AddTable(3, 5, "x");
    EXPECT_EQ(honora::ZelleEinlesen(t, 19, 2), "");
    EXPECT_EQ(honora::ZelleEinlesen(t, 1, 6), "");
    EXPECT_THAT(LoggedSteps(), ElementsAre("Rechnung.ZelleEinlesen:100", "Rechnung.ZelleEinlesen:100"));
}

TEST_F(CellIo, WritesAppendBoldStaysAndCommentsAnchorOnTheCell) {
    auto t = AddTable(4, 5, "");
    honora::wordTabelle(t, 2, 2, "Zwischensumme", true, "");
    honora::wordTabelle(t, 2, 2, " (netto)", false, "");
    honora::wordTabelle(t, 2, 5, " 400,00 €", false, "no");
    honora::wordTabelle(t, 3, 5, "1050,00 €", false, "");
    honora::wordTabelle(t, 4, 5, "12,00 €", false, "7");

    EXPECT_EQ(CellText(t, 2, 2), "Zwischensumme (netto)");
    EXPECT_TRUE(t.GetCell(2, 2).GetRange().Bold()) << "a later write that is not bold keeps the cell bold";
    EXPECT_FALSE(t.GetCell(2, 5).GetRange().Bold());
    // The cell holds the amount and the comment's reference mark behind it.
    EXPECT_EQ(CellText(t, 2, 5).rfind(" 400,00 €", 0), 0u);
    EXPECT_THAT(CellComments(t, 2, 5), ElementsAre("no"));
    EXPECT_THAT(CellComments(t, 3, 5), IsEmpty());
    EXPECT_THAT(CellComments(t, 4, 5), ElementsAre("7"));
    // The comment marks the cell, not a neighbour.
    EXPECT_THAT(CellComments(t, 2, 4), IsEmpty());
    EXPECT_THAT(CellComments(t, 1, 5), IsEmpty());
    EXPECT_THAT(LoggedPlaces(), IsEmpty());

    // The marks survive a save and a reload as a real word processor file.
    auto reloaded = Document::FromBytes(Doc().ToBytes());
    auto t2 = reloaded->GetTables().Item(1);
    EXPECT_THAT(CellComments(t2, 2, 5), ElementsAre("no"));
    EXPECT_TRUE(t2.GetCell(2, 2).GetRange().Bold());
}

TEST_F(CellIo, ACellOutsideTheTableWritesNothingAndLogsEachStepThatRuns) {
    auto t = AddTable(3, 5, "x");
    const std::string before = Doc().Content().Text();
    honora::wordTabelle(t, 9, 2, "Anteil in 1/1000", false, "");
    honora::wordTabelle(t, 9, 5, "500,00 €", true, "no");
    EXPECT_EQ(Doc().Content().Text(), before);
    EXPECT_EQ(Doc().GetComments().Count(), 0);
    EXPECT_THAT(LoggedSteps(),
                ElementsAre("Rechnung.wordTabelle:100", "Rechnung.wordTabelle:110", "Rechnung.wordTabelle:100",
                            "Rechnung.wordTabelle:110", "Rechnung.wordTabelle:120", "Rechnung.wordTabelle:130"));
}

}  // namespace
