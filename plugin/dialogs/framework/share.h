// The client's share in thousandths (mskBezug): when it is the whole job,
// and the text and amount of the share row a fee table gets otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"
#include "platform/word/word.h"

namespace honora {

// True when the plain reading of the share text is 1000 ("1000,00", "1000,50").
bool ShareIsWholeJob(std::string_view share);

// Column 3 of the share row: the German reading in the locale's shortest text (500, 333,5).
std::string ShareText(std::string_view share);

// Column 5 without " €": fee as its text shows it × factor × share / 1000,
// formatted at width 8 with 2 decimals and no thousands separators.
std::string ShareAmount(double shownFee, double factor, std::string_view share);

// Read-back of the share row: when cell (row, 2) begins with "Anteil", mskBezug
// gets cell (row, 3) at width 7 with 2 decimals; otherwise it keeps its text.
// A text the field refuses throws, for the caller's step to log.
void ReadShareRow(kado::forms::Form& form, const kado::word::Table& feeTable, int16_t row);

}  // namespace honora
