// The check a category passes when it registers: every control its rows,
// features and triggers name is in its design, and its table has one fee.
#pragma once

#include <string>
#include <vector>

#include "plugin/dialogs/framework/category.h"

namespace honora {

// What is wrong with the category, one text each; empty when it is sound.
std::vector<std::string> Mängel(const Category& category);

}  // namespace honora
