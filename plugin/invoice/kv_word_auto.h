// The marker-comment routines: find the fee table a category dialog rewrites,
// and mark a written fee table as its category's fee block.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/word/word.h"

namespace honora {

// The fee block of the marker to rewrite, the unmarked table at the cursor, or
// an empty handle for a new block. "A,B" accepts either marker text. Asks the
// user through G_frmTabelle when there is a choice; unusedMode is unused (callers pass 0).
kado::word::Table TabelleErmitteln(std::string_view markerText, int16_t unusedMode);

// Puts a comment with the marker text on cell (1, 5) of the table and leaves
// that cell selected.
void BookmarkSetzen(const kado::word::Table& feeTable, std::string_view markerText);

}  // namespace honora
