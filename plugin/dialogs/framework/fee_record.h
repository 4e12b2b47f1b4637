// A fee rule's result as values: every amount a dialog shows or its table
// writes, with the text it appears as; the frame fills controls and table from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/forms.h"

namespace honora {

struct FeeAmount {
    std::string key{};   // the control that shows it ("lblSumme"), or a name only the table uses
    double value = 0;    // as computed
    std::string text{};  // as the control or the table shows it
    bool shown = true;   // false: the table's alone, no control has it
};

class FeeRecord {
public:
    // An amount label's text: AmountText at width and decimals.
    void Add(std::string key, double value, int16_t width = 6, int16_t decimals = 2);
    // An amount whose text the rule made itself.
    void AddText(std::string key, double value, std::string text, bool shown = true);

    bool Has(std::string_view key) const noexcept;
    // Fails with 5941 for a key the rule did not give.
    const FeeAmount& Get(std::string_view key) const;
    const std::string& Text(std::string_view key) const { return Get(key).text; }
    // The amount as its text shows it: shares and reductions apply to that
    // rounded figure, not to the computed value.
    double Shown(std::string_view key) const;

    const std::vector<FeeAmount>& Amounts() const noexcept { return amounts_; }

private:
    std::vector<FeeAmount> amounts_;
};

// A category's fee rule from its parts: read the inputs, compute the fees, record them.
template <auto Read, auto Compute, auto Record>
FeeRecord FeeRuleOf(kado::forms::Form& form) {
    return Record(Compute(Read(form)));
}

// The value as an amount label at width and decimals reads back (2,004 gives 2).
double AsShown(double value, int16_t width = 6, int16_t decimals = 2);

// Puts a shown amount into its control: a label's caption, a field's text.
void ShowAmount(kado::forms::Form& form, const FeeAmount& amount);

}  // namespace honora
