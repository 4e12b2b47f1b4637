#include "platform/qt/amount_font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QStringList>
#include <cmath>

namespace kado::qtview {
namespace {

QFont Sized(QFont f, const QFont& like) {
    if (like.pointSizeF() > 0) f.setPointSizeF(like.pointSizeF());
    else if (like.pixelSize() > 0) f.setPixelSize(like.pixelSize());
    f.setWeight(like.weight());
    return f;
}

}  // namespace

QString AmountCharacters() { return QStringLiteral("0123456789, -€"); }

bool EvenAmountAdvances(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString chars = AmountCharacters();
    const qreal first = metrics.horizontalAdvance(chars[0]);
    if (first <= 0) return false;
    for (QChar ch : chars) {
        if (std::abs(metrics.horizontalAdvance(ch) - first) > 0.01) return false;
    }
    return true;
}

QFont AmountFont(const QFont& like) {
    // The system's fixed font first; fontconfig's "monospace" may name a font
    // without the fixed-pitch flag whose figures still line up, or one that
    // lacks the euro sign. DejaVu Sans Mono (fonts-dejavu-core) is the fallback
    // setup installs.
    std::vector<QFont> candidates{QFontDatabase::systemFont(QFontDatabase::FixedFont)};
    for (const char* family : {"DejaVu Sans Mono", "Liberation Mono", "monospace"}) {
        QFont f{QString::fromLatin1(family)};
        f.setStyleHint(QFont::TypeWriter);
        candidates.push_back(f);
    }
    for (const QFont& f : candidates) {
        const QFont sized = Sized(f, like);
        if (EvenAmountAdvances(sized)) return sized;
    }
    return Sized(candidates.front(), like);
}

}  // namespace kado::qtview
