// A short print of what a stretch of the main text shows, so that a view of
// the document can tell which parts of it changed without reading them again
// through the object model.
#pragma once

#include <cstdint>

#include "platform/word/word.h"

namespace kado::word {

struct ContentPrint {
    uint64_t hash = 0;
    int commentRefs = 0;  // comment reference marks in the stretch
    friend bool operator==(const ContentPrint&, const ContentPrint&) = default;
};

// Equal prints: the same characters with the same run and paragraph formats,
// cell widths and lines and row properties. The stretch is clamped to the main text.
ContentPrint PrintOf(const Document& doc, long from, long to);

// A 128-bit digest of the text the document shows: its main text with the
// paragraph, cell and comment marks, then each comment's text in order; and
// its numbers of tables and text boxes, as Tables and Shapes count them.
// Formats do not count. One pass, cheaper than the text itself on a long document.
struct TextDigest {
    uint64_t a = 0, b = 0;
    int tables = 0, shapes = 0;
    friend bool operator==(const TextDigest&, const TextDigest&) = default;
};
TextDigest TextDigestOf(const Document& doc);

}  // namespace kado::word
