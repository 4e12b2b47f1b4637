// The totals mark of a fee cell as the document stores it, and read back.
#include <gtest/gtest.h>

#include "plugin/invoice/markers.h"

namespace {

using honora::FeeMark;

TEST(FeeMark, TheCommentTextComesBackAsTheMarkItWasWrittenFrom) {
    const struct {
        FeeMark mark;
        const char* comment;
    } cases[] = {
        {{}, ""},
        {FeeMark::Excluded(), "no"},
        {{FeeMark::Kind::Rate, 7}, "7"},
        {{FeeMark::Kind::Rate, 10.5}, "10,5"},
        {{FeeMark::Kind::Rate, 0}, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comment);
        EXPECT_EQ(honora::EncodeFeeMark(c.mark), c.comment);
        EXPECT_EQ(honora::DecodeFeeMark(c.comment), c.mark);
    }
    // A comment that is no number reads as rate 0: the amount counts, without VAT.
    EXPECT_EQ(honora::DecodeFeeMark("ohne"), (FeeMark{FeeMark::Kind::Rate, 0}));
    EXPECT_EQ(honora::marke::CategoryMarker(5), "Honora_5");
}

}  // namespace
