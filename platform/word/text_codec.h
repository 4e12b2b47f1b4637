// UTF-8 conversion at the engine's boundary, where positions count code points.
#pragma once

#include <string>
#include <string_view>

namespace kado::word::detail {

std::u32string DecodeUtf8(std::string_view s);  // invalid bytes become U+FFFD
void AppendUtf8(std::string& out, char32_t c);

}  // namespace kado::word::detail
