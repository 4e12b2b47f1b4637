// WordTabelleFestlegen on real documents: end of the document, the template's
// "kadoStart" marks, and the earlier table replaced in place.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework_fixture.h"
#include "platform/com/fault_plan.h"
#include "plugin/dialogs/framework/table_place.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace kado::word;
namespace faults = kado::com::faults;

class TablePlace : public framework_test::FrameworkTest {
protected:
    // Adds a 2x5 table at the range with "neu" in cell (1,2).
    Table AddAt(const Range& r) {
        auto t = Doc().GetTables().Add(r, 2, 5);
        t.GetCell(1, 2).GetRange().InsertAfter("neu");
        return t;
    }
    std::string TextBefore(const Table& t) { return Doc().GetRange(0, t.GetRange().Start()).Text(); }
};

TEST_F(TablePlace, WithoutEarlierTableOrStartMarkTheTableGoesIntoANewLastParagraph) {
    AddParagraph("Rechnung Nr. 17");
    AddParagraph("Für unsere Leistungen berechnen wir:");
    const std::string before = Doc().Content().Text();
    auto range = honora::WordTabelleFestlegen("frmKat5", {});
    ASSERT_TRUE(range);
    EXPECT_EQ(range.Start(), range.End());
    // One paragraph more than before, at the very end.
    EXPECT_EQ(Doc().Content().Text(), before + "\r");
    EXPECT_GE(range.Start(), static_cast<long>(before.size()));
    auto t = AddAt(range);
    EXPECT_EQ(TextBefore(t), before);
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(TablePlace, EachStartMarkGetsAParagraphOneWordBeforeItAndTheLastGivesThePlace) {
    AddParagraph("Sehr geehrte Damen und Herren,");
    AddParagraph("wir berechnen Gebühren");
    AddParagraph("Mit freundlichen Grüßen");
    // Point marks as the template has them: one after "berechnen", one after "freundlichen".
    const std::string all = Doc().Content().Text();
    // Character position just behind a word ("ü" takes two bytes but one position).
    auto pos = [&](const std::string& word) {
        std::string head = all.substr(0, all.find(word) + word.size());
        long n = 0;
        for (unsigned char c : head) n += (c & 0xC0) != 0x80;
        return n;
    };
    // The later one first: each reference mark shifts what follows it.
    long second = pos("Mit freundlichen");
    Doc().GetComments().Add(Doc().GetRange(second, second), "kadoStart");
    long first = pos("berechnen");
    Doc().GetComments().Add(Doc().GetRange(first, first), "kadoStart");
    Doc().GetComments().Add(Doc().GetRange(0, 4), "kadoStart ");  // not the exact marker

    auto range = honora::WordTabelleFestlegen("frmKat5", {});
    ASSERT_TRUE(range);
    const std::string after = Doc().Content().Text();
    EXPECT_NE(after.find("wir \rberechnen"), std::string::npos) << after;
    EXPECT_NE(after.find("Mit \rfreundlichen"), std::string::npos) << after;
    EXPECT_EQ(Doc().GetComments().Count(), 3) << "the marks stay in the document";
    auto t = AddAt(range);
    EXPECT_EQ(TextBefore(t).substr(TextBefore(t).size() - 5), "Mit \r");
    EXPECT_NE(Doc().GetRange(t.GetRange().End(), Doc().Content().End()).Text().find("freundlichen"),
              std::string::npos);
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(TablePlace, TheEarlierTableIsReplacedWhereItStoodAndOtherFeeTablesStay) {
    AddParagraph("Kopf");
    AddTable(3, 5, "T1", "Honora_2");
    AddParagraph("zwischen");
    auto earlier = AddTable(3, 5, "T2", "Honora_5");
    AddParagraph("danach");
    AddTable(3, 5, "T3", "Honora_1");
    AddParagraph("Ende");

    auto range = honora::WordTabelleFestlegen("frmKat5", earlier);
    ASSERT_TRUE(range);
    EXPECT_THAT(TableLabels(), ElementsAre("T1", "T3"));
    AddAt(range);
    EXPECT_THAT(TableLabels(), ElementsAre("T1", "neu", "T3"));
    auto t = Doc().GetTables().Item(2);
    EXPECT_NE(TextBefore(t).find("zwischen"), std::string::npos);
    EXPECT_EQ(TextBefore(t).find("danach"), std::string::npos);
    // The old table's marker went with it; the others keep theirs.
    EXPECT_EQ(Doc().GetComments().Count(), 2);
    EXPECT_THAT(CellComments(Doc().GetTables().Item(1), 1, 5), ElementsAre("Honora_2"));
    EXPECT_THAT(CellComments(Doc().GetTables().Item(3), 1, 5), ElementsAre("Honora_1"));
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(TablePlace, AnEarlierTableDeletedMeanwhileCountsAsNone) {
    AddParagraph("Kopf");
    auto gone = AddTable(3, 5, "T1", "Honora_4");
    AddParagraph("Ende");
    Table copy = gone;
    copy.Delete();  // by the user, while the dialog was open
    const std::string before = Doc().Content().Text();
    auto range = honora::WordTabelleFestlegen("frmKat4", gone);
    ASSERT_TRUE(range);
    EXPECT_EQ(Doc().Content().Text(), before + "\r");
    auto t = AddAt(range);
    EXPECT_EQ(TextBefore(t), before);
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(TablePlace, AFailingLookForTheEarlierTableIsLoggedAndTheTableStillReplaced) {
    AddParagraph("Kopf");
    auto earlier = AddTable(3, 5, "T1", "Honora_5");
    AddParagraph("Ende");
    faults::Reset();
    faults::Plan(faults::Area::Word, 1);
    auto range = honora::WordTabelleFestlegen("frmKat5", earlier);
    faults::Reset();
    ASSERT_TRUE(range);
    AddAt(range);
    EXPECT_THAT(TableLabels(), ElementsAre("neu"));
    EXPECT_THAT(LoggedSteps(), ElementsAre("frmKat5.WordTabelleFestlegen:90"));
}

TEST_F(TablePlace, WithoutADocumentTheFailuresAreLoggedUnderTheDialog) {
    honora::Session().Doc.reset();
    EXPECT_FALSE(honora::WordTabelleFestlegen("frmKat1", {}));
    EXPECT_THAT(LoggedSteps(), ElementsAre("frmKat1.WordTabelleFestlegen:200", "frmKat1.WordTabelleFestlegen:220"));
}

}  // namespace
