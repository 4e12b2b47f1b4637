// The document side of every dialog's confirmation: the old totals go, the
// fee table is placed, laid out, written, marked, and the totals rebuilt.
#pragma once

#include "platform/word/word.h"
#include "plugin/dialogs/framework/category.h"

namespace honora {

// Writes the category's fee table in place of its earlier table (or at the
// template's place) and rebuilds the invoice totals. Failures are logged with
// the dialog's name and "CommandEnde_Click", steps 120 to 280 of the frame's
// numbering; returns the table when one was added, an empty handle otherwise.
kado::word::Table WriteFeeTable(const Category& category, const FeeTable& content,
                                           const kado::word::Table& earlier);

}  // namespace honora
