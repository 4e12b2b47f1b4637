// Where a dialog's new fee table goes: in place of its earlier table, at the
// template's "kadoStart" marks, or in a new paragraph at the document's end.
#pragma once

#include <string_view>

#include "platform/word/word.h"

namespace honora {

// Deletes the earlier table when there is one and returns the collapsed
// position for the new table; an empty range when no position could be had.
// An earlier table that is empty or no longer exists counts as none. Failures
// are logged with the dialog's name as module.
kado::word::Range WordTabelleFestlegen(std::string_view Dialog, const kado::word::Table& feeTable);

}  // namespace honora
