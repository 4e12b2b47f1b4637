#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <functional>

namespace kado::com {
namespace {

int ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.Number();
    }
    return 0;
}

TEST(Variant, IntegerConversionsRoundHalfEvenAndCheckRange) {
    EXPECT_EQ(Variant(12.5).ToInteger(), 12);
    EXPECT_EQ(Variant(13.5).ToInteger(), 14);
    EXPECT_EQ(Variant(-2.5).ToLong(), -2);
    EXPECT_EQ(Variant("12,5").ToInteger(), 12);
    EXPECT_EQ(Variant(true).ToInteger(), -1);
    EXPECT_EQ(Variant().ToLong(), 0);
    EXPECT_EQ(ErrorOf([] { Variant(70000).ToInteger(); }), 6);
    EXPECT_EQ(ErrorOf([] { Variant(3e9).ToLong(); }), 6);
    EXPECT_EQ(ErrorOf([] { Variant::Null().ToInteger(); }), 94);
    EXPECT_EQ(ErrorOf([] { Variant("abc").ToLong(); }), 13);
    EXPECT_EQ(ErrorOf([] { Variant("").ToDouble(); }), 13);
}

TEST(Variant, TextReadsGerman) {
    EXPECT_DOUBLE_EQ(Variant("1.234,5").ToDouble(), 1234.5);
    EXPECT_DOUBLE_EQ(Variant(" 2,25 ").ToDouble(), 2.25);
}

TEST(Variant, ToBool) {
    for (const char* t : {"True", "wahr", "WAHR", "-1", "2,5"}) EXPECT_TRUE(Variant(t).ToBool()) << t;
    for (const char* t : {"False", "falsch", "0"}) EXPECT_FALSE(Variant(t).ToBool()) << t;
    EXPECT_EQ(ErrorOf([] { Variant("ja").ToBool(); }), 13);
    EXPECT_EQ(ErrorOf([] { Variant::Null().ToBool(); }), 94);
}

TEST(Variant, ToString) {
    EXPECT_EQ(Variant(1012.5).ToString(), "1012,5");
    EXPECT_EQ(Variant(int16_t{-3}).ToString(), "-3");
    EXPECT_EQ(Variant(0.1f).ToString(), "0,1");
    EXPECT_EQ(Variant(true).ToString(), "Wahr");
    EXPECT_EQ(Variant(false).ToString(), "Falsch");
    EXPECT_EQ(Variant().ToString(), "");
    EXPECT_EQ(Variant(Date::FromYmd(2024, 3, 5)).ToString(), "05.03.2024");
    EXPECT_EQ(Variant(Date{Date::FromYmd(2024, 3, 5).serial + 0.5}).ToString(), "05.03.2024 12:00:00");
    EXPECT_EQ(ErrorOf([] { (void)Variant::Null().ToString(); }), 94);
}

TEST(Date, SerialDays) {
    EXPECT_EQ(Date::FromYmd(1899, 12, 30).serial, 0);
    EXPECT_EQ(Date::FromYmd(1900, 1, 1).serial, 2);
    EXPECT_EQ(Date::FromYmd(2000, 1, 1).serial, 36526);
    EXPECT_EQ(Date::FromYmd(1899, 12, 29).serial, -1);
    int y = 0, m = 0, d = 0;
    Date{45000.75}.ToYmd(y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20230315);
    EXPECT_TRUE(Date{45000.75}.HasTime());
    EXPECT_FALSE(Date::Today().HasTime());
    EXPECT_EQ(ErrorOf([] { Date::FromYmd(2023, 2, 29); }), 5);
}

TEST(Variant, ToDate) {
    const double d = Date::FromYmd(2024, 3, 5).serial;
    EXPECT_EQ(Variant("05.03.2024").ToDate().serial, d);
    EXPECT_EQ(Variant("5.3.2024").ToDate().serial, d);
    EXPECT_EQ(Variant("2024-03-05").ToDate().serial, d);
    EXPECT_EQ(Variant("2024-03-05 12:00:00").ToDate().serial, d + 0.5);
    EXPECT_EQ(Variant(45000.0).ToDate().serial, 45000.0);
    for (const char* bad : {"31.02.2024", "abc", "2024-13-01", "05.03.2024 x"})
        EXPECT_EQ(ErrorOf([&] { Variant(bad).ToDate(); }), 13) << bad;
}

TEST(Variant, EqualsText) {
    EXPECT_TRUE(Variant("no").EqualsText("no"));
    EXPECT_FALSE(Variant("No").EqualsText("no"));
    EXPECT_TRUE(Variant().EqualsText(""));
    EXPECT_FALSE(Variant().EqualsText("0"));
    EXPECT_TRUE(Variant(1000.0).EqualsText("1000"));
    EXPECT_TRUE(Variant(int16_t{19}).EqualsText("19"));
    EXPECT_FALSE(Variant(19).EqualsText("no"));
    EXPECT_FALSE(Variant::Null().EqualsText(""));
}

struct Thing : Object {
    std::string TypeName() const override { return "Thing"; }
};

TEST(Variant, Objects) {
    auto t = std::make_shared<Thing>();
    EXPECT_EQ(Variant(ObjectPtr(t)).As<Thing>(), t);
    EXPECT_EQ(ErrorOf([] { Variant(ObjectPtr()).ToObject(); }), 91);
    EXPECT_EQ(ErrorOf([] { Variant(1.0).ToObject(); }), 13);
}

}  // namespace
}  // namespace kado::com
