// SummeBilden's totals table on real documents: the sums per VAT rate, the
// discount and advance variants, and where the table goes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "invoice_fixture.h"
#include "plugin/invoice/summe_bilden.h"

namespace {

using namespace kado::word;
using invoice_test::Amount;
using invoice_test::CellText;
using invoice_test::FeeRow;
using invoice_test::TableTexts;
using Rows = std::vector<std::vector<std::string>>;

class Totals : public invoice_test::TotalsTest {
protected:
    // The table whose cell (1, 2) reads "Summe"; fails the test when there is not exactly one.
    Table SumTable() {
        std::vector<Table> found;
        for (int i = 1; i <= Doc().GetTables().Count(); ++i) {
            auto t = Doc().GetTables().Item(i);
            if (t.GetColumns().Count() >= 2 && CellText(t, 1, 2) == "Summe") found.push_back(t);
        }
        if (found.size() != 1) throw std::runtime_error("totals tables: " + std::to_string(found.size()));
        return found.front();
    }
};

TEST_F(Totals, TwoFeesAtTheStandardRate) {
    invoice_test::AddFeeTable(Doc(), {{"100,00", std::nullopt}, {"50,00", std::nullopt}});
    honora::SummeBilden(false);

    auto t = SumTable();
    const Rows expected = {
        {" \x05", "Summe", "", "     150,00 €"},
        {"", "Mehrwertsteuer 19 %", "     150,00 €", "      28,50 €"},
        {"", "", "", ""},
        {"", "Rechnungsbetrag", "", "     178,50 €"},
    };
    EXPECT_EQ(TableTexts(t), expected);

    auto marks = t.GetCell(1, 1).GetRange().GetComments();
    ASSERT_EQ(marks.Count(), 1);
    EXPECT_EQ(marks.Item(1).Text(), "RE_Summe");

    EXPECT_FLOAT_EQ(t.GetRows().Item(3).Height(), 6.0f);
    EXPECT_EQ(t.GetRows().Item(3).GetHeightRule(), HeightRule::Exactly);
    EXPECT_TRUE(t.GetCell(4, 2).GetRange().Bold());
    EXPECT_TRUE(t.GetCell(4, 4).GetRange().Bold());
    EXPECT_FALSE(t.GetCell(1, 2).GetRange().Bold());
    EXPECT_FALSE(t.GetCell(2, 4).GetRange().Bold());

    // Borderless and right-aligned, columns of 4, 8, 3 and 2.5 cm.
    t.Select();
    auto app = honora::Session().WordApp;
    for (int type = -1; type >= -6; --type)
        EXPECT_EQ(app->GetSelection().GetBorders().Item(type).GetLineStyle(), LineStyle::None) << type;
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(t.GetCell(r, 4).GetRange().GetParagraphFormat().GetAlignment(), Alignment::Right);
        const float cm[] = {4.0f, 8.0f, 3.0f, 2.5f};
        for (int col = 1; col <= 4; ++col) EXPECT_FLOAT_EQ(t.GetCell(r, col).Width(), cm[col - 1] * 72.0f / 2.54f);
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(Totals, RatesFromTheFeeCells) {
    struct Case {
        const char* name;
        std::vector<std::vector<FeeRow>> tables;
        Rows vatLines;  // columns 2 to 4 of each VAT line
        std::string net;
        std::string due;
    };
    const std::vector<Case> cases = {
        {"a column heading counts 0 but brings the standard rate",
         {{{"Gebühr [€]", std::nullopt}, {"80,00", std::string("7")}}},
         {{"Mehrwertsteuer 19 %", Amount("0,00"), Amount("0,00")},
          {"Mehrwertsteuer 7 %", Amount("80,00"), Amount("5,60")}},
         Amount("80,00"),
         Amount("85,60")},
        {"'no' counts nowhere, 0 only in the net sum",
         {{{"500,00", std::string("no")}, {"40,00", std::string("0")}, {"100,00", std::nullopt}}},
         {{"Mehrwertsteuer 19 %", Amount("100,00"), Amount("19,00")}},
         Amount("140,00"),
         Amount("159,00")},
        {"rates in order of first appearance over all tables",
         {{{"100,00", std::string("19")}, {"200,00", std::string("7")}}, {{"50,00", std::nullopt}}},
         {{"Mehrwertsteuer 19 %", Amount("150,00"), Amount("28,50")},
          {"Mehrwertsteuer 7 %", Amount("200,00"), Amount("14,00")}},
         Amount("350,00"),
         Amount("392,50")},
        {"VAT rounded half up per rate", {{{"10,05", std::nullopt}}},
         {{"Mehrwertsteuer 19 %", Amount("10,05"), Amount("1,91")}}, Amount("10,05"), Amount("11,96")},
        // Nets whose VAT falls between two cents: each pins half up against
        // rounding up, down, half down or half to even.
        {"1,01 at 19 % is 19,19 cents: not up", {{{"1,01", std::nullopt}}},
         {{"Mehrwertsteuer 19 %", Amount("1,01"), Amount("0,19")}}, Amount("1,01"), Amount("1,20")},
        {"2,50 at 19 % is 47,5 cents: not half down", {{{"2,50", std::nullopt}}},
         {{"Mehrwertsteuer 19 %", Amount("2,50"), Amount("0,48")}}, Amount("2,50"), Amount("2,98")},
        {"1,50 at 7 % is 10,5 cents: not half to even", {{{"1,50", std::string("7")}}},
         {{"Mehrwertsteuer 7 %", Amount("1,50"), Amount("0,11")}}, Amount("1,50"), Amount("1,61")},
        {"183,15 at 7 % is 1282,05 cents: not up", {{{"183,15", std::string("7")}}},
         {{"Mehrwertsteuer 7 %", Amount("183,15"), Amount("12,82")}}, Amount("183,15"), Amount("195,97")},
        {"183,15 at 19 % is 3479,85 cents: not down", {{{"183,15", std::nullopt}}},
         {{"Mehrwertsteuer 19 %", Amount("183,15"), Amount("34,80")}}, Amount("183,15"), Amount("217,95")},
        {"mixed rates round each rate on its own",
         {{{"1,01", std::nullopt}, {"2,50", std::string("7")}}, {{"183,15", std::string("19")}}},
         {{"Mehrwertsteuer 19 %", Amount("184,16"), Amount("34,99")},
          {"Mehrwertsteuer 7 %", Amount("2,50"), Amount("0,18")}},
         Amount("186,66"),
         Amount("221,83")},
        {"a decimal rate and thousands in the fee text", {{{"1.000,00", std::string("7,5")}}},
         {{"Mehrwertsteuer 7,5 %", Amount("1.000,00"), Amount("75,00")}}, Amount("1.000,00"), Amount("1.075,00")},
        {"an empty fee cell is skipped, its rate too", {{{"", std::nullopt}, {"20,00", std::string("7")}}},
         {{"Mehrwertsteuer 7 %", Amount("20,00"), Amount("1,40")}}, Amount("20,00"), Amount("21,40")},
        {"no fee at all", {}, {}, Amount("0,00"), Amount("0,00")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        honora::Session().Doc = Document::New(honora::Session().WordApp);
        for (const auto& rows : c.tables) invoice_test::AddFeeTable(Doc(), rows);
        honora::SummeBilden(false);
        auto t = SumTable();
        const int k = static_cast<int>(c.vatLines.size());
        ASSERT_EQ(t.GetRows().Count(), 3 + k);
        EXPECT_EQ(CellText(t, 1, 4), c.net);
        Rows lines;
        for (int r = 2; r < 2 + k; ++r) lines.push_back({CellText(t, r, 2), CellText(t, r, 3), CellText(t, r, 4)});
        EXPECT_EQ(lines, c.vatLines);
        EXPECT_EQ(CellText(t, 3 + k, 2), "Rechnungsbetrag");
        EXPECT_EQ(CellText(t, 3 + k, 4), c.due);
    }
}

TEST_F(Totals, DiscountAndAdvanceShare) {
    struct Case {
        const char* name;
        std::string fee;
        int16_t rebate;
        int16_t percent;
        double absoluteAmount;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {"Rabatt 10", "200,00", 10, 100, 0,
         {{" \x05", "Summe", "", Amount("200,00")},
          {"", "\rAbzüglich dem Rabatt von 10%", "", "\r" + Amount("180,00")},
          {"", "Mehrwertsteuer 19 %", Amount("180,00"), Amount("34,20")},
          {"", "", "", ""},
          {"", "Rechnungsbetrag", "", Amount("214,20")}}},
        {"AbschlagProzent 30", "1.000,00", 0, 30, 0,
         {{" \x05", "Summe", "", Amount("1.000,00")},
          {"", "\rAbschlagszahlung von 30%", "", "\r" + Amount("300,00")},
          {"", "Mehrwertsteuer 19 %", Amount("300,00"), Amount("57,00")},
          {"", "", "", ""},
          {"", "Rechnungsbetrag", "", Amount("357,00")}}},
        {"AbschlagAbsolut 500", "1.000,00", 0, 100, 500,
         {{" \x05", "Summe", "", Amount("1.000,00")},
          {"", "\rAbschlagszahlung von ", "", "\r" + Amount("500,00")},
          {"", "Mehrwertsteuer 19 %", Amount("500,00"), Amount("95,00")},
          {"", "", "", ""},
          {"", "Rechnungsbetrag", "", Amount("595,00")}}},
        {"AbschlagProzent 0 from an empty host field", "1.000,00", 0, 0, 0,
         {{" \x05", "Summe", "", Amount("1.000,00")},
          {"", "\rAbschlagszahlung von 0%", "", "\r" + Amount("0,00")},
          {"", "Mehrwertsteuer 19 %", Amount("0,00"), Amount("0,00")},
          {"", "", "", ""},
          {"", "Rechnungsbetrag", "", Amount("0,00")}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto& s = honora::Session();
        s.Doc = Document::New(s.WordApp);
        s.Rabatt = c.rebate;
        s.AbschlagProzent = c.percent;
        s.AbschlagAbsolut = c.absoluteAmount;
        invoice_test::AddFeeTable(Doc(), {{c.fee, std::nullopt}});
        honora::SummeBilden(false);
        auto t = SumTable();
        EXPECT_EQ(TableTexts(t), c.expected);
        EXPECT_TRUE(t.GetCell(2, 2).GetRange().Bold());
        EXPECT_FALSE(t.GetCell(2, 4).GetRange().Bold());
        EXPECT_FLOAT_EQ(t.GetRows().Item(4).Height(), 6.0f);
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(Totals, AbsoluteAdvanceWithoutFeesLogsTheDivision) {
    honora::Session().AbschlagAbsolut = 500;
    honora::SummeBilden(false);
    auto t = SumTable();
    // The factor stays 0: no VAT, the advance amount is due as it stands.
    EXPECT_EQ(CellText(t, 2, 4), "\r" + Amount("500,00"));
    EXPECT_EQ(CellText(t, 4, 4), Amount("500,00"));
    EXPECT_THAT(LoggedPlaces(), ::testing::ElementsAre("GebührenTabelle.SummeBilden"));
}

TEST_F(Totals, PlaceOfTheTable) {
    // Without "kadoStart": at the end, after a new empty paragraph.
    Doc().Content().InsertAfter("Sehr geehrte Damen und Herren,");
    honora::SummeBilden(false);
    auto t = SumTable();
    const long start = t.GetRange().Start();
    EXPECT_EQ(Doc().GetRange(0, start).Text(), "Sehr geehrte Damen und Herren,\r");
    EXPECT_EQ(Doc().GetRange(t.GetRange().End(), static_cast<long>(Doc().Content().End())).Text(), "\r");

    // With it: at the marker, which stays behind the table for the next run.
    auto& s = honora::Session();
    s.Doc = Document::New(s.WordApp);
    Doc().Content().InsertAfter("Anfang Ende");
    auto marker = Doc().GetRange(7, 7);
    Doc().GetComments().Add(marker, "kadoStart");
    honora::SummeBilden(false);
    auto t2 = SumTable();
    EXPECT_EQ(Doc().GetRange(0, t2.GetRange().Start()).Text(), "Anfang \r");
    const auto after = Doc().GetRange(t2.GetRange().End(), Doc().Content().End()).Text();
    EXPECT_EQ(after, "\x05" "Ende\r");
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

// In print the totals stay whole and with the first line of text after them:
// every row can't split and keeps with the next, and so do the empty
// paragraphs between the table and that line, which itself is left as it was.
TEST_F(Totals, KeptWholeWithTheLineOfTextAfterThem) {
    const struct {
        const char* what;
        const char* text;  // the document; the totals go at its "kadoStart" after the first word, or at the end
        bool marker;
        int keptAfter;  // paragraphs after the table that keep with the next
    } cases[] = {
        {"the invoice template", "Gebührenordnung:\r\rRechnungsbetrag: 0,00 €\rMit freundlichen Grüßen", true, 2},
        {"text right after the marker", "Gebührenordnung: Rechnungsbetrag: 0,00 €", true, 0},
        {"at the end of the document", "Gebührenordnung:", false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto& session = honora::Session();
        session.Doc = Document::New(session.WordApp);
        Doc().Content().InsertBefore(c.text);
        if (c.marker) Doc().GetComments().Add(Doc().GetRange(16, 16), "kadoStart");
        invoice_test::AddFeeTable(Doc(), {{"100,00", std::nullopt}});
        honora::SummeBilden(false);

        auto t = SumTable();
        for (int r = 1; r <= t.GetRows().Count(); ++r) {
            EXPECT_FALSE(t.GetRows().Item(r).AllowBreakAcrossPages()) << "row " << r;
            EXPECT_TRUE(t.GetRows().Item(r).GetRange().GetParagraphFormat().KeepWithNext()) << "row " << r;
        }
        auto after = t.GetRange();
        after.Collapse(CollapseDirection::End);
        for (int k = 1; after.MoveEnd(Unit::Paragraph, 1) > 0 && after.GetTables().Count() == 0; ++k) {
            EXPECT_EQ(after.GetParagraphFormat().KeepWithNext(), k <= c.keptAfter) << "paragraph " << k << " after";
            after.Collapse(CollapseDirection::End);
        }
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

}  // namespace
