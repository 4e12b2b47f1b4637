#include "platform/com/numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

namespace kado::com {
namespace {

TEST(NumberToText, RuntimeLocaleText) {
    const struct { double v; const char* text; } cases[] = {
        {1012.5, "1012,5"}, {0.1, "0,1"}, {150, "150"}, {-3, "-3"}, {1e20, "1E+20"},
        {0.1 + 0.2, "0,3"}, {1.0 / 3.0, "0,333333333333333"}, {-0.0, "0"}, {1234567.25, "1234567,25"},
        {0.00001, "1E-05"}, {0.0001, "0,0001"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberToText(c.v), c.text) << c.v;
}

TEST(ParseGermanNumber, WholeTextOnly) {
    const struct { const char* text; double v; } ok[] = {
        {"1.234,5", 1234.5}, {"-3", -3}, {"12,5", 12.5}, {" 7 ", 7}, {"2,25", 2.25}, {"1E+20", 1e20},
    };
    for (const auto& c : ok) {
        auto v = ParseGermanNumber(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_DOUBLE_EQ(*v, c.v) << c.text;
    }
    for (const char* bad : {"abc", "", ",", "7,5x3", "-", "150,00 €", "1,2,3"})
        EXPECT_FALSE(ParseGermanNumber(bad).has_value()) << bad;
}

TEST(PlainRead, StopsAtFirstForeignCharacter) {
    const struct { const char* text; double v; } cases[] = {
        {"150,00", 150}, {"    ", 0}, {"12  ", 12}, {"250 €/m²", 250}, {"  -1.5x", -1.5}, {"", 0}, {"abc", 0},
        {"1.234,5", 1.234},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(PlainRead(c.text), c.v) << c.text;
}

TEST(FormatFixed, RoundsTheDecimalValueHalfAwayFromZero) {
    const struct { double v; int dec; bool th; const char* text; } cases[] = {
        {2.675, 2, false, "2,68"}, {-2.675, 2, false, "-2,68"}, {1234.5, 2, true, "1.234,50"},
        {1234.5, 2, false, "1234,50"}, {150, 2, false, "150,00"}, {0.5, 0, false, "1"},
        {999.995, 2, true, "1.000,00"}, {1234567.891, 1, true, "1.234.567,9"}, {-0.001, 2, false, "0,00"},
        {1.005, 2, false, "1,01"}, {0, 2, false, "0,00"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFixed(c.v, c.dec, c.th), c.text) << c.v;
}

TEST(DotText, WritesWhatPrintfsGWritesInTheCLocale) {
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {1.5, -0.25, 0.1 + 0.2, 150, 1e15, 1e16, 123456789012345678.0, 1e-5, 2.5e-7,
                             1234567.125, -0.0, 5e-324, 1.7976931348623157e308, 100.49999999999999, 1.0 / 3.0,
                             999999.5, 0.0001, inf, -inf};
    for (int precision : {15, 6}) {
        for (double v : values) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.*g", precision, v);
            EXPECT_EQ(DotText(v, precision), buf) << precision;
        }
    }
    EXPECT_EQ(DotText(1e20), "1e+20");
    EXPECT_EQ(DotText(0.1 + 0.2), "0.3");
    EXPECT_EQ(DotText(70.5, 6), "70.5");
}

TEST(ReadDotNumber, TheWholeTextOrItsStart) {
    const struct { const char* text; bool prefixOnly; std::optional<double> v; } cases[] = {
        {"1.5", false, 1.5}, {"-2.", false, -2}, {".5", false, 0.5}, {"1e+20", false, 1e20},
        {"1.5x", false, std::nullopt}, {"1.5x", true, 1.5}, {"1,5", true, 1}, {"1,5", false, std::nullopt},
        {"+1", true, std::nullopt}, {" 1", true, std::nullopt}, {"", false, std::nullopt}, {"-", true, std::nullopt},
        {"1e400", true, std::nullopt}, {"12pt", true, 12},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadDotNumber(c.text, c.prefixOnly), c.v) << c.text << " " << c.prefixOnly;
    EXPECT_TRUE(std::isnan(ReadDotNumber(DotText(std::nan(""))).value_or(0)));
}

TEST(RoundHalfEven, TiesGoToEven) {
    const struct { double v, r; } cases[] = {
        {12.5, 12}, {13.5, 14}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {2.4999, 2}, {2.5001, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.v), c.r) << c.v;
}

}  // namespace
}  // namespace kado::com
