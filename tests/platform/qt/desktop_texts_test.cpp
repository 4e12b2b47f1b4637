// What the view relies on from the desktop: a font in which amounts line up
// whatever fontconfig's "monospace" is, and Qt's own texts in German.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QKeySequence>

#include "platform/qt/amount_font.h"
#include "platform/qt/german.h"

namespace kado::qtview {
namespace {

TEST(AmountFontTest, FiguresCommaBlankMinusAndEuroAdvanceAlikeAtEverySizeAndWeight) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    QFont pixels = QApplication::font();
    pixels.setPixelSize(13);
    QFont large = QApplication::font();
    large.setPointSizeF(14.5);
    for (const QFont& like : {QApplication::font(), bold, pixels, large}) {
        SCOPED_TRACE(like.toString().toStdString());
        const QFont f = AmountFont(like);
        EXPECT_TRUE(EvenAmountAdvances(f)) << f.family().toStdString();
        EXPECT_EQ(f.weight(), like.weight());
        if (like.pixelSize() > 0) EXPECT_EQ(f.pixelSize(), like.pixelSize());
        else EXPECT_DOUBLE_EQ(f.pointSizeF(), like.pointSizeF());
    }
    // The test itself tells a proportional font from one whose figures line up.
    EXPECT_FALSE(EvenAmountAdvances(QFont(QStringLiteral("DejaVu Sans"))));
}

TEST(GermanTextsTest, QtsOwnTextsAndKeyNamesAreGerman) {
    // The test main installed the catalogue as the program does; a second call finds it again.
    EXPECT_FALSE(InstallGermanTranslations(*QCoreApplication::instance()).isEmpty())
        << "qtbase_de.qm missing (qt6-translations-l10n)";
    EXPECT_EQ(QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText), QStringLiteral("Strg+O"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));
    EXPECT_EQ(QLocale().language(), QLocale::German);
}

}  // namespace
}  // namespace kado::qtview
