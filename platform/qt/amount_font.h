// The font in which amounts stand in columns: one whose digits, comma, blank,
// minus and euro sign all advance by the same width, whatever its flags say.
#pragma once

#include <QFont>
#include <QString>

namespace kado::qtview {

// The characters an amount text is made of.
QString AmountCharacters();
// Whether every character of an amount advances by the same width in `font`.
bool EvenAmountAdvances(const QFont& font);
// A font of `like`'s size and weight with even amount advances; the system's
// fixed font when no candidate has them.
QFont AmountFont(const QFont& like);

}  // namespace kado::qtview
