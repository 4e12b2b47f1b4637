// Layout of a freshly added fee table: no borders, amounts right-aligned,
// item number and text left-aligned, the category's column widths; rows
// that a page break does not cut, title and headings kept with the body.
#pragma once

#include <string_view>

#include "platform/word/word.h"
#include "plugin/dialogs/framework/category.h"

namespace honora {

// Failures are logged with the dialog's name as module and "Zeitdifferenz",
// from step 800 on: the recalculation and StartwerteSetzen log there below 800.
void TabelleFormatieren(std::string_view Dialog, const kado::word::Table& feeTable, const ColumnWidths& widths);

}  // namespace honora
