#include "plugin/dialogs/framework/page_keeps.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "plugin/common/need.h"
#include "plugin/component/session_context.h"

namespace honora {

namespace word = kado::word;

namespace {

// Arial's mean advance in running German text and the line pitch, per point of
// font size; cells lose about 0.2 cm to their margins on either side.
constexpr double kCharWidth = 0.5;
constexpr double kLinePitch = 1.17;
constexpr double kCellMargins = 11.4;
// Room of a page's text: the page less what margins, header and footer take at least.
constexpr double kPageFrame = 160;

long CodePoints(std::string_view s) {
    return static_cast<long>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Lines a cell's text takes at its width: each paragraph or line break starts a line.
int CellLines(std::string text, double width, float fontSize) {
    if (text.ends_with(word::kCellEndMark)) text.resize(text.size() - 2);
    const double perLine = std::max(1.0, (width - kCellMargins) / (kCharWidth * fontSize));
    int lines = 0;
    size_t from = 0;
    for (;;) {
        const size_t to = text.find_first_of("\r\n\v", from);
        const long n = CodePoints(std::string_view(text).substr(from, to == std::string::npos ? std::string::npos : to - from));
        lines += std::max(1, static_cast<int>(std::ceil(static_cast<double>(n) / perLine)));
        if (to == std::string::npos) break;
        // An empty paragraph after the mark (the title's) is a line in print too.
        from = to + 1;
    }
    return lines;
}

// Rows a to b (from 1) keep with the row after them.
void Binden(const word::Table& t, int a, int b) {
    if (a > b) return;
    word::Range r = t.GetRows().Item(a).GetRange();
    r.SetEnd(t.GetRows().Item(b).GetRange().End());
    r.GetParagraphFormat().SetKeepWithNext(true);
}

// The table's height as the word processor will lay it out, estimated from
// its texts, cell widths and the font size, in points.
double GeschätzteHöhe(const word::Table& table, float fontSize) {
    double height = 0;
    const int rows = table.GetRows().Count(), columns = table.GetColumns().Count();
    for (int r = 1; r <= rows; ++r) {
        int lines = 1;
        for (int c = 1; c <= columns; ++c) {
            const word::Cell cell = table.GetCell(r, c);
            lines = std::max(lines, CellLines(cell.GetRange().Text(), cell.Width(), fontSize));
        }
        height += lines * kLinePitch * fontSize;
    }
    return height;
}

}  // namespace

void SeitenumbrücheFestlegen(const word::Table& table, const FeeTable& content) {
    const int rows = table.GetRows().Count();
    if (rows < 2) return;
    // Title and headings: a page the table goes on to starts with them.
    for (int r = 1; r <= 2; ++r) table.GetRows().Item(r).SetHeadingFormat(true);

    const auto& doc = Need(Session().Doc);
    const double page = doc.GetPageSetup().PageHeight() - kPageFrame;
    if (GeschätzteHöhe(table, doc.GetDefaultFont().Size()) <= page) {
        Binden(table, 1, rows - 1);
        return;
    }
    Binden(table, 1, 2);
    for (const auto& [first, last] : content.blocks) Binden(table, first, std::min<int>(last, rows) - 1);
    // The fee's line stays with the block before it and with the share rows below it.
    int feeRow = 0;
    for (const auto& cell : content.cells)
        if (cell.payable) feeRow = cell.row;
    if (feeRow == 0) return;
    int tail = feeRow;
    for (size_t i = 0; i < content.blocks.size(); ++i)
        if (content.blocks[i].first <= feeRow && feeRow <= content.blocks[i].second)
            tail = content.blocks[i > 0 ? i - 1 : i].first;
    Binden(table, tail, rows - 1);
}

}  // namespace honora
