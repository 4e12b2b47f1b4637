// Where a page break may fall in a written fee table: nowhere in a table that
// fits on a page; in a longer one only between its blocks, never before the
// fee's own lines; title and headings repeat on every page the table goes on to.
#pragma once

#include "platform/word/word.h"
#include "plugin/dialogs/framework/category.h"

namespace honora {

// Sets the rows' keep-with-next and the heading rows after the cells are written.
void SetPageBreaks(const kado::word::Table& table, const FeeTable& content);

}  // namespace honora
