#include "platform/qt/units.h"

#include <cmath>

namespace kado::qtview {

int TwipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / TwipsPerInch));
}

double PixelsToTwips(int pixels, double dpi) {
    return pixels * TwipsPerInch / dpi;
}

int Utf16Index(const QString& text, int codePoints) {
    int i = 0;
    for (int n = 0; n < codePoints && i < text.size(); ++n) {
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
    }
    return i;
}

int CodePointIndex(const QString& text, int utf16Index) {
    int n = 0;
    for (int i = 0; i < utf16Index && i < text.size(); ++n) {
        i += (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
    }
    return n;
}

}  // namespace kado::qtview
