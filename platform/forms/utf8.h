// UTF-8 helpers of the forms model: text controls count positions in code
// points while their texts stay UTF-8 strings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/com/utf8.h"

namespace kado::forms::utf8 {

// Strict decoding; nullopt for malformed or overlong sequences and surrogates.
inline std::optional<std::u32string> Decode(std::string_view text) { return com::DecodeUtf8Strict(text); }
inline std::string Encode(std::u32string_view text) { return com::EncodeUtf8(text); }
inline std::string Encode(char32_t ch) {
    std::string out;
    com::AppendUtf8(out, ch);
    return out;
}
// Code points of a text known to be valid.
inline int Length(std::string_view text) { return com::CodePoints(text); }

}  // namespace kado::forms::utf8
