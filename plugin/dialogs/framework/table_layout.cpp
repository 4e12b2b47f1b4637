#include "plugin/dialogs/framework/table_layout.h"

#include <array>
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

}  // namespace

void TabelleFormatieren(std::string_view Dialog, const word::Table& Tabelle, const ColumnWidths& widths) {
    Steps s(Dialog, "Zeitdifferenz");
    std::shared_ptr<word::Application> app;
    s(100, [&] {
        app = Need(Session().Doc).GetApplication();
        Tabelle.Select();
    });
    const std::array<word::BorderType, 6> borders = {word::BorderType::Top,    word::BorderType::Left,
                                                     word::BorderType::Bottom, word::BorderType::Right,
                                                     word::BorderType::Horizontal, word::BorderType::Vertical};
    int32_t step = 110;
    for (auto b : borders) {
        s(step, [&] { Need(app).GetSelection().GetBorders().Item(b).SetLineStyle(word::LineStyle::None); });
        step += 10;
    }
    s(170, [&] { Need(app).GetSelection().GetParagraphFormat().SetAlignment(word::Alignment::Right); });
    // The engine formats a column selection as the whole stretch from its top to
    // its bottom cell, so the column's cells are aligned one by one (see AlignColumn).
    s(180, [&] { Tabelle.GetColumns().Item(1).Select(); });
    s(190, [&] { AlignColumn(Tabelle, 1, word::Alignment::Left); });
    s(200, [&] { Tabelle.GetColumns().Item(2).Select(); });
    s(210, [&] { AlignColumn(Tabelle, 2, word::Alignment::Left); });
    for (int c = 1; c <= 5; ++c) {
        s(210 + 10 * c, [&] {
            Tabelle.GetColumns().Item(c).SetWidth(Need(app).CentimetersToPoints(widths[static_cast<size_t>(c - 1)]));
        });
    }
}

}  // namespace honora
