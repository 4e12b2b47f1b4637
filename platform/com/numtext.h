// Number text of the German locale shared by the Variant and the plug-in, and
// the dot-decimal text of queries and files. The readings differ; never mix them up.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kado::com {

// Locale conversion of a number to text like the automation runtime's:
// up to 15 significant digits, decimal comma, no thousands separators,
// no trailing zeros ("1234,5", "0,1", "-3", "1E+20" style for huge values).
std::string NumberToText(double value);

// The same for a Single: up to 7 significant digits.
std::string NumberToTextSingle(float value);

// Strict German reading of a whole text as a number: optional blanks around,
// optional sign, "." thousands groups, "," decimals ("1.234,5", "-3", "12,5").
// Returns nothing when the text is not entirely a number.
std::optional<double> ParseGermanNumber(std::string_view text);

// The plain reading: skips leading blanks (and tabs), reads an optional sign,
// digits and "." as the only decimal separator, and stops at the first
// character that cannot continue the number. "150,00" reads 150, blanks read 0.
double PlainRead(std::string_view text);

// Fixed-decimal formatting with the locale's separators: rounds half away
// from zero on the decimal value (2.675 -> "2,68"); thousands groups with "."
// when requested ("#,##0.00" style).
std::string FormatFixed(double value, int decimals, bool thousands);

// Dot-decimal text for queries and files, as printf's "%.*g" writes it in the
// C locale: `precision` (1 to 17) significant digits, no trailing zeros,
// exponent form for large and small values ("1.5", "-3", "1e+20", "2.5e-07").
std::string DotText(double value, int precision = 15);

// std::from_chars' reading of a dot-decimal number ("-" the only sign, no
// blanks): of the whole text, or with prefixOnly of its start. Nothing when
// there is no number there or it is out of range.
std::optional<double> ReadDotNumber(std::string_view text, bool prefixOnly = false);

// Round half to even, as the runtime's integer conversions do.
double RoundHalfEven(double value);

}  // namespace kado::com
