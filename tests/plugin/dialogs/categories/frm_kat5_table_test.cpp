// frmKat5's fee table in a real document: its 17 rows, the basis shown, the
// share rows, the read-back on reopening, Abbruch and Show's index 0.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>

#include "kat5_fixture.h"
#include "plugin/dialogs/framework/read_back.h"
#include "plugin/dialogs/categories/category_dialogs.h"

namespace kat5_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Row = std::array<const char*, 5>;

void ExpectRows(const word::Table& t, const std::vector<Row>& rows) {
    ASSERT_EQ(t.GetRows().Count(), static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(CellText(t, static_cast<int>(r) + 1, c + 1), rows[r][static_cast<size_t>(c)])
                << "cell (" << r + 1 << "," << c + 1 << ")";
}

// Rows of column 5 that carry no comment: what the invoice adds.
std::vector<int> PayableRows(const word::Table& t) {
    std::vector<int> rows;
    for (int r = 3; r <= t.GetRows().Count(); ++r) {
        auto comments = t.GetCell(r, 5).GetRange().GetComments();
        if (!invoice_test::CellText(t, r, 5).empty() && comments.Count() == 0) rows.push_back(r);
    }
    return rows;
}

const Row kHeadings = {"Geb. V.", "Gegenstand", "Anzahl", "Einzelgebühr [€]", "Gebühr [€]"};
const Row kEmpty = {"", "", "", "", ""};

TEST_F(Kat5Test, TheFullCaseWritesSeventeenRowsWithTheFeeAsTheOnePayableCell) {
    auto t = Confirm({0, "6", "4", "150", 1, false, ""});
    ASSERT_TRUE(t.has_value());
    ExpectRows(*t, {{"Grenzfeststellung nach Nr. 30.6.1.1\r", "", "", "", ""},
                    kHeadings,
                    {"30.22.1", "Grenzfeststellung", "6   ", "40,00 €", "240,00 €"},
                    kEmpty,
                    {"30.22.2", "abgemarkte Grenzpunkte", "4   ", "40,00 €", "160,00 €"},
                    kEmpty,
                    {"", "Zwischensumme", "", "", "400,00 €"},
                    kEmpty,
                    {"30.23.1", "Wertfaktor", "", "", ""},
                    {"", "Bodenwert", "Faktor", "", ""},
                    {"", "150  €/m²", "2,25", "", ""},
                    kEmpty,
                    {"", "Zwischensumme * Faktor", "", "", "900,00 €"},
                    kEmpty,
                    {"", "Sockelbetrag", "", "", "150,00 €"},
                    kEmpty,
                    {"", "Gebühr", "", "", "1050,00 €"}});
    for (int r : {3, 5, 7, 13, 15}) EXPECT_THAT(CellComments(*t, r, 5), ElementsAre("no")) << "row " << r;
    EXPECT_THAT(PayableRows(*t), ElementsAre(17));
    EXPECT_THAT(CellComments(*t, 1, 5), ElementsAre("Honora_5"));
    EXPECT_TRUE(t->GetCell(7, 2).GetRange().Bold()) << "Zwischensumme is bold";
    EXPECT_FALSE(t->GetCell(13, 2).GetRange().Bold());
    EXPECT_EQ(Doc().GetTables().Count(), 2) << "fee table and totals";
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(Kat5Test, TheBasisShownIsTheOneChosenWhileTheFeeUsesTheLargerFactor) {
    struct Case {
        bool classification;
        Row r9, r10, r11;
    } cases[] = {
        {false, {"30.23.1", "Wertfaktor", "", "", ""}, {"", "Bodenwert", "Faktor", "", ""}, {"", "5    €/m²", "1,0", "", ""}},
        {true,
         {"30.23.2", "Wertfaktor", "", "", ""},
         {"", "Klassifizierung", "Faktor", "", ""},
         {"", "Bundesfernstraßen, Bundeswasserstraßen, Landesstraßen, Bahnen, Gewässer 1. Ordnung", "1,5", "", ""}},
    };
    for (const auto& c : cases) {
        auto t = Confirm({0, "6", "4", "5", 0, c.classification, ""});
        ASSERT_TRUE(t.has_value());
        for (int col = 0; col < 5; ++col) {
            EXPECT_EQ(CellText(*t, 9, col + 1), c.r9[static_cast<size_t>(col)]);
            EXPECT_EQ(CellText(*t, 10, col + 1), c.r10[static_cast<size_t>(col)]);
            EXPECT_EQ(CellText(*t, 11, col + 1), c.r11[static_cast<size_t>(col)]);
        }
        EXPECT_EQ(CellText(*t, 13, 5), "600,00 €") << "Zwischensumme × 1,5";
        EXPECT_EQ(CellText(*t, 17, 5), "750,00 €");
    }
    EXPECT_EQ(Doc().GetTables().Count(), 2) << "the second confirmation replaced the first table";
}

TEST_F(Kat5Test, WithoutPointsTheItemRowsStayEmptyButTheTableIsComplete) {
    auto t = Confirm({});
    ASSERT_TRUE(t.has_value());
    ASSERT_EQ(t->GetRows().Count(), 17);
    EXPECT_EQ(CellText(*t, 3, 1), "30.22.1");
    EXPECT_EQ(CellText(*t, 3, 2), "Grenzfeststellung");
    for (int c = 3; c <= 5; ++c) EXPECT_EQ(CellText(*t, 3, c), "");
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(CellText(*t, 5, c), "");
    EXPECT_EQ(CellText(*t, 7, 5), "  0,00 €");
    EXPECT_EQ(CellText(*t, 11, 2), "     €/m²");
    EXPECT_EQ(CellText(*t, 15, 5), "150,00 €");
    EXPECT_EQ(CellText(*t, 17, 2), "Gebühr");
    EXPECT_EQ(CellText(*t, 17, 5), "150,00 €");
    EXPECT_THAT(PayableRows(*t), ElementsAre(17));
}

TEST_F(Kat5Test, KindCheckOfMarksHasItsHeadingAndAnEmptyRowFive) {
    auto t = Confirm({3, "6", "", "150", -1, false, ""});
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(CellText(*t, 1, 1), "Grenzfeststellung nach Nr. 30.6.2.1\r");
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(CellText(*t, 5, c), "") << "column " << c;
    EXPECT_EQ(CellText(*t, 17, 5), "690,00 €");

    // Reopening restores the kind, with the marked points still shut.
    auto& f = Open();
    EXPECT_TRUE(Get<forms::OptionButton>(f, "optNr(3)").Value());
    EXPECT_FALSE(Get<forms::OptionButton>(f, "optNr(0)").Value());
    EXPECT_FALSE(Get<forms::MaskEdBox>(f, "mskAGP").Enabled());
    EXPECT_EQ(Caption(f, "lblSumme"), "690,00");
}

TEST_F(Kat5Test, AShareBelowTheWholeJobAddsTheShareRowAsTheOnePayableCell) {
    auto t = Confirm({0, "6", "4", "150", 1, false, " 500,00"});
    ASSERT_TRUE(t.has_value());
    ASSERT_EQ(t->GetRows().Count(), 19);
    EXPECT_EQ(CellText(*t, 17, 5), "1050,00 €");
    EXPECT_THAT(CellComments(*t, 17, 5), ElementsAre("no"));
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(CellText(*t, 18, c), "");
    EXPECT_EQ(CellText(*t, 19, 2), "Anteil in 1/1000");
    EXPECT_EQ(CellText(*t, 19, 3), "500");
    EXPECT_EQ(CellText(*t, 19, 5), "  525,00 €");
    EXPECT_THAT(PayableRows(*t), ElementsAre(19));
}

TEST_F(Kat5Test, AShareReadPlainlyAsAThousandIsTheWholeJob) {
    auto& f = Open();
    Play(f, {0, "6", "4", "150", 1, false, ""});
    driver_->Set(f, "mskBezug", "1000,50");
    ASSERT_EQ(Text(f, "mskBezug"), "1000,50");
    driver_->Click(f, "CommandEnde");
    auto t = Marked();
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->GetRows().Count(), 17);
    EXPECT_THAT(CellComments(*t, 17, 5), IsEmpty());
    EXPECT_THAT(PayableRows(*t), ElementsAre(17));
}

struct ReadBack {
    Inputs in;
    bool classification;
    const char* landValueOption;
    const char* factor;
    const char* streetFactor;
    const char* combo;
    const char* basis;
    const char* sum;
};

class Kat5ReadBack : public Kat5Test, public ::testing::WithParamInterface<ReadBack> {};

TEST_P(Kat5ReadBack, ReopeningRestoresKindCountsBasisFactorAndShare) {
    const ReadBack& c = GetParam();
    ASSERT_TRUE(Confirm(c.in).has_value());
    auto& f = Open();
    ASSERT_TRUE(dialog_->CurrentTable());
    auto padded = [](const std::string& s) { return s + std::string(4 - s.size(), ' '); };
    EXPECT_TRUE(Get<forms::OptionButton>(f, "optNr(0)").Value());
    EXPECT_EQ(Text(f, "mskAGPo"), padded(c.in.determined));
    EXPECT_EQ(Text(f, "mskAGP"), padded(c.in.marked));
    EXPECT_EQ(Get<forms::OptionButton>(f, "optFaktor(1)").Value(), c.classification);
    EXPECT_EQ(Get<forms::OptionButton>(f, "optFaktor(0)").Value(), !c.classification);
    EXPECT_EQ(Text(f, "mskBoden"), c.landValueOption);
    EXPECT_EQ(Caption(f, "lblFaktor"), c.factor);
    EXPECT_EQ(Caption(f, "lblStrasse"), c.streetFactor);
    EXPECT_EQ(Get<forms::ComboBox>(f, "cmbKlassifizierung").Text(), c.combo);
    EXPECT_EQ(Text(f, "mskBezug"), c.basis);
    EXPECT_EQ(Caption(f, "lblSumme"), c.sum);
    // A table without share rows ends at row 17: the share read past it is the one entry.
    if (c.in.share.empty())
        EXPECT_THAT(LoggedPlaces(), ElementsAre("Rechnung.ZelleEinlesen"));
    else
        EXPECT_THAT(LoggedPlaces(), IsEmpty());

    // Confirming unchanged writes the same table in the same place; only the
    // land value comes back right-aligned as the read-back formatted it.
    const long where = Marked()->GetRange().Start();
    auto expected = Texts(*Marked());
    expected[10][1] = c.classification ? std::string(c.combo) : std::string(c.landValueOption) + " €/m²";
    driver_->Click(f, "CommandEnde");
    ASSERT_TRUE(Marked().has_value());
    EXPECT_EQ(Marked()->GetRange().Start(), where);
    EXPECT_EQ(Texts(*Marked()), expected);
    EXPECT_EQ(Doc().GetTables().Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Basis, Kat5ReadBack,
    ::testing::Values(
        // The land value comes back right-aligned from "150  €/m²"; the classification stays unread.
        ReadBack{{0, "6", "4", "150", 1, false, " 250,00"}, false, " 150", "2,25", "0,0", "", " 250,00", "1050,00"},
        // The land-value field keeps what it had; 600 × 1,2 + 150.
        ReadBack{{0, "12", "3", "", 1, true, ""}, true, "    ", "1,0", "1,2",
                 "Kreisstraßen, Gemeindestraßen, Gewässer 2. Ordnung", "1000,00", "870,00"}));

TEST_F(Kat5Test, AShortForeignTableLeavesTheInputsItLacksAsTheyWere) {
    auto& f = Open();
    Play(f, {0, "7", "2", "150", -1, false, ""});
    auto end = Doc().Content();
    end.Collapse(word::CollapseDirection::End);
    auto foreign = Doc().GetTables().Add(end, 4, 5);
    foreign.GetCell(1, 1).GetRange().InsertAfter("Zerlegung nach Nr. 30.1");
    foreign.GetCell(3, 3).GetRange().InsertAfter("abc");

    honora::TabelleEinlesen(honora::kat5::TableRows(), f, foreign);
    EXPECT_TRUE(Get<forms::OptionButton>(f, "optNr(0)").Value());
    EXPECT_EQ(Text(f, "mskAGPo"), "7   ") << "the mask refuses the text";
    EXPECT_EQ(Text(f, "mskAGP"), "2   ");
    EXPECT_EQ(Text(f, "mskBoden"), "150 ");
    EXPECT_EQ(Caption(f, "lblFaktor"), "2,25");
    EXPECT_EQ(Text(f, "mskBezug"), "1000,00");
    // mskAGPo, then rows 5, 9, 11 (twice) are missing; the share read logs on its own.
    EXPECT_THAT(LoggedPlaces(), ElementsAre("Rechnung.TabelleEinlesen", "Rechnung.TabelleEinlesen",
                                            "Rechnung.TabelleEinlesen", "Rechnung.TabelleEinlesen",
                                            "Rechnung.TabelleEinlesen", "Rechnung.ZelleEinlesen"));
}

TEST_F(Kat5Test, AbbruchLeavesTheDocumentUntouchedAfterManyRecalculations) {
    ASSERT_TRUE(Confirm({0, "6", "4", "150", 1, false, " 500,00"}).has_value());
    const std::string before = Doc().Content().Text();
    const int comments = Doc().GetComments().Count();
    const int tables = Doc().GetTables().Count();

    auto& f = Open();
    for (int i = 0; i < 20; ++i) {
        driver_->Set(f, "mskAGPo", std::to_string(i));
        driver_->Set(f, "mskBoden", std::to_string(i * 70));
        driver_->Select(f, "cmbKlassifizierung", i % 3);
        driver_->Click(f, i % 2 ? "optNr(3)" : "optNr(0)");
        driver_->Click(f, i % 2 ? "optFaktor(1)" : "optFaktor(0)");
    }
    driver_->Set(f, "mskBezug", " 100");
    driver_->Click(f, "CommandAbbruch");
    EXPECT_FALSE(dialog_->IsOpen());
    EXPECT_EQ(Doc().Content().Text(), before);
    EXPECT_EQ(Doc().GetComments().Count(), comments);
    EXPECT_EQ(Doc().GetTables().Count(), tables);
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

TEST_F(Kat5Test, ShowIndexZeroOpensTheGrenzfeststellungOnceRegistered) {
    EXPECT_FALSE(honora::HasDialog(0));
    honora::RegisterCategoryDialogs();
    ASSERT_TRUE(honora::HasDialog(0));
    ASSERT_TRUE(honora::OpenDialog(0));
    auto form = desktop_->LastModeless();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->Name(), "frmKat5");
    EXPECT_EQ(form->Caption(), "Grenzfeststellung nach Nr. 30.6");
    EXPECT_TRUE(form->Loaded());
    EXPECT_EQ(form->ParentWindow(), kMdi);
    EXPECT_EQ(form->Get<forms::Label>("lblSumme").Caption(), "150,00");
}

}  // namespace
}  // namespace kat5_test
