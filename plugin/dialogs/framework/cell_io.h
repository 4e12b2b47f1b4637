// One cell of a fee table: the read-back every dialog uses and the single
// writer of title, headings and rows (module "Rechnung").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/word/word.h"

namespace honora {

// The cell's text without the paragraph and end-of-cell marks; the empty
// text when the cell cannot be read (logged as Rechnung.ZelleEinlesen).
std::string ZelleEinlesen(const kado::word::Table& table, int16_t row, int16_t column);

// Appends the text to the cell, makes the whole cell bold when asked (never
// un-bold) and anchors a comment on the cell when one is given.
void wordTabelle(const kado::word::Table& table, int16_t row, int16_t column, std::string_view text, bool bold,
                 std::string_view comment);

}  // namespace honora
