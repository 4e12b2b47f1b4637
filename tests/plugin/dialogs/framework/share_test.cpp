// The share rule: when mskBezug means the whole job, and the text and amount
// of the share row otherwise.
#include <gtest/gtest.h>

#include <string>

#include "platform/com/error.h"
#include "plugin/dialogs/framework/fee_record.h"
#include "plugin/dialogs/framework/share.h"

namespace {

TEST(Share, WholeJobIsThePlainReadingOf1000) {
    const struct {
        const char* share;
        bool whole;
    } cases[] = {
        {"1000,00", true}, {"1000,50", true}, {"1000", true},   {"999,99", false},
        {" 500,00", false}, {"    ,  ", false}, {"10000,0", false}, {"1.000,00", false},
    };
    for (const auto& c : cases) EXPECT_EQ(honora::ShareIsWholeJob(c.share), c.whole) << c.share;
}

TEST(Share, RowTextAndAmount) {
    const struct {
        const char* share;
        double fee;  // as the fee's text shows it
        double factor;
        const char* text;
        const char* amount;
    } cases[] = {
        {" 250,00", 2265, 1, "250", "  566,25"},
        // From 1000 on the thousands point takes the place of a pad blank before it is removed.
        {" 999,99", 2265, 1, "999,99", "2264,98"},  // 2264,977... rounds up
        {" 500,00", 1050, 1, "500", "  525,00"},
        {" 333,50", 150, 1, "333,5", "   50,03"},  // 50,025 rounds half away from zero
        {" 500,00", 4752, 0.8, "500", "1900,80"},  // a reduction of 20 %
        {" 500,00", 250000, 1, "500", "125000,00"},  // wider than 8 is not cut
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.share);
        EXPECT_EQ(honora::ShareText(c.share), c.text);
        EXPECT_EQ(honora::ShareAmount(c.fee, c.factor, c.share), c.amount);
    }
}

// The share applies to the fee as the dialog shows it: 0,125 shows 0,13, and
// half of that rounds to 0,07 where half of 0,125 would give 0,06.
TEST(Share, AppliesToTheRoundedFeeOfTheRecord) {
    honora::FeeRecord fees;
    fees.Add("lblSumme", 0.125);
    fees.AddText("reduction", -1, "   -1,00", false);
    EXPECT_EQ(fees.Text("lblSumme"), "  0,13");
    EXPECT_EQ(honora::ShareAmount(fees.Shown("lblSumme"), 1, " 500,00"), "    0,07");
    EXPECT_FALSE(fees.Get("reduction").shown);
    EXPECT_THROW(fees.Get("lblFehlt"), kado::com::Error) << "a cell naming an amount the rule lacks fails its step";
}

}  // namespace
