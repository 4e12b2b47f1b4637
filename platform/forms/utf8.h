// UTF-8 helpers of the forms model: text controls count positions in code
// points while their texts stay UTF-8 strings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kado::forms::utf8 {

// Strict decoding; nullopt for malformed or overlong sequences and surrogates.
std::optional<std::u32string> Decode(std::string_view text);
std::string Encode(std::u32string_view text);
std::string Encode(char32_t ch);
// Code points of a text known to be valid.
int Length(std::string_view text);

}  // namespace kado::forms::utf8
