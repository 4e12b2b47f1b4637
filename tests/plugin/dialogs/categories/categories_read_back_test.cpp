// Reopening every dialog on the table it wrote and confirming unchanged: the
// inputs come back, and the new table, its comments, the fee and the invoice
// totals equal the old ones.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "category_fixture.h"
#include "plugin/common/number_text.h"

namespace category_test {
namespace {

using ::testing::Each;
using ::testing::AnyOf;
using ::testing::Eq;

struct RoundTrip {
    const char* name;
    int index;
    Steps steps;
    std::vector<std::pair<std::string, std::string>> restored;  // shown after reopening
    // Cells the read-back gives back as the same number in its own alignment
    // (a typed "12  " returns as "  12", an empty count as 0).
    std::set<std::pair<int, int>> reformatted;
};

std::vector<std::vector<std::string>> AllComments(const word::Table& t) {
    std::vector<std::vector<std::string>> all;
    for (int r = 1; r <= t.GetRows().Count(); ++r)
        for (int c = 1; c <= 5; ++c) {
            auto comments = CellComments(t, r, c);
            comments.insert(comments.begin(), std::to_string(r) + "," + std::to_string(c));
            all.push_back(std::move(comments));
        }
    return all;
}

// Every cell of a table of any width.
std::vector<std::string> AnyTexts(const word::Table& t) {
    std::vector<std::string> texts;
    for (int r = 1; r <= t.GetRows().Count(); ++r)
        for (int c = 1; c <= t.GetColumns().Count(); ++c) texts.push_back(CellText(t, r, c));
    return texts;
}

class CategoryRoundTrip : public CategoryTest, public ::testing::WithParamInterface<RoundTrip> {
protected:
    // Texts of every table but the fee table: the invoice totals.
    std::vector<std::vector<std::string>> Totals() {
        std::vector<std::vector<std::string>> totals;
        const long fee = MarkedTable()->GetRange().Start();
        auto tables = Doc().GetTables();
        for (int i = 1; i <= tables.Count(); ++i)
            if (tables.Item(i).GetRange().Start() != fee) totals.push_back(AnyTexts(tables.Item(i)));
        return totals;
    }
    std::optional<word::Table> Reconfirm() {
        auto& f = OpenIndex(index_);
        EXPECT_TRUE(dialog_->CurrentTable());
        driver_->Click(f, "CommandEnde");
        return MarkedTable();
    }
};

TEST_P(CategoryRoundTrip, ConfirmingUnchangedKeepsTableFeeAndTotals) {
    const RoundTrip& c = GetParam();
    auto first = ConfirmIndex(c.index, c.steps);
    ASSERT_TRUE(first.has_value());
    const auto texts = Texts(*first);
    const auto comments = AllComments(*first);
    const auto totals = Totals();
    const long where = first->GetRange().Start();

    auto& f = OpenIndex(c.index);
    for (const auto& [key, want] : c.restored) EXPECT_EQ(Shown(f, key), want) << key;
    driver_->Click(f, "CommandEnde");
    auto second = MarkedTable();
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->GetRange().Start(), where);
    const auto again = Texts(*second);
    ASSERT_EQ(again.size(), texts.size());
    for (size_t r = 0; r < texts.size(); ++r)
        for (size_t col = 0; col < 5; ++col) {
            const auto at = std::make_pair(static_cast<int>(r) + 1, static_cast<int>(col) + 1);
            if (c.reformatted.contains(at))
                EXPECT_EQ(honora::CVal(again[r][col]), honora::CVal(texts[r][col])) << "cell " << at.first << "," << at.second;
            else
                EXPECT_EQ(again[r][col], texts[r][col]) << "cell " << at.first << "," << at.second;
        }
    EXPECT_EQ(AllComments(*second), comments);
    EXPECT_EQ(Totals(), totals);
    EXPECT_EQ(Doc().GetTables().Count(), 2);

    // From then on the table stays as it is.
    auto third = Reconfirm();
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(Texts(*third), again);
    // Only the reads past the end of a table without share or reduction rows are logged.
    EXPECT_THAT(LoggedPlaces(), Each(AnyOf(Eq("Rechnung.ZelleEinlesen"), Eq("Rechnung.TabelleEinlesen"))));
}

const char kCountyRoads[] = "Kreisstraßen, Gemeindestraßen, Gewässer 2. Ordnung";
const Steps kKat1 = {"mskAusFlur=2", "mskGesamt=3", "mskGP=4", "mskAGP=4", "mskBoden=200"};
Steps With(Steps steps, const Steps& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}
const Steps kKat2 = {"grdAusFlur=Flur 3", "mskAusFlur=2", "mskGesamt=3", "mskGP=5", "mskAGP=4", "mskBoden=250"};
const Steps kKat4 = {"txtGebäude=Wohnhaus", "mskAnzahl=12", "mskBaukosten=150000"};

INSTANTIATE_TEST_SUITE_P(
    Cases, CategoryRoundTrip,
    ::testing::Values(
        RoundTrip{"Kat1Plain", 4, kKat1,
                  {{"mskAusFlur", "2   "}, {"mskBoden", " 200"}, {"lblFaktor", "2,25"}, {"sevCheck1", "0"},
                   {"mskBezug", "1000,00"}, {"lblSumme", "2880,00"}},
                  {{17, 2}}},
        RoundTrip{"Kat1Everything", 4,
                  With(kKat1, {"grdAusFlur=Flur 3", "grdNeuFlur=neu", "mskGesamt2=1", "txt_2=Nord", "mskGesamt75=1",
                               "txt_50=Süd", "mskWeiter75=2", "mskGesamt599=1", "Text4=groß", "click sevCheck1",
                               "mskBoden=5", "select cmbKlassifizierung=1", "mskBezug=500,00"}),
                  {{"grdAusFlur", "Flur 3"}, {"txt_50", "Süd"}, {"mskWeiter75", "2   "}, {"Text4", "groß"},
                   {"sevCheck1", "1"}, {"cmbKlassifizierung", kCountyRoads}, {"lblStrasse", "1,2"},
                   {"mskBezug", " 500,00"}},
                  {}},
        // The count that has no row comes back from the subtotal.
        RoundTrip{"Kat1FurtherWithoutFirst", 4, With(kKat1, {"mskWeiter75=2"}),
                  {{"mskWeiter75", "2   "}, {"lblSumme", "2385,00"}}, {{17, 2}}},
        RoundTrip{"Kat2ReductionAndShare", 3, With(kKat2, {"click chkErmäßigung", "mskBezug=500,00"}),
                  {{"grdAusFlur", "Flur 3"}, {"mskGesamt", "   3"}, {"mskBoden", " 250"}, {"chkErmäßigung", "1"},
                   {"mskBezug", " 500,00"}, {"lblSumme", "4752,00"}},
                  {{7, 3}, {15, 3}}},
        RoundTrip{"Kat2SpecialAreas", 3, With(kKat2, {"click sevOption2"}),
                  {{"lblDichtefaktor", "3,0"}, {"sevOption2", "1"}, {"sevOption1", "0"}, {"lblSumme", "8910,00"}},
                  {{7, 3}, {15, 3}}},
        RoundTrip{"Kat2Empty", 3, {}, {{"lblSumme", "  0,00"}}, {{7, 3}, {15, 3}}},
        RoundTrip{"Kat3ClassificationAndShare", 2,
                  {"grdNeuFlur=Weg", "mskAusFlur=1", "mskFlurstücke=4", "mskGP=6", "mskAGP=6",
                   "select cmbKlassifizierung=1", "mskBezug=250,00"},
                  {{"grdNeuFlur", "Weg"}, {"mskFlurstücke", "4   "}, {"cmbKlassifizierung", kCountyRoads},
                   {"lblFaktor", "1,2"}, {"mskBezug", " 250,00"}, {"lblSumme", "1812,00"}},
                  {}},
        RoundTrip{"Kat4BandAndShare", 1, With(kKat4, {"click chkBereich", "mskBezug=250,00"}),
                  {{"txtGebäude", "Wohnhaus"}, {"mskAnzahl", "  12"}, {"mskBaukosten", "100001   "},
                   {"chkBereich", "1"}, {"mskBezug", " 250,00"}, {"lblSumme", "480,00"}},
                  {{6, 3}}},
        RoundTrip{"Kat4LowestBand", 1, {"mskAnzahl=3", "mskBaukosten=12000", "click chkBereich"},
                  {{"mskBaukosten", "20000    "}, {"chkBereich", "1"}, {"lblSumme", "100,00"}}, {{6, 3}}},
        RoundTrip{"Kat4AboveFiveMillion", 1, {"mskBaukosten=7000000", "click chkBereich"},
                  {{"mskBaukosten", "5000001  "}, {"lblSumme", "2400,00"}}, {{6, 3}}},
        RoundTrip{"Kat4Amount", 1, kKat4, {{"mskBaukosten", "150000   "}, {"chkBereich", "0"}}, {{6, 3}}},
        // The fee used a factor the table does not show; its amounts tell which.
        RoundTrip{"Kat5HiddenClassification", 0, {"mskAGPo=6", "mskAGP=4", "mskBoden=5", "select cmbKlassifizierung=0"},
                  {{"lblFaktor", "1,0"}, {"lblStrasse", "1,5"}, {"lblSumme", "750,00"}}, {{11, 2}}},
        RoundTrip{"Kat5HiddenLandValue", 0,
                  {"mskAGPo=6", "mskAGP=4", "mskBoden=150", "select cmbKlassifizierung=1", "click optFaktor(1)"},
                  {{"lblFaktor", "2,25"}, {"lblStrasse", "1,2"}, {"optFaktor(1)", "1"}, {"lblSumme", "1050,00"}},
                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace category_test
