// Number text of the fee dialogs: aligned German formatting, the tolerant
// German reading, field value reads and select-all on focus.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/variant.h"

namespace honora {

// Formats a locale number text ("1234,5") with 0 to 3 decimals, right-aligned in width.
std::string WertFormatieren(std::string value, int16_t width, int16_t decimals, bool withoutThousands);

// An amount's text: the number in the locale's text through WertFormatieren
// without thousands separators (150 at 6, 2 gives "150,00").
std::string AmountText(double value, int16_t width = 6, int16_t decimals = 2);

// Tolerant German reading: the whole text, else its leading number-like characters; 0 otherwise.
double CVal(std::string_view text);

// Null or "" reads as the integer 0, anything else unchanged.
kado::com::Variant ZahlDatensatzLesen(const kado::com::Variant& value);

// Null reads as the integer 0, anything else unchanged.
kado::com::Variant BoolDatensatzLesen(const kado::com::Variant& value);

// What an input control offers for selecting its text.
class SelectableText {
public:
    virtual ~SelectableText() = default;
    virtual void SetSelStart(int start) = 0;
    virtual void SetSelLength(int length) = 0;
};

// Selects the whole text of a field that has just got the focus; failures are ignored.
void TextMarkieren(SelectableText& control) noexcept;

}  // namespace honora
