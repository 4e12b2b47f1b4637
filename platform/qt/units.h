// Conversions between the forms model's units and Qt's: twips and pixels,
// code-point positions and UTF-16 positions.
#pragma once

#include <QString>

namespace kado::qtview {

inline constexpr double TwipsPerInch = 1440.0;

// Window positions are kept in twips (15 per pixel at 96 dpi).
int TwipsToPixels(double twips, double dpi);
double PixelsToTwips(int pixels, double dpi);

// The model counts characters as code points, QString counts UTF-16 units.
int Utf16Index(const QString& text, int codePoints);
int CodePointIndex(const QString& text, int utf16Index);

}  // namespace kado::qtview
