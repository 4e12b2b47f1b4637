// A confirmed fee table read by LibreOffice: the layout, the marks and the
// share come back from its own DOCX after a round trip through it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "framework_fixture.h"
#include "platform/word/lo_support.h"
#include "plugin/dialogs/framework/fee_table_frame.h"
#include "support/temp_dir.h"

namespace {

using ::testing::ElementsAre;
using namespace kado::word;

class FeeTableLo : public framework_test::FrameworkTest {};

TEST_F(FeeTableLo, LayoutMarksAndShareSurviveLibreOffice) {
    honora::Category k;
    k.name = "frmKat2";
    k.marker = "Honora_2";
    k.widths = {1.5, 8.3, 1.9, 3.3, 2.5};
    honora::FeeTable content;
    content.title = "Baulandumlegung nach Nr. 30.2";
    content.rows = 5;
    content.share = " 250,00";
    content.fee = "2265,00";
    content.feeShown = 2265;
    content.cells = {{3, 1, "30.22.1", false, {}, false},
                     {3, 2, "Grenzpunkte", false, {}, false},
                     {3, 5, " 240,00 €", false, honora::FeeMark::Excluded(), false},
                     {5, 2, "Gebühr", true, {}, false},
                     {5, 5, "2265,00 €", false, {}, true}};
    AddParagraph("Rechnung Nr. 17");
    ASSERT_TRUE(honora::WriteFeeTable(k, content, {}));

    kado::testing::TempDir tmp("kado-framework-lo");
    const auto& dir = tmp.Path();
    std::filesystem::create_directories(dir / "lo");
    Doc().SaveAs(dir / "rechnung.docx");
    const auto back = kado::word::test::LoConvert(dir / "rechnung.docx", "docx", dir / "lo");
    ASSERT_FALSE(back.empty()) << kado::word::test::ReadAll(dir / "lo" / "soffice.log");
    auto doc = Document::Open(back);

    // The fee table is the one marked on cell (1,5); the totals table follows.
    std::optional<Table> fee;
    for (int i = 1; i <= doc->GetTables().Count(); ++i) {
        auto t = doc->GetTables().Item(i);
        if (t.GetColumns().Count() == 5 && CellComments(t, 1, 5) == std::vector<std::string>{"Honora_2"}) fee = t;
    }
    ASSERT_TRUE(fee.has_value());
    EXPECT_EQ(fee->GetRows().Count(), 7);
    EXPECT_EQ(CellText(*fee, 1, 1).rfind("Baulandumlegung nach Nr. 30.2", 0), 0u);
    EXPECT_TRUE(fee->GetCell(1, 1).GetRange().Bold());
    EXPECT_EQ(CellText(*fee, 2, 4), "Einzelgebühr [€]");
    EXPECT_TRUE(fee->GetCell(2, 4).GetRange().Bold());
    const float cm = 72.0f / 2.54f;
    EXPECT_NEAR(fee->GetCell(1, 1).Width(), 12 * cm, 1.0);
    EXPECT_NEAR(fee->GetCell(1, 5).Width(), 2.5 * cm, 1.0);
    EXPECT_NEAR(fee->GetCell(3, 2).Width(), 8.3 * cm, 1.0);
    EXPECT_NEAR(fee->GetCell(3, 3).Width(), 1.9 * cm, 1.0);
    EXPECT_EQ(fee->GetCell(3, 5).GetRange().GetParagraphFormat().GetAlignment(), Alignment::Right);
    EXPECT_EQ(fee->GetCell(3, 2).GetRange().GetParagraphFormat().GetAlignment(), Alignment::Left);
    EXPECT_THAT(CellComments(*fee, 3, 5), ElementsAre("no"));
    EXPECT_THAT(CellComments(*fee, 5, 5), ElementsAre("no"));
    EXPECT_EQ(CellText(*fee, 7, 2), "Anteil in 1/1000");
    EXPECT_EQ(CellText(*fee, 7, 3), "250");
    EXPECT_EQ(CellText(*fee, 7, 5), "  566,25 €");
    EXPECT_TRUE(CellComments(*fee, 7, 5).empty());
    if (HasFailure()) tmp.Keep();
}

}  // namespace
