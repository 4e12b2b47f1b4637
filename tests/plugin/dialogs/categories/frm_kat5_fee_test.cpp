// frmKat5 driven like a user: start values, the fee for counts, land value,
// classification and kind, and the marked-points field of kind 30.6.2.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "kat5_fixture.h"

namespace kat5_test {
namespace {

using ::testing::IsEmpty;

TEST_F(Kat5Test, OpensWithItsStartValuesAndTheSockelbetragAsFee) {
    auto& f = Open();
    ASSERT_TRUE(f.Loaded());
    EXPECT_EQ(f.Name(), "frmKat5");
    EXPECT_EQ(f.Caption(), "Grenzfeststellung nach Nr. 30.6");
    EXPECT_TRUE(Get<forms::OptionButton>(f, "optNr(0)").Value());
    EXPECT_FALSE(Get<forms::OptionButton>(f, "optNr(3)").Value());
    EXPECT_TRUE(Get<forms::OptionButton>(f, "optFaktor(0)").Value());
    EXPECT_FALSE(Get<forms::OptionButton>(f, "optFaktor(1)").Value());
    EXPECT_TRUE(Get<forms::MaskEdBox>(f, "mskAGP").Enabled());
    EXPECT_EQ(Text(f, "mskAGPo"), "    ");
    EXPECT_EQ(Text(f, "mskBoden"), "    ");
    EXPECT_EQ(Text(f, "mskBezug"), "1000,00");
    EXPECT_EQ(Get<forms::ComboBox>(f, "cmbKlassifizierung").ListIndex(), -1);
    EXPECT_EQ(Get<forms::ComboBox>(f, "cmbKlassifizierung").List().size(), 3u);
    EXPECT_EQ(Get<forms::CheckBox>(f, "chkBereich").Value(), 0);
    EXPECT_EQ(Caption(f, "lblFaktor"), "1,0");
    EXPECT_EQ(Caption(f, "lblStrasse"), "0,0");
    for (const char* zero : {"lblAGPo", "lblAGP", "lblZwischen", "lblZF"}) EXPECT_EQ(Caption(f, zero), "  0,00") << zero;
    EXPECT_EQ(Caption(f, "lblSockel"), "150,00");
    EXPECT_EQ(Caption(f, "lblSumme"), "150,00");
    EXPECT_EQ(Caption(f, "Label2(13)"), "Gesamtsumme");
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

struct FeeCase {
    const char* name;
    Inputs in;
    const char* agpo;
    const char* agp;
    const char* subtotalText;
    const char* zf;
    const char* sum;
};

class Kat5Fee : public Kat5Test, public ::testing::WithParamInterface<FeeCase> {};

TEST_P(Kat5Fee, LabelsFollowTheInputs) {
    const FeeCase& c = GetParam();
    auto& f = Open();
    Play(f, c.in);
    EXPECT_EQ(Caption(f, "lblAGPo"), c.agpo);
    EXPECT_EQ(Caption(f, "lblAGP"), c.agp);
    EXPECT_EQ(Caption(f, "lblZwischen"), c.subtotalText);
    EXPECT_EQ(Caption(f, "lblZF"), c.zf);
    EXPECT_EQ(Caption(f, "lblSockel"), "150,00");
    EXPECT_EQ(Caption(f, "lblSumme"), c.sum);
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Kat5Fee,
    ::testing::Values(
        // 400 × max(2,25; 1,2) + 150.
        FeeCase{"LandValueFactorLarger", {0, "6", "4", "150", 1, false, ""}, "240,00", "160,00", "400,00", "900,00",
                "1050,00"},
        // The classification factor 1,5 beats the land value's 1,0 whatever basis is shown.
        FeeCase{"ClassificationLarger", {0, "6", "4", "5", 0, false, ""}, "240,00", "160,00", "400,00", "600,00",
                "750,00"},
        FeeCase{"ClassificationLargerBasisShown", {0, "6", "4", "5", 0, true, ""}, "240,00", "160,00", "400,00",
                "600,00", "750,00"},
        // Without any classification the land-value factor alone counts (1,0 against 0,0).
        FeeCase{"NoClassification", {0, "1", "", "", -1, false, ""}, " 40,00", "  0,00", " 40,00", " 40,00",
                "190,00"},
        FeeCase{"Ties", {0, "3", "", "", 2, false, ""}, "120,00", "  0,00", "120,00", "120,00", "270,00"},
        FeeCase{"HighLandValue", {0, "9999", "", "1001", -1, false, ""}, "399960,00", "  0,00", "399960,00",
                "1499850,00", "1500000,00"},
        // Kind 30.6.2: the marked points are no part of the fee.
        FeeCase{"CheckOfMarks", {3, "6", "", "150", -1, false, ""}, "240,00", "  0,00", "240,00", "540,00",
                "690,00"},
        FeeCase{"NoPoints", {0, "", "", "400", -1, false, ""}, "  0,00", "  0,00", "  0,00", "  0,00", "150,00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Kat5Test, KindCheckOfMarksEmptiesAndDisablesTheMarkedPoints) {
    auto& f = Open();
    driver_->Set(f, "mskAGPo", "6");
    driver_->Set(f, "mskAGP", "4");
    EXPECT_EQ(Caption(f, "lblAGP"), "160,00");
    driver_->Click(f, "optNr(3)");
    EXPECT_FALSE(Get<forms::OptionButton>(f, "optNr(0)").Value());
    EXPECT_EQ(Text(f, "mskAGP"), "    ");
    EXPECT_FALSE(Get<forms::MaskEdBox>(f, "mskAGP").Enabled());
    EXPECT_EQ(Caption(f, "lblAGP"), "  0,00");
    EXPECT_EQ(Caption(f, "lblSumme"), "390,00");
    EXPECT_THROW(driver_->Set(f, "mskAGP", "4"), kado::com::Error) << "a disabled field takes no input";

    // Back to 30.6.1: the field is open again, empty.
    driver_->Click(f, "optNr(0)");
    EXPECT_TRUE(Get<forms::MaskEdBox>(f, "mskAGP").Enabled());
    driver_->Set(f, "mskAGP", "2");
    EXPECT_EQ(Caption(f, "lblSumme"), "470,00");
    EXPECT_THAT(LoggedPlaces(), IsEmpty());
}

}  // namespace
}  // namespace kat5_test
