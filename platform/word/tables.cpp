// Tables, rows, columns and cells: views onto the table marks of the main text.
#include <algorithm>

#include "docstate.h"
#include "platform/com/fault_plan.h"
#include "edit.h"

namespace kado::word {

using detail::Ch;
using detail::Kind;

namespace {

std::vector<const detail::TableLayout*> InScope(detail::DocState& d, const detail::RangeState& scope) {
    if (scope.story != StoryType::Main) return {};
    return d.TablesIn(scope.start, scope.end);
}

long CellStart(const detail::TableLayout& t, int row, int column) {
    if (column > 1) return t.CellEnd(row, column - 1) + 1;
    return row > 1 ? t.RowEnd(row - 1) + 1 : t.start;
}

void CheckCell(const detail::TableLayout& t, int row, int column) {
    if (row < 1 || row > static_cast<int>(t.cellsRel.size())) com::Raise(err::NoSuchMember);
    if (column < 1 || column > t.CellsIn(row)) com::Raise(err::NoSuchMember);
}

std::vector<Ch> EmptyRow(detail::DocState& d, int64_t table, const std::vector<detail::CellProps>& cells,
                         const detail::RowProps& row) {
    std::vector<Ch> out;
    for (const auto& cp : cells) {
        out.push_back(Ch{U'\r', Kind::ParaEnd, 0, 0, table});
        d.cellProps.push_back(cp);
        out.push_back(Ch{U'\a', Kind::CellEnd, 0, static_cast<uint32_t>(d.cellProps.size() - 1), table});
    }
    out.push_back(Ch{U'\r', Kind::RowCr, 0, 0, table});
    d.rowProps.push_back(row);
    out.push_back(Ch{U'\a', Kind::RowEnd, 0, static_cast<uint32_t>(d.rowProps.size() - 1), table});
    return out;
}

}  // namespace

Tables::Tables(DocPtr doc, std::shared_ptr<detail::RangeState> scope)
    : Handle(std::move(doc)), scope_(std::move(scope)) {}

int Tables::Count() const {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!scope_) return static_cast<int>(doc_->Layouts().size());
    return static_cast<int>(InScope(*doc_, *scope_).size());
}

Table Tables::Item(int index) const {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!scope_) {
        const auto& all = doc_->Layouts();
        if (index < 1 || index > static_cast<int>(all.size())) com::Raise(err::NoSuchMember);
        return detail::Make<Table>(doc_, all[index - 1].id);
    }
    auto list = InScope(*doc_, *scope_);
    if (index < 1 || index > static_cast<int>(list.size())) com::Raise(err::NoSuchMember);
    return detail::Make<Table>(doc_, list[index - 1]->id);
}

Table Tables::Add(const Range& where, int rows, int columns) {
    Live();
    detail::Access::Live(where);
    KADO_FAULT_PROBE(Word);
    if (rows < 1 || columns < 1 || rows > 32767 || columns > 63)
        com::Raise(err::ColumnsOutOfRange);
    if (detail::Access::DocOf(where) != doc_ || where.Story() != StoryType::Main) com::Raise(err::NotAvailable);
    auto& d = *doc_;
    auto& s = d.main;
    long p = detail::InsertionPoint(s, where.Start());
    // At a table's first position the new table goes in front of it; inside one it cannot go.
    if (s.chars[p].table != 0 && (p == 0 || s.chars[p - 1].table == s.chars[p].table))
        com::Raise(err::NotAvailable, "Tables inside tables are not supported.");
    // Tables start a paragraph: split the one the range stands in (after text,
    // a bookmark, a field or any other inline element). The first half ends
    // with a mark like the paragraph's own, so it stays the paragraph it was.
    if (p > 0 && detail::InParagraph(s.chars[p - 1].kind)) {
        const Ch mark = s.chars[detail::ParagraphEndAt(s, p)];
        const bool atMark = s.chars[p].kind == Kind::ParaEnd;
        d.InsertChars(s, p, {mark});
        p += 1;
        // Split at its mark, the paragraph's old mark now ends a new empty one after the table.
        if (atMark) detail::FreshMark(d, s.chars[p]);
    }
    int64_t id = d.nextId++;
    d.tables.Add(detail::TableData{id, {}});
    std::vector<detail::CellProps> cells(static_cast<size_t>(columns));
    for (auto& c : cells) c.width = d.textWidth / static_cast<float>(columns);
    std::vector<Ch> chars;
    for (int r = 0; r < rows; ++r) {
        auto row = EmptyRow(d, id, cells, detail::RowProps{});
        chars.insert(chars.end(), row.begin(), row.end());
    }
    d.InsertChars(s, p, chars);
    return detail::Make<Table>(doc_, id);
}

Table::Table(DocPtr doc, int64_t id) : Handle(std::move(doc)), id_(id) {}

Range Table::GetRange() const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& t = doc_->Layout(id_);
    return detail::Make<Range>(doc_, StoryType::Main, 0, t.start, t.end);
}

Cell Table::GetCell(int row, int column) const {
    Live();
    KADO_FAULT_PROBE(Word);
    CheckCell(doc_->Layout(id_), row, column);
    return detail::Make<Cell>(doc_, id_, row, column);
}

Rows Table::GetRows() const {
    Live();
    KADO_FAULT_PROBE(Word);
    doc_->Layout(id_);
    return detail::Make<Rows>(doc_, id_);
}

Columns Table::GetColumns() const {
    Live();
    KADO_FAULT_PROBE(Word);
    doc_->Layout(id_);
    return detail::Make<Columns>(doc_, id_);
}

void Table::Select() const {
    Live();
    KADO_FAULT_PROBE(Word);
    GetRange().Select();
}

void Table::Delete() {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto t = doc_->Layout(id_);
    std::vector<int64_t> comments, shapes;
    for (long i = t.start; i < t.end; ++i) {
        const auto& c = doc_->main.chars[i];
        if (c.kind == Kind::CommentRef) comments.push_back(c.aux);
        if (c.kind == Kind::ShapeAnchor) shapes.push_back(c.aux);
    }
    doc_->RemoveChars(doc_->main, t.start, t.end);
    for (auto c : comments) detail::ForgetComment(*doc_, c);
    for (auto s : shapes) detail::ForgetShape(*doc_, s);
    doc_->tables.Erase(id_);
}

Cell::Cell(DocPtr doc, int64_t tableId, int row, int column)
    : Handle(std::move(doc)), tableId_(tableId), row_(row), column_(column) {}

Range Cell::GetRange() const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& t = doc_->Layout(tableId_);
    CheckCell(t, row_, column_);
    return detail::Make<Range>(doc_, StoryType::Main, 0, CellStart(t, row_, column_), t.CellEnd(row_, column_) + 1);
}

void Cell::Select() const {
    Live();
    KADO_FAULT_PROBE(Word);
    GetRange().Select();
}

void Cell::SetWidth(float points) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!(points > 0 && points <= 1584)) com::Raise(err::ValueOutOfRange);
    const auto& t = doc_->Layout(tableId_);
    CheckCell(t, row_, column_);
    doc_->cellProps[doc_->main.chars[t.CellEnd(row_, column_)].aux].width = points;
}

float Cell::Width() const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& t = doc_->Layout(tableId_);
    CheckCell(t, row_, column_);
    return doc_->cellProps[doc_->main.chars[t.CellEnd(row_, column_)].aux].width;
}

LineStyle Cell::Edge(BorderType side) const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& t = doc_->Layout(tableId_);
    CheckCell(t, row_, column_);
    const auto& p = doc_->cellProps[doc_->main.chars[t.CellEnd(row_, column_)].aux];
    switch (side) {
        case BorderType::Top: return p.top;
        case BorderType::Left: return p.left;
        case BorderType::Bottom: return p.bottom;
        case BorderType::Right: return p.right;
        default: com::Raise(err::NoSuchMember);
    }
}

int Cell::RowIndex() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return row_;
}
int Cell::ColumnIndex() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return column_;
}

Rows::Rows(DocPtr doc, int64_t tableId) : Handle(std::move(doc)), tableId_(tableId) {}

int Rows::Count() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return doc_->Layout(tableId_).Rows();
}

Row Rows::Item(int index) const {
    Live();
    KADO_FAULT_PROBE(Word);
    if (index < 1 || index > Count()) com::Raise(err::NoSuchMember);
    return detail::Make<Row>(doc_, tableId_, index);
}

Row Rows::Add() {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& t = doc_->Layout(tableId_);
    std::vector<detail::CellProps> cells;
    const int last = t.Rows();
    for (int c = 1; c <= t.CellsIn(last); ++c) cells.push_back(doc_->cellProps[doc_->main.chars[t.CellEnd(last, c)].aux]);
    auto rp = doc_->rowProps[doc_->main.chars[t.RowEnd(last)].aux];
    long at = t.end;
    int index = last + 1;
    auto chars = EmptyRow(*doc_, tableId_, cells, rp);
    doc_->InsertChars(doc_->main, at, chars);
    return detail::Make<Row>(doc_, tableId_, index);
}

Row::Row(DocPtr doc, int64_t tableId, int index) : Handle(std::move(doc)), tableId_(tableId), index_(index) {}

namespace {
detail::RowProps& RowPropsOf(detail::DocState& d, int64_t table, int index) {
    const auto& t = d.Layout(table);
    if (index < 1 || index > t.Rows()) com::Raise(err::NoSuchMember);
    return d.rowProps[d.main.chars[t.RowEnd(index)].aux];
}
}  // namespace

void Row::SetHeight(float points, HeightRule rule) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!(points >= 0 && points <= 1584)) com::Raise(err::ValueOutOfRange);
    auto& rp = RowPropsOf(*doc_, tableId_, index_);
    rp.height = points;
    rp.rule = rule;
}

float Row::Height() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return RowPropsOf(*doc_, tableId_, index_).height;
}
HeightRule Row::GetHeightRule() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return RowPropsOf(*doc_, tableId_, index_).rule;
}

bool Row::HeadingFormat() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return RowPropsOf(*doc_, tableId_, index_).tblHeader == detail::OnOff::On;
}

void Row::SetHeadingFormat(bool heading) {
    Live();
    KADO_FAULT_PROBE(Word);
    RowPropsOf(*doc_, tableId_, index_).tblHeader = heading ? detail::OnOff::On : detail::OnOff::Inherited;
}

bool Row::AllowBreakAcrossPages() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return RowPropsOf(*doc_, tableId_, index_).cantSplit != detail::OnOff::On;
}

void Row::SetAllowBreakAcrossPages(bool allow) {
    Live();
    KADO_FAULT_PROBE(Word);
    RowPropsOf(*doc_, tableId_, index_).cantSplit = allow ? detail::OnOff::Inherited : detail::OnOff::On;
}

bool Rows::AllowBreakAcrossPages() const {
    Live();
    KADO_FAULT_PROBE(Word);
    for (int r = 1; r <= Count(); ++r)
        if (!detail::Make<Row>(doc_, tableId_, r).AllowBreakAcrossPages()) return false;
    return true;
}

void Rows::SetAllowBreakAcrossPages(bool allow) {
    Live();
    KADO_FAULT_PROBE(Word);
    for (int r = 1; r <= Count(); ++r) detail::Make<Row>(doc_, tableId_, r).SetAllowBreakAcrossPages(allow);
}

Range Row::GetRange() const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& t = doc_->Layout(tableId_);
    if (index_ < 1 || index_ > t.Rows()) com::Raise(err::NoSuchMember);
    long start = index_ > 1 ? t.RowEnd(index_ - 1) + 1 : t.start;
    return detail::Make<Range>(doc_, StoryType::Main, 0, start, t.RowEnd(index_) + 1);
}

int Row::Index() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return index_;
}

Columns::Columns(DocPtr doc, int64_t tableId) : Handle(std::move(doc)), tableId_(tableId) {}

int Columns::Count() const {
    Live();
    KADO_FAULT_PROBE(Word);
    size_t most = 0;
    for (const auto& r : doc_->Layout(tableId_).cellsRel) most = std::max(most, r.size());
    return static_cast<int>(most);
}

Column Columns::Item(int index) const {
    Live();
    KADO_FAULT_PROBE(Word);
    if (index < 1 || index > Count()) com::Raise(err::NoSuchMember);
    return detail::Make<Column>(doc_, tableId_, index);
}

Column::Column(DocPtr doc, int64_t tableId, int index)
    : Handle(std::move(doc)), tableId_(tableId), index_(index) {}

void Column::SetWidth(float points) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!(points > 0 && points <= 1584)) com::Raise(err::ValueOutOfRange);
    const auto& t = doc_->Layout(tableId_);
    for (int r = 1; r <= static_cast<int>(t.cellsRel.size()); ++r)
        if (index_ <= t.CellsIn(r)) doc_->cellProps[doc_->main.chars[t.CellEnd(r, index_)].aux].width = points;
}

// A column is selected as the stretch from its top to its bottom cell.
void Column::Select() const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& t = doc_->Layout(tableId_);
    CheckCell(t, 1, index_);
    int last = static_cast<int>(t.cellsRel.size());
    CheckCell(t, last, index_);
    *doc_->selection = detail::RangeState{StoryType::Main, 0, CellStart(t, 1, index_), t.CellEnd(last, index_) + 1};
    doc_->selectedShape = 0;
    doc_->selectedColumn = index_;
}

int Column::Index() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return index_;
}

}  // namespace kado::word
