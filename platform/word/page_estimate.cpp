#include "platform/word/page_estimate.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <unordered_map>

#include "docstate.h"

namespace kado::word {

namespace {

// The line pitch per point of font size; cells lose about 0.2 cm to their
// margins on either side.
constexpr double kLinePitch = 1.17;
constexpr double kCellMargins = 11.4;

// A character's advance in Arial, in ems: narrow punctuation and letters,
// capitals and the widest letters apart from the digits' and most letters' width.
double Advance(unsigned char c) {
    switch (c) {
        case ' ': case '.': case ',': case ':': case ';': case '!': case '\'': case '|': case '/':
        case 'i': case 'j': case 'l': case 'I':
            return 0.278;
        case 'f': case 't': case 'r': case '(': case ')': case '-': case '*':
            return 0.333;
        case 'm': case 'M': return 0.833;
        case 'w': return 0.722;
        case 'W': return 0.944;
        default: break;
    }
    return c >= 'A' && c <= 'Z' ? 0.667 : 0.556;  // digits, most lower case, "€", umlauts
}

// Lines of one paragraph, broken between words as a word processor breaks them.
int WrappedLines(std::string_view text, double width) {
    int lines = 1;
    double line = 0, word = 0, space = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        const unsigned char c = end ? ' ' : static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;  // inside a character of several bytes
        if (c != ' ') {
            word += Advance(c);
            continue;
        }
        if (line > 0 && line + space + word > width) {
            ++lines;
            line = 0;
        }
        // A word longer than the line breaks inside it.
        while (word > width) {
            word -= width;
            ++lines;
        }
        line += (line > 0 ? space : 0) + word;
        space = Advance(' ');
        word = 0;
    }
    return lines;
}

// A paragraph or table row as it is put on a page.
struct Item {
    long start;
    double height;
    bool keep;         // stays on the page of the next item
    double repeat;     // the heading rows a page it starts begins with
};

// A band of a page that a box keeps free of text, in the text area's coordinates.
struct Band {
    size_t box;
    int page;
    double from, to;
};

struct Placed {
    std::vector<long> breaks;
    std::vector<int> pageOf;    // per item
    std::vector<double> topOf;  // per item, in the text area
};

Placed Paginate(const std::vector<Item>& items, double room, const std::vector<Band>& bands) {
    // What item i takes with it to the next page: itself and the items it keeps with.
    std::vector<double> chain(items.size());
    for (size_t i = items.size(); i-- > 0;)
        chain[i] = items[i].height + (items[i].keep && i + 1 < items.size() ? chain[i + 1] : 0);
    Placed out;
    out.pageOf.resize(items.size());
    out.topOf.resize(items.size());
    int page = 1;
    double y = 0;
    auto bandOn = [&](int p) -> const Band* {
        for (const Band& b : bands)
            if (b.page == p) return &b;
        return nullptr;
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const Band* band = bandOn(page);
        // A band reaching the text's bottom ends the page; one above it is jumped over.
        double limit = band && band->to >= room ? band->from : room;
        if (band && band->to < room && y < band->to && y + items[i].height > band->from) y = band->to;
        const double need = chain[i] <= room ? chain[i] : items[i].height;
        if (y > 0 && y + need > limit) {
            out.breaks.push_back(items[i].start);
            ++page;
            y = items[i].repeat;
        }
        out.pageOf[i] = page;
        out.topOf[i] = y;
        y += items[i].height;
    }
    return out;
}

// Where in the main text each text box is anchored.
std::unordered_map<int64_t, long> Anchors(const Document& doc) {
    std::unordered_map<int64_t, long> at;
    const auto& state = detail::Access::DocOf(doc);
    const auto& chars = state->main.chars;
    for (size_t i = 0; i < chars.size(); ++i)
        if (chars[i].kind == detail::Kind::ShapeAnchor) at.emplace(chars[i].aux, static_cast<long>(i));
    return at;
}

// The item holding a main-text position: the last one starting at or before it.
size_t ItemAt(const std::vector<Item>& items, long pos) {
    const auto it = std::upper_bound(items.begin(), items.end(), pos, [](long p, const Item& i) { return p < i.start; });
    return it == items.begin() ? 0 : static_cast<size_t>(it - items.begin()) - 1;
}

void Paragraphs(const Document& doc, long from, long to, double width, float fontSize, std::vector<Item>& items) {
    for (long start = from; start < to;) {
        Range para = doc.GetRange(start, start);
        para.MoveEnd(Unit::Paragraph, 1);
        const long end = std::clamp(para.End(), start + 1, to);
        para.SetEnd(end);
        std::string text = para.Text();
        if (text.ends_with('\r')) text.pop_back();
        const double h = EstimatedLines(text, width, fontSize) * EstimatedLineHeight(fontSize);
        items.push_back({start, h, para.GetParagraphFormat().KeepWithNext(), 0});
        start = end;
    }
}

}  // namespace

int EstimatedLines(std::string_view text, double width, float fontSize) {
    const double ems = std::max(1.0, width / fontSize);
    int lines = 0;
    size_t from = 0;
    for (;;) {
        const size_t to = text.find_first_of("\r\n\v", from);
        lines += WrappedLines(text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from), ems);
        if (to == std::string_view::npos) break;
        // An empty paragraph after the mark (the title's) is a line in print too.
        from = to + 1;
    }
    return lines;
}

double EstimatedLineHeight(float fontSize) { return kLinePitch * fontSize; }

double EstimatedRowHeight(const Table& table, int row, float fontSize) {
    int lines = 1;
    const int columns = table.GetColumns().Count();
    for (int c = 1; c <= columns; ++c) {
        const Cell cell = table.GetCell(row, c);
        std::string text = cell.GetRange().Text();
        if (text.ends_with(kCellEndMark)) text.resize(text.size() - 2);
        lines = std::max(lines, EstimatedLines(text, cell.Width() - kCellMargins, fontSize));
    }
    return lines * EstimatedLineHeight(fontSize);
}

double EstimatedHeight(const Table& table, float fontSize) {
    double height = 0;
    const int rows = table.GetRows().Count();
    for (int r = 1; r <= rows; ++r) height += EstimatedRowHeight(table, r, fontSize);
    return height;
}

double EstimatedTextHeight(const Document& doc) { return doc.GetPageSetup().PageHeight() - kPageFrame; }

EstimatedPages EstimatePages(const Document& doc) {
    const float fontSize = doc.GetDefaultFont().Size() > 0 ? doc.GetDefaultFont().Size() : 10;
    const auto page = doc.GetPageSetup();
    const double width = page.PageWidth() - page.LeftMargin() - page.RightMargin();
    const double room = EstimatedTextHeight(doc);

    std::vector<Item> items;
    const auto tables = doc.GetTables();
    long pos = 0;
    for (int t = 1; t <= tables.Count(); ++t) {
        const Table table = tables.Item(t);
        const Range at = table.GetRange();
        Paragraphs(doc, pos, at.Start(), width, fontSize, items);
        const Rows rows = table.GetRows();
        const size_t first = items.size();
        double repeat = 0;
        bool leading = true;
        for (int r = 1; r <= rows.Count(); ++r) {
            const Row row = rows.Item(r);
            const Range range = row.GetRange();
            const double h = EstimatedRowHeight(table, r, fontSize);
            leading = leading && row.HeadingFormat();
            if (leading) repeat += h;
            items.push_back({range.Start(), h, range.GetParagraphFormat().KeepWithNext(), 0});
        }
        for (size_t i = first; i < items.size(); ++i) items[i].repeat = repeat;
        pos = at.End();
    }
    Paragraphs(doc, pos, doc.Content().End(), width, fontSize, items);

    EstimatedPages out;
    if (items.empty()) return out;
    // Boxes placed by the page stand on their paragraph's page: laid out once
    // without them to find it, then again with the lines they keep free.
    struct Placement {
        int64_t id;
        double top, height;
        long anchor;
        bool keepsFree;
    };
    std::vector<Placement> boxes;
    const auto shapes = doc.GetShapes();
    const auto anchors = shapes.Count() > 0 ? Anchors(doc) : std::unordered_map<int64_t, long>{};
    for (int i = 1; i <= shapes.Count(); ++i) {
        const Shape s = shapes.Item(i);
        if (s.GetRelativeVerticalPosition() != RelativeVerticalPosition::Page) continue;
        const auto anchor = anchors.find(s.Id());
        boxes.push_back({s.Id(), s.Top(), s.Height(), anchor == anchors.end() ? 0 : anchor->second,
                         s.GetWrapType() == WrapType::TopBottom});
    }
    Placed placed = Paginate(items, room, {});
    std::vector<Band> bands;
    for (size_t b = 0; b < boxes.size(); ++b)
        if (boxes[b].keepsFree)
            bands.push_back({b, placed.pageOf[ItemAt(items, boxes[b].anchor)], boxes[b].top - kTextTop,
                             boxes[b].top + boxes[b].height - kTextTop});
    if (!bands.empty()) placed = Paginate(items, room, bands);

    out.breaks = placed.breaks;
    for (const Placement& box : boxes) {
        const int on = placed.pageOf[ItemAt(items, box.anchor)];
        const double from = box.top - kTextTop;
        // Above the box: the page's items that start above its band.
        double above = 0;
        long before = LONG_MAX;
        for (size_t i = 0; i < items.size(); ++i) {
            if (placed.pageOf[i] < on) continue;
            if (placed.pageOf[i] > on || placed.topOf[i] >= from) {
                before = items[i].start;
                break;
            }
            above = placed.topOf[i] + items[i].height;
        }
        out.boxes.push_back({box.id, on, box.top, before, std::max(0.0, from - above)});
    }
    return out;
}

}  // namespace kado::word
