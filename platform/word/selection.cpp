// The document's one selection and the borders of the table cells it covers.
#include <algorithm>

#include "docstate.h"
#include "platform/com/fault_plan.h"
#include "edit.h"

namespace kado::word {

using detail::Kind;

namespace {

Range SelRange(const DocPtr& d) {
    const auto& s = *d->selection;
    auto* st = d->FindStory(s.story, s.storyId);
    if (!st) {  // the selected story went away: fall back to the start of the text
        *d->selection = detail::RangeState{};
        return detail::Make<Range>(d, StoryType::Main, 0, 0, 0);
    }
    long n = static_cast<long>(st->chars.size());
    return detail::Make<Range>(d, s.story, s.storyId, std::min(s.start, n), std::min(s.end, n));
}

}  // namespace

Selection::Selection(DocPtr doc) : Handle(std::move(doc)) {}

Range Selection::GetRange() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return SelRange(doc_);
}
Tables Selection::GetTables() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<Tables>(doc_, detail::Access::StateOf(SelRange(doc_)));
}
std::string Selection::Text() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return SelRange(doc_).Text();
}
long Selection::Start() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return doc_->selection->start;
}
long Selection::End() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return doc_->selection->end;
}

void Selection::SetText(std::string_view text) {
    Live();
    KADO_FAULT_PROBE(Word);
    auto r = SelRange(doc_);
    r.SetText(text);
    r.Select();
}

long Selection::MoveEnd(Unit unit, long count) {
    Live();
    KADO_FAULT_PROBE(Word);
    auto r = SelRange(doc_);
    long moved = r.MoveEnd(unit, count);
    r.Select();
    return moved;
}

long Selection::MoveStart(Unit unit, long count) {
    Live();
    KADO_FAULT_PROBE(Word);
    auto r = SelRange(doc_);
    long moved = r.MoveStart(unit, count);
    r.Select();
    return moved;
}

void Selection::Collapse(CollapseDirection direction) {
    Live();
    KADO_FAULT_PROBE(Word);
    auto r = SelRange(doc_);
    r.Collapse(direction);
    r.Select();
}

ParagraphFormat Selection::GetParagraphFormat() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<ParagraphFormat>(doc_, doc_->selection);
}
Font Selection::GetFont() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<Font>(doc_, doc_->selection);
}
Borders Selection::GetBorders() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<Borders>(doc_);
}

Shape Selection::ShapeRange() const {
    Live();
    KADO_FAULT_PROBE(Word);
    // Typing in a text box still has that box as the selected shape.
    const auto& sel = *doc_->selection;
    if (doc_->selectedShape == 0 && sel.story == StoryType::TextFrame && doc_->FindShape(sel.storyId))
        return detail::Make<Shape>(doc_, sel.storyId);
    if (doc_->selectedShape == 0 || !doc_->FindShape(doc_->selectedShape))
        com::Raise(err::NotAvailable, "This method or property is not available because the selection holds no shape.");
    return detail::Make<Shape>(doc_, doc_->selectedShape);
}

void Selection::TypeText(std::string_view text) {
    Live();
    KADO_FAULT_PROBE(Word);
    auto r = SelRange(doc_);
    const int64_t storyId = detail::Access::StateOf(r)->storyId;
    auto& st = *doc_->FindStory(r.Story(), storyId);
    detail::DeleteContent(*doc_, st, r.Start(), r.End());
    long at = detail::InsertionPoint(st, r.Start());
    long n = detail::InsertText(*doc_, st, at, text);
    *doc_->selection = detail::RangeState{r.Story(), storyId, at + n, at + n};
    doc_->selectedShape = 0;
}

Borders::Borders(DocPtr doc) : Handle(std::move(doc)) {}

Border Borders::Item(BorderType type) const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Item(static_cast<int>(type));
}

Border Borders::Item(int type) const {
    Live();
    KADO_FAULT_PROBE(Word);
    if (type < -6 || type > -1) com::Raise(err::NoSuchMember);
    return detail::Make<Border>(doc_, static_cast<BorderType>(type));
}

Border::Border(DocPtr doc, BorderType type) : Handle(std::move(doc)), type_(type) {}

namespace {

struct SelectedCell {
    int row, column;
    detail::CellProps* props;
};

// Cells of one table touched by the selection, with the bounds of the block.
std::vector<SelectedCell> CellsOfSelection(detail::DocState& d, int& firstRow, int& lastRow, int& firstCol, int& lastCol) {
    const auto& sel = *d.selection;
    std::vector<SelectedCell> out;
    if (sel.story != StoryType::Main) return out;
    // The first table the selection touches (an empty selection counts as one character).
    for (const auto* t : d.TablesIn(sel.start, std::max(sel.end, sel.start + 1))) {
        long cellStart = t->start;
        for (int r = 1; r <= t->Rows(); ++r) {
            for (int c = 1; c <= t->CellsIn(r); ++c) {
                long cellEnd = t->CellEnd(r, c) + 1;
                bool in = sel.start < cellEnd && std::max(sel.end, sel.start + 1) > cellStart;
                if (d.selectedColumn > 0) in = c == d.selectedColumn;
                if (in) out.push_back({r, c, &d.cellProps[d.main.chars[t->CellEnd(r, c)].aux]});
                cellStart = cellEnd;
            }
            cellStart = t->RowEnd(r) + 1;
        }
        break;
    }
    firstRow = firstCol = 1 << 30;
    lastRow = lastCol = 0;
    for (const auto& c : out) {
        firstRow = std::min(firstRow, c.row);
        lastRow = std::max(lastRow, c.row);
        firstCol = std::min(firstCol, c.column);
        lastCol = std::max(lastCol, c.column);
    }
    return out;
}

}  // namespace

LineStyle Border::GetLineStyle() const {
    Live();
    KADO_FAULT_PROBE(Word);
    int r0, r1, c0, c1;
    auto cells = CellsOfSelection(*doc_, r0, r1, c0, c1);
    for (const auto& c : cells) {
        switch (type_) {
            case BorderType::Top: if (c.row == r0) return c.props->top; break;
            case BorderType::Bottom: if (c.row == r1) return c.props->bottom; break;
            case BorderType::Left: if (c.column == c0) return c.props->left; break;
            case BorderType::Right: if (c.column == c1) return c.props->right; break;
            case BorderType::Horizontal: if (c.row < r1) return c.props->bottom; break;
            case BorderType::Vertical: if (c.column < c1) return c.props->right; break;
        }
    }
    return LineStyle::None;
}

void Border::SetLineStyle(LineStyle style) {
    Live();
    KADO_FAULT_PROBE(Word);
    int r0, r1, c0, c1;
    auto cells = CellsOfSelection(*doc_, r0, r1, c0, c1);
    if (cells.empty()) com::Raise(err::NotAvailable, "This method or property is not available outside a table.");
    for (auto& c : cells) {
        auto& p = *c.props;
        switch (type_) {
            case BorderType::Top: if (c.row == r0) p.top = style; break;
            case BorderType::Bottom: if (c.row == r1) p.bottom = style; break;
            case BorderType::Left: if (c.column == c0) p.left = style; break;
            case BorderType::Right: if (c.column == c1) p.right = style; break;
            case BorderType::Horizontal:
                if (c.row < r1) p.bottom = style;
                if (c.row > r0) p.top = style;
                break;
            case BorderType::Vertical:
                if (c.column < c1) p.right = style;
                if (c.column > c0) p.left = style;
                break;
        }
    }
}

}  // namespace kado::word
