// The check a category passes when it registers: every control its rows,
// features and triggers name is in its design, its fee rule gives every amount
// the rows write, and its table has one fee.
#pragma once

#include <string>
#include <vector>

#include "plugin/dialogs/framework/category.h"

namespace honora {

// What is wrong with the category, one text each; empty when it is sound.
std::vector<std::string> Defects(const Category& category);

}  // namespace honora
