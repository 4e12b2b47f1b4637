// The fee dialogs of Zerlegung, Baulandumlegung, linear facilities and
// Gebäudeaufnahme driven like a user: what every label shows after the inputs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "category_fixture.h"

namespace category_test {
namespace {

using ::testing::IsEmpty;

struct FeeCase {
    const char* name;
    int index;  // Show's index: 4 frmKat1, 3 frmKat2, 2 frmKat3, 1 frmKat4
    Steps steps;
    std::vector<std::pair<std::string, std::string>> shown;
};

class CategoryFee : public CategoryTest, public ::testing::WithParamInterface<FeeCase> {};

TEST_P(CategoryFee, LabelsFollowTheInputs) {
    const FeeCase& c = GetParam();
    auto& f = OpenIndex(c.index);
    PlaySteps(f, c.steps);
    for (const auto& [key, want] : c.shown) EXPECT_EQ(Shown(f, key), want) << key;
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

const Steps kKat1 = {"mskAusFlur=2", "mskGesamt=3", "mskGP=4", "mskAGP=4"};
Steps With(Steps steps, const Steps& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}
const Steps kKat2 = {"mskAusFlur=2", "mskGesamt=3", "mskGP=5", "mskAGP=4", "mskBoden=250"};
const Steps kKat3 = {"mskAusFlur=1", "mskFlurstücke=4", "mskGP=6", "mskAGP=6"};

INSTANTIATE_TEST_SUITE_P(
    Cases, CategoryFee,
    ::testing::Values(
        // Zerlegung: (subtotal [× 0,7] + 30.22.2) × the larger factor.
        FeeCase{"Kat1Start", 4, {}, {{"lblAusFlur", "  0,00"}, {"lblZwischen", "  0,00"}, {"lblFaktor", "0,0"},
                                     {"lblStrasse", "0,0"}, {"lblSumme", "  0,00"}, {"mskBezug", "1000,00"},
                                     {"mskGP", "    "}, {"lblSplitter", "Faktor                0,7"}}},
        FeeCase{"Kat1LandValue", 4, With(kKat1, {"mskBoden=200"}),
                {{"lblAusFlur", "300,00"}, {"lblNeuFlur", "660,00"}, {"lblGP", "160,00"}, {"lblZwischen", "1120,00"},
                 {"lblAGP", "160,00"}, {"lblFaktor", "2,25"}, {"lblSumme", "2880,00"}}},
        FeeCase{"Kat1Splinter", 4, With(kKat1, {"mskBoden=200", "click sevCheck1"}), {{"lblSumme", "2124,00"}}},
        FeeCase{"Kat1ClassificationLarger", 4, With(kKat1, {"mskBoden=5", "select cmbKlassifizierung=1"}),
                {{"lblFaktor", "1,0"}, {"lblStrasse", "1,2"}, {"lblSumme", "1536,00"}}},
        FeeCase{"Kat1LandValueLarger", 4, With(kKat1, {"mskBoden=50", "select cmbKlassifizierung=1"}),
                {{"lblSumme", "1920,00"}}},
        FeeCase{"Kat1EqualFactors", 4, With(kKat1, {"mskBoden=50", "select cmbKlassifizierung=0"}),
                {{"lblSumme", "1920,00"}}},
        // Further small parcels count even without a first one.
        FeeCase{"Kat1Reductions", 4,
                {"mskGesamt=3", "mskGesamt2=1", "mskGesamt75=1", "mskWeiter75=2", "mskGesamt599=1", "mskBoden=5"},
                {{"lblNeu2", "-330,00"}, {"lblNeu75", "-220,00"}, {"lblNeu75_51", "-220,00"}, {"lblNeu499", "220,00"},
                 {"lblZwischen", "110,00"}, {"lblSumme", "110,00"}}},
        // Baulandumlegung: subtotal × value factor × Faktor A.
        FeeCase{"Kat2Start", 3, {}, {{"lblZwischen", "  0,00"}, {"lblFaktor", "1,0"}, {"lblDichtefaktor", "1,6"},
                                     {"lblSumme", "  0,00"}}},
        FeeCase{"Kat2Residential", 3, kKat2,
                {{"lblAusFlur", "300,00"}, {"lblNeuFlur", "660,00"}, {"lblGP", "200,00"}, {"lblAGP", "160,00"},
                 {"lblZwischen", "1320,00"}, {"lblFaktor", "2,25"}, {"lblSumme", "4752,00"}}},
        FeeCase{"Kat2SpecialAreas", 3, With(kKat2, {"click sevOption2"}),
                {{"lblDichtefaktor", "3,0"}, {"lblSumme", "8910,00"}, {"sevOption1", "0"}}},
        FeeCase{"Kat2BackToResidential", 3, With(kKat2, {"click sevOption2", "click sevOption1"}),
                {{"lblDichtefaktor", "1,6"}, {"lblSumme", "4752,00"}}},
        // The reduction enters only the table.
        FeeCase{"Kat2ReductionLeavesTheLabels", 3, With(kKat2, {"click chkErmäßigung"}), {{"lblSumme", "4752,00"}}},
        // Linear facilities: subtotal × the classification's factor.
        FeeCase{"Kat3Start", 2, {}, {{"cmbKlassifizierung", "Bundesfernstraßen, Bundeswasserstraßen, Landesstraßen, "
                                                             "Bahnen, Gewässer 1. Ordnung"},
                                     {"lblFaktor", "1,5"}, {"lblSumme", "  0,00"}}},
        FeeCase{"Kat3First", 2, kKat3,
                {{"lblAusFlur", "150,00"}, {"lblNeuFlur", "880,00"}, {"lblGP", "240,00"}, {"lblAGP", "240,00"},
                 {"lblZwischen", "1510,00"}, {"lblSumme", "2265,00"}}},
        FeeCase{"Kat3Second", 2, With(kKat3, {"select cmbKlassifizierung=1"}),
                {{"lblFaktor", "1,2"}, {"lblSumme", "1812,00"}}},
        FeeCase{"Kat3Third", 2, With(kKat3, {"select cmbKlassifizierung=2"}),
                {{"lblFaktor", "1,0"}, {"lblSumme", "1510,00"}}},
        // Gebäudeaufnahme: the band's base fee, 30 % of it per further group of 5.
        FeeCase{"Kat4Start", 1, {}, {{"lblGebühr100", "   100"}, {"lblGebühr30", "    30"}, {"mskAnzahl30", "    "},
                                     {"lblSumme30", " 0,00"}, {"lblSumme", "100,00"}}},
        FeeCase{"Kat4TwelveBuildings", 1, {"mskAnzahl=12", "mskBaukosten=150000"},
                {{"lblGebühr100", "   300"}, {"lblGebühr30", "    90"}, {"mskAnzahl30", "   2"},
                 {"lblSumme30", " 180,00"}, {"lblSumme", "480,00"}}},
        FeeCase{"Kat4FiveBuildings", 1, {"mskAnzahl=5", "mskBaukosten=150000"},
                {{"mskAnzahl30", "    "}, {"lblSumme", "300,00"}}},
        FeeCase{"Kat4SixBuildings", 1, {"mskAnzahl=6", "mskBaukosten=150000"},
                {{"mskAnzahl30", "   1"}, {"lblSumme", "390,00"}}},
        // A typed group count does not survive the next computation.
        FeeCase{"Kat4GroupsAreComputed", 1, {"mskAnzahl=3", "mskAnzahl30=7"}, {{"mskAnzahl30", "    "}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Band limits: both limits belong to the band, above 5 M€ every started 5 M€ adds 1200 €.
// (A thousands group counts in the width before its dot is dropped: " 1200".)
TEST_F(CategoryTest, BuildingCostBandsIncludeBothLimits) {
    const std::pair<const char*, const char*> bands[] = {
        {"25000", "   100"},   {"25001", "   200"},   {"100000", "   200"},  {"100001", "   300"},
        {"2000000", "   800"}, {"5000000", " 1200"}, {"5000001", " 2400"}, {"7000000", " 2400"},
        {"10000000", " 3600"}, {"999999999", "240000"}};
    auto& f = OpenIndex(1);
    for (const auto& [costs, base] : bands) {
        driver_->Set(f, "mskBaukosten", costs);
        EXPECT_EQ(Shown(f, "lblGebühr100"), base) << costs;
    }
    EXPECT_EQ(honora::kat4::BandOfCosts(7'000'000).text, "zwischen 5 M€ und 10 M€");
    EXPECT_EQ(honora::kat4::BandOfCosts(10'000'000).text, "zwischen 10 M€ und 15 M€");
    EXPECT_EQ(honora::kat4::BandOfCosts(5'000'000).text, "zwischen 2 M€ und 5 M€");
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

// A band text read back from a table gives costs inside that band, so that
// reconfirming keeps the base fee; a text that names no band gives none.
TEST(BuildingCostBands, BandTextsReadBackIntoTheirBand) {
    using honora::kat4::BandOfCosts;
    using honora::kat4::CostsOfBand;
    for (double costs : {1.0, 25'000.0, 25'001.0, 400'000.0, 2'000'001.0, 5'000'000.0, 5'000'001.0, 12'345'678.0,
                         999'999'999.0}) {
        const auto band = BandOfCosts(costs);
        const auto back = CostsOfBand(band.text);
        ASSERT_TRUE(back.has_value()) << band.text;
        EXPECT_EQ(BandOfCosts(*back).text, band.text);
        EXPECT_EQ(BandOfCosts(*back).basicFee, band.basicFee) << band.text;
    }
    EXPECT_EQ(CostsOfBand("bis 25 T€"), 20'000);
    EXPECT_EQ(CostsOfBand("zwischen 100 T€ und 400 T€"), 100'001);
    for (const char* text : {"", "bis 30 T€", "zwischen 3 M€ und 8 M€", "zwischen 25 T€", "125.000 €"})
        EXPECT_EQ(CostsOfBand(text), std::nullopt) << text;
}

// The value factor at its thresholds, in the two dialogs that have a land value.
TEST_F(CategoryTest, LandValueThresholdsGiveTheirFactors) {
    const std::pair<const char*, const char*> values[] = {{"10", "1,0"},  {"11", "1,5"},  {"100", "1,5"},
                                                          {"101", "2,25"}, {"300", "2,25"}, {"301", "3,0"},
                                                          {"1000", "3,0"}, {"1001", "3,75"}};
    for (int index : {4, 3}) {
        auto& f = OpenIndex(index);
        for (const auto& [value, factor] : values) {
            driver_->Set(f, "mskBoden", value);
            EXPECT_EQ(Shown(f, "lblFaktor"), factor) << "index " << index << ", " << value;
        }
        driver_->Click(f, "CommandAbbruch");
    }
}

TEST_F(CategoryTest, TheSplinterBoxShowsItsFactorWhileTicked) {
    auto& f = OpenIndex(4);
    auto& label = f.Get<forms::Label>("lblSplitter");
    EXPECT_FALSE(label.Visible());
    driver_->Click(f, "sevCheck1");
    EXPECT_TRUE(label.Visible());
    driver_->Click(f, "sevCheck1");
    EXPECT_FALSE(label.Visible());
}

}  // namespace
}  // namespace category_test
