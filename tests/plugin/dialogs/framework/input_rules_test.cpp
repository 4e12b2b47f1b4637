// The shared input rules on their own: land-value and classification factors.
#include <gtest/gtest.h>

#include "plugin/dialogs/framework/input_rules.h"

namespace {

TEST(InputRules, LandValueFactorAtItsThresholds) {
    const struct {
        const char* value;
        const char* factor;
    } cases[] = {
        {"1001", "3,75"}, {"1000", "3,0"}, {" 301", "3,0"}, {" 300", "2,25"}, {" 101", "2,25"},
        {" 100", "1,5"},  {"  11", "1,5"}, {"  10", "1,0"}, {"    ", "1,0"}, {"", "1,0"},
        {"abc", "1,0"},   // unreadable counts as 0
        {"10.5", "1,0"},  // halves go to the even neighbour: 10
        {"11.5", "1,5"},  // 12
        {"100.5", "1,5"}, // 100
        {"300.5", "2,25"},
    };
    for (const auto& c : cases) EXPECT_EQ(honora::ValueFactorText(c.value), c.factor) << '"' << c.value << '"';
}

TEST(InputRules, ClassificationFactorByEntry) {
    EXPECT_EQ(honora::ClassificationFactorOf(0), "1,5");
    EXPECT_EQ(honora::ClassificationFactorOf(1), "1,2");
    EXPECT_EQ(honora::ClassificationFactorOf(2), "1,0");
    EXPECT_EQ(honora::ClassificationFactorOf(-1), "1,0");
}

TEST(InputRules, AmountLabelText) {
    const struct {
        double value;
        int16_t width, decimals;
        const char* text;
    } cases[] = {
        {150, 6, 2, "150,00"}, {40, 6, 2, " 40,00"}, {1012.5, 6, 2, "1012,50"},
        {0, 6, 2, "  0,00"},   {2.675, 6, 2, "  2,68"}, {-950.4, 8, 2, " -950,40"},
    };
    for (const auto& c : cases) EXPECT_EQ(honora::AmountText(c.value, c.width, c.decimals), c.text) << c.value;
}

}  // namespace
