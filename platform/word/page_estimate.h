// How a word processor will lay the main text out on pages, estimated from
// the texts, cell widths, font size and keep rules alone, without fonts.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/word/word.h"

namespace kado::word {

// Room of a page's text: the page less what margins, header and footer take at least.
constexpr double kPageFrame = 127.55;
// Where the text area starts below the page's top edge, in points.
constexpr double kTextTop = 70.85;

// Lines a text takes at `width` points: each paragraph or line break starts a line.
int EstimatedLines(std::string_view text, double width, float fontSize);
// One line's height at the font size, in points.
double EstimatedLineHeight(float fontSize);
// A table row's height: its tallest cell.
double EstimatedRowHeight(const Table& table, int row, float fontSize);
// The table's height, in points.
double EstimatedHeight(const Table& table, float fontSize);
// Height of a page's text area, in points.
double EstimatedTextHeight(const Document& doc);

struct EstimatedPages {
    // Where in the main text pages 2, 3, ... begin.
    std::vector<long> breaks;
    // A text box placed by the page: on which page (from 1) and how far below
    // its top edge; the text before `before` (a main-text position, or past its
    // end) is above it, `gap` points of the page free between that text and the box.
    struct Box {
        int64_t shape;
        int page;
        double top;
        long before;
        double gap;
    };
    std::vector<Box> boxes;

    int Count() const { return static_cast<int>(breaks.size()) + 1; }
};

// The pages of the document's main text. A paragraph or table row that keeps
// with the next goes on to the next page with it; a table's heading rows start
// each page it goes on to; lines beside a box that keeps them free move below it.
EstimatedPages EstimatePages(const Document& doc);

}  // namespace kado::word
