#include "plugin/common/number_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/settings/settings.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using honora::CVal;
using honora::WertFormatieren;
using kado::com::Variant;

namespace {

class NumberTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        kado::testing::UseProgramFolder(dir_);
    }
    kado::testing::TempDir tmp_{"kado-num"};
    const fs::path dir_ = tmp_.Path();
};

TEST_F(NumberTextTest, WertFormatieren) {
    struct Case {
        const char* value;
        int16_t width, decimals;
        bool flag;
        const char* expected;
    } cases[] = {
        {"1234,5", 11, 2, false, "   1.234,50"},
        {"1234,5", 11, 2, true, "   1234,50"},
        {"", 6, 0, false, "     0"},
        {"19%", 4, 0, false, "  19"},
        {"1.234,5", 8, 5, false, "  1234.5"},
        {"1234567,5", 4, 2, false, "1.234.567,50"},
        {"2,675", 6, 2, false, "  2,68"},
    };
    for (const auto& c : cases) EXPECT_EQ(WertFormatieren(c.value, c.width, c.decimals, c.flag), c.expected) << c.value;
}

TEST_F(NumberTextTest, CVal) {
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {" 1.500,25 ", 1500.25}, {"abc", 0}, {",", 0}, {"7,5x3", 7.5},
        {"12,5 m²", 12.5}, {"€ 12", 0}, {"", 0}, {"-3", -3},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(CVal(c.text), c.expected) << c.text;
}

TEST_F(NumberTextTest, FieldReads) {
    EXPECT_EQ(honora::ZahlDatensatzLesen(Variant::Null()).ToDouble(), 0);
    EXPECT_FALSE(honora::ZahlDatensatzLesen(Variant::Null()).IsNull());
    EXPECT_EQ(honora::ZahlDatensatzLesen(Variant("")).Type(), kado::com::VarType::Integer);
    EXPECT_DOUBLE_EQ(honora::ZahlDatensatzLesen(Variant(0.19)).ToDouble(), 0.19);
    EXPECT_EQ(honora::BoolDatensatzLesen(Variant::Null()).Type(), kado::com::VarType::Integer);
    EXPECT_TRUE(honora::BoolDatensatzLesen(Variant(true)).ToBool());
}

struct Field : honora::SelectableText {
    int start = -1, length = -1;
    bool failStart = false;
    void SetSelStart(int s) override {
        if (failStart) throw kado::com::Error(380, "Invalid property value");
        start = s;
    }
    void SetSelLength(int l) override { length = l; }
};

TEST_F(NumberTextTest, TextMarkierenSelectsAllAndIgnoresFailures) {
    Field f;
    honora::TextMarkieren(f);
    EXPECT_EQ(f.start, 0);
    EXPECT_EQ(f.length, 255);
    Field g;
    g.failStart = true;
    honora::TextMarkieren(g);
    EXPECT_EQ(g.length, 255);
    EXPECT_FALSE(fs::exists(dir_ / "prog" / "Verw.log"));
}

}  // namespace

namespace {
TEST_F(NumberTextTest, OverflowInTheWidthIsLoggedAndFormattingGoesOn) {
    EXPECT_EQ(WertFormatieren("1,5", INT16_MIN, 1, false), "1,5");
    EXPECT_TRUE(fs::exists(dir_ / "prog" / "Verw.log"));
}
}  // namespace
