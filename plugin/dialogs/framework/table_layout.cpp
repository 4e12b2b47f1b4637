#include "plugin/dialogs/framework/table_layout.h"

#include <algorithm>
#include <memory>

#include "plugin/common/steps.h"
#include "plugin/component/session_context.h"
#include "plugin/common/need.h"

namespace honora {

namespace word = kado::word;

namespace {

// A cell's whole range would also format the next cell's first paragraph in
// this engine, so the end-of-cell mark is left out.
void AlignColumn(const word::Table& t, int column, word::Alignment a) {
    const int rows = t.GetRows().Count();
    for (int r = 1; r <= rows; ++r) {
        word::Range cell = t.GetCell(r, column).GetRange();
        cell.SetEnd(cell.End() - 1);
        cell.GetParagraphFormat().SetAlignment(a);
    }
}

// The rows up to `last` keep with the next one.
void KeepHeadingWithBody(const word::Table& t, int last) {
    if (last < 1) return;
    word::Range head = t.GetRange();
    head.SetEnd(t.GetRows().Item(last).GetRange().End());
    head.GetParagraphFormat().SetKeepWithNext(true);
}

}  // namespace

void TabelleFormatieren(std::string_view Dialog, const word::Table& feeTable, const ColumnWidths& widths) {
    RequireObject(feeTable);
    Steps s(Dialog, "Zeitdifferenz");
    std::shared_ptr<word::Application> app;
    s(800, [&] {
        app = Need(Session().Doc).GetApplication();
        feeTable.Select();
    });
    auto noBorder = [&](word::BorderType b) {
        Need(app).GetSelection().GetBorders().Item(b).SetLineStyle(word::LineStyle::None);
    };
    s(810, [&] { noBorder(word::BorderType::Top); });
    s(820, [&] { noBorder(word::BorderType::Left); });
    s(830, [&] { noBorder(word::BorderType::Bottom); });
    s(840, [&] { noBorder(word::BorderType::Right); });
    s(850, [&] { noBorder(word::BorderType::Horizontal); });
    s(860, [&] { noBorder(word::BorderType::Vertical); });
    s(870, [&] { Need(app).GetSelection().GetParagraphFormat().SetAlignment(word::Alignment::Right); });
    // The engine formats a column selection as the whole stretch from its top to
    // its bottom cell, so the column's cells are aligned one by one (see AlignColumn).
    s(880, [&] { feeTable.GetColumns().Item(1).Select(); });
    s(890, [&] { AlignColumn(feeTable, 1, word::Alignment::Left); });
    s(900, [&] { feeTable.GetColumns().Item(2).Select(); });
    s(910, [&] { AlignColumn(feeTable, 2, word::Alignment::Left); });
    auto width = [&](int column) {
        feeTable.GetColumns().Item(column).SetWidth(
            Need(app).CentimetersToPoints(widths[static_cast<size_t>(column - 1)]));
    };
    s(920, [&] { width(1); });
    s(930, [&] { width(2); });
    s(940, [&] { width(3); });
    s(950, [&] { width(4); });
    s(960, [&] { width(5); });
    // In print no row is cut by a page break, and title and headings never end
    // a page without the body: they keep with the first body row, and that row
    // with the next. What is written into the cells later takes this format.
    s(970, [&] { feeTable.GetRows().SetAllowBreakAcrossPages(false); });
    s(980, [&] { KeepHeadingWithBody(feeTable, std::min(3, feeTable.GetRows().Count() - 1)); });
}

}  // namespace honora
