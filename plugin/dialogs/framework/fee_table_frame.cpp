#include "plugin/dialogs/framework/fee_table_frame.h"

#include <memory>

#include "plugin/common/steps.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/framework/cell_io.h"
#include "plugin/common/need.h"
#include "plugin/dialogs/framework/page_keeps.h"
#include "plugin/dialogs/framework/share.h"
#include "plugin/dialogs/framework/table_layout.h"
#include "plugin/dialogs/framework/table_place.h"
#include "plugin/invoice/kv_word_auto.h"
#include "plugin/invoice/summe_bilden.h"
#include "plugin/invoice/totals_removal.h"

namespace honora {

namespace word = kado::word;

word::Table WriteFeeTable(const Category& category, const FeeTable& content, const word::Table& earlier) {
    Steps s(category.name, "CommandEnde_Click");
    word::Range range;
    word::Table table;
    std::shared_ptr<word::Document> doc;
    bool whole = true;

    s(120, [&] { SummeLöschen(); });
    s(130, [&] { range = WordTabelleFestlegen(category.name, earlier); });
    s(140, [&] { whole = ShareIsWholeJob(content.share); });
    const int16_t rows = static_cast<int16_t>(content.rows + (whole ? 0 : 2));
    s(150, [&] {
        doc = Session().Doc;
        table = Need(doc).GetTables().Add(range, rows, 5);
    });
    s(160, [&] { TabelleFormatieren(category.name, table, category.widths); });
    s(170, [&] {
        word::Range title = table.GetCell(1, 1).GetRange();
        title.SetBold(true);
        title.SetUnderline(word::UnderlineStyle::Single);
        title.InsertAfter(content.title + "\r\n");
    });
    // The title cell spans the first four columns; cell (1,5) keeps its width.
    auto titleWidth = [&](int column, double cm) {
        table.GetCell(1, column).SetWidth(Need(doc).GetApplication()->CentimetersToPoints(cm));
    };
    s(180, [&] { titleWidth(1, 12); });
    s(190, [&] { titleWidth(2, 1); });
    s(200, [&] { titleWidth(3, 1); });
    s(210, [&] { titleWidth(4, 1); });
    for (int16_t c = 1; c <= 5; ++c) {
        s(220, [&] { wordTabelle(table, 2, c, kFeeTableHeadings[static_cast<size_t>(c - 1)], true, ""); });
    }
    for (const FeeCell& cell : content.cells) {
        s(230, [&] {
            const FeeMark mark = cell.payable ? (whole ? FeeMark{} : FeeMark::Excluded()) : cell.mark;
            wordTabelle(table, cell.row, cell.column, cell.text, cell.bold, EncodeFeeMark(mark));
        });
    }
    if (!whole) {
        const int16_t r = content.shareRow > 0 ? content.shareRow : rows;
        s(240, [&] { wordTabelle(table, r, 2, "Anteil in 1/1000", false, ""); });
        s(250, [&] { wordTabelle(table, r, 3, ShareText(content.share), false, ""); });
        s(260, [&] {
            wordTabelle(table, r, 5, ShareAmount(content.feeShown, content.shareFactor, content.share) + " €", false,
                        "");
        });
    }
    s(265, [&] { SetPageBreaks(table, content); });
    s(270, [&] { BookmarkSetzen(table, category.marker); });
    s(280, [&] { SummeBilden(Session().Zahlungsziel); });
    return table;
}

}  // namespace honora
