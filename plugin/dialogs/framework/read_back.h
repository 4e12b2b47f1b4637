// The read-back of an earlier fee table, walked along the category's declared
// rows: the inputs each cell restores, the variants known by their key cells.
#pragma once

#include "platform/forms/forms.h"
#include "platform/word/word.h"
#include "plugin/dialogs/framework/fee_rows.h"

namespace honora {

// Logged as Rechnung.TabelleEinlesen; a cell the table lacks fails its step and
// the input keeps its value. The frame recomputes after it.
void TabelleEinlesen(const FeeRows& rows, kado::forms::Form& form, const kado::word::Table& feeTable);

}  // namespace honora
