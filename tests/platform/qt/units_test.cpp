// Unit conversions and picture conversion of the Qt view.
#include <gtest/gtest.h>

#include "platform/qt/picture_image.h"
#include "platform/qt/units.h"

namespace kado::qtview {
namespace {

TEST(UnitsTest, TwipsAndPixels) {
    struct Case {
        double twips;
        double dpi;
        int pixels;
    };
    for (const Case& c : {Case{1500, 96, 100}, Case{15, 96, 1}, Case{7, 96, 0}, Case{8, 96, 1}, Case{0, 96, 0},
                          Case{1440, 120, 120}, Case{-150, 96, -10}, Case{2880, 144, 288}}) {
        SCOPED_TRACE(c.twips);
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels);
    }
    EXPECT_DOUBLE_EQ(PixelsToTwips(100, 96), 1500);
    EXPECT_DOUBLE_EQ(PixelsToTwips(1, 120), 12);
}

TEST(UnitsTest, CodePointsAndUtf16) {
    // "ä" is one unit, the emoji two.
    const QString text = QString::fromUtf8("a\xC3\xA4\xF0\x9F\x98\x80" "b");
    struct Case {
        int codePoints;
        int utf16;
    };
    for (const Case& c : {Case{0, 0}, Case{2, 2}, Case{3, 4}, Case{4, 5}, Case{9, 5}}) {
        SCOPED_TRACE(c.codePoints);
        EXPECT_EQ(Utf16Index(text, c.codePoints), c.utf16);
    }
    EXPECT_EQ(CodePointIndex(text, 4), 3);
    EXPECT_EQ(CodePointIndex(text, 5), 4);
    EXPECT_EQ(CodePointIndex(text, 50), 4);
}

TEST(PictureImageTest, PixelsArriveAsArgb) {
    const forms::Picture p{2, 1, {0xFF112233u, 0x80FF0000u}};
    const QImage image = ToImage(p);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0x80);
    EXPECT_FALSE(ToIcon(p).isNull());
}

TEST(PictureImageTest, EmptyOrShortPicturesGiveNoImage) {
    for (const forms::Picture& p : {forms::Picture{}, forms::Picture{4, 4, {}}, forms::Picture{4, 4, {1, 2, 3}},
                                    forms::Picture{0, 3, {1, 2, 3}}}) {
        EXPECT_TRUE(ToImage(p).isNull());
        EXPECT_TRUE(ToIcon(p).isNull());
    }
}

}  // namespace
}  // namespace kado::qtview
