// Case-insensitive comparison of field names, as the host's engine
// compares them: ASCII and the German letters with umlauts fold alike.
#pragma once

#include <string>
#include <string_view>

namespace kado::dao {

std::string FoldAscii(std::string_view s);  // upper-cases ASCII letters only
bool NamesEqual(std::string_view a, std::string_view b);

}  // namespace kado::dao
