#include "platform/com/numtext.h"

#include <gtest/gtest.h>

using namespace kado::com;

TEST(NumberToText, RuntimeLocaleForm) {
    const struct { double v; const char* text; } cases[] = {
        {150, "150"}, {1012.5, "1012,5"}, {0.1 + 0.2, "0,3"}, {-3, "-3"},
        {1.0 / 3, "0,333333333333333"}, {0, "0"}, {500.5, "500,5"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberToText(c.v), c.text) << c.v;
}

TEST(FormatFixed, RoundsHalfAwayOnTheDecimalValue) {
    EXPECT_EQ(FormatFixed(2.675, 2, false), "2,68");
    EXPECT_EQ(FormatFixed(1234.5, 2, true), "1.234,50");
    EXPECT_EQ(FormatFixed(1234567.891, 2, true), "1.234.567,89");
    EXPECT_EQ(FormatFixed(-2.5, 0, false), "-3");
    EXPECT_EQ(FormatFixed(0.004, 2, false), "0,00");
    EXPECT_EQ(FormatFixed(999.995, 2, true), "1.000,00");
}

TEST(Readings, PlainAndGermanDiffer) {
    EXPECT_DOUBLE_EQ(PlainRead("150,00"), 150);
    EXPECT_DOUBLE_EQ(PlainRead("    "), 0);
    EXPECT_DOUBLE_EQ(PlainRead(" 12  "), 12);
    EXPECT_DOUBLE_EQ(PlainRead("250 €/m²"), 250);
    EXPECT_DOUBLE_EQ(PlainRead("1.5"), 1.5);
    EXPECT_EQ(ParseGermanNumber(" 1.234,5 "), 1234.5);
    EXPECT_EQ(ParseGermanNumber("12,5"), 12.5);
    EXPECT_FALSE(ParseGermanNumber("abc"));
    EXPECT_FALSE(ParseGermanNumber(","));
    EXPECT_FALSE(ParseGermanNumber("7,5x3"));
    EXPECT_FALSE(ParseGermanNumber(""));
}

TEST(RoundHalfEven, IntegerConversions) {
    EXPECT_EQ(RoundHalfEven(12.5), 12);
    EXPECT_EQ(RoundHalfEven(13.5), 14);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(7.5), 8);
}
