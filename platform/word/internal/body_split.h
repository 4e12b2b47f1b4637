// Where the body of a document part lies, found by a scan of the markup before
// it and a search for its end tag: the body is then parsed a stretch at a time
// instead of as one tree many times the size of the part.
#pragma once

#ifndef KADO_WORD_INTERNAL
#error "private header of the document engine; outside it include platform/word/word.h"
#endif

#include <cstddef>
#include <optional>
#include <string>

namespace kado::word::detail {

struct BodySplit {
    size_t open = 0;                 // just after the body's start tag
    size_t close = 0;                // the '<' of its end tag
};

// The first element named "body" (any prefix) directly in the root. Empty for
// what the scan does not follow: another encoding than UTF-8, a document type
// declaration, an empty body element, markup left open before the body, a
// comment, CDATA or instruction after it. Such parts are parsed whole, which
// also gives their errors.
std::optional<BodySplit> SplitBody(const std::string& xml);

}  // namespace kado::word::detail
