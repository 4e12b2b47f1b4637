// UTF-8 at the interfaces: texts stay UTF-8 strings while positions count
// code points. One codec for the document engine, the forms and the host.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kado::com {

// Lenient: malformed or overlong sequences and surrogates become U+FFFD.
std::u32string DecodeUtf8(std::string_view s);
// Strict: nothing for malformed or overlong sequences and surrogates.
std::optional<std::u32string> DecodeUtf8Strict(std::string_view s);
void AppendUtf8(std::string& out, char32_t c);
std::string EncodeUtf8(std::u32string_view s);
// Code points of a text known to be valid.
int CodePoints(std::string_view s);

}  // namespace kado::com
