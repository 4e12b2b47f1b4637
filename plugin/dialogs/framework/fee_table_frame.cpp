#include "plugin/dialogs/framework/fee_table_frame.h"

#include <array>
#include <memory>

#include "plugin/common/steps.h"
#include "plugin/component/session_context.h"
#include "plugin/dialogs/framework/cell_io.h"
#include "plugin/common/need.h"
#include "plugin/dialogs/framework/share.h"
#include "plugin/dialogs/framework/table_layout.h"
#include "plugin/dialogs/framework/table_place.h"
#include "plugin/invoice/kv_word_auto.h"
#include "plugin/invoice/summe_bilden.h"
#include "plugin/invoice/totals_removal.h"

namespace honora {

namespace word = kado::word;

std::optional<word::Table> GebührentabelleSchreiben(const Category& category, const FeeTable& content,
                                                     const std::optional<word::Table>& earlier) {
    Steps s(category.name, "CommandEnde_Click");
    std::optional<word::Range> range;
    std::optional<word::Table> table;
    std::shared_ptr<word::Document> doc;
    bool whole = true;

    s(100, [&] { SummeLöschen(); });
    s(110, [&] { range = WordTabelleFestlegen(category.name, earlier); });
    s(120, [&] { whole = ShareIsWholeJob(content.share); });
    const int16_t rows = static_cast<int16_t>(content.rows + (whole ? 0 : 2));
    s(130, [&] {
        doc = Session().Doc;
        table = Need(doc).GetTables().Add(Need(range), rows, 5);
    });
    s(140, [&] { TabelleFormatieren(category.name, Need(table), category.widths); });
    s(150, [&] {
        word::Range title = Need(table).GetCell(1, 1).GetRange();
        title.SetBold(true);
        title.SetUnderline(word::UnderlineStyle::Single);
        title.InsertAfter(content.title + "\r\n");
    });
    // The title cell spans the first four columns; cell (1,5) keeps its width.
    const std::array<double, 4> titleWidths = {12, 1, 1, 1};
    for (int c = 1; c <= 4; ++c) {
        s(150 + 10 * c, [&] {
            Need(table).GetCell(1, c).SetWidth(
                Need(doc).GetApplication()->CentimetersToPoints(titleWidths[static_cast<size_t>(c - 1)]));
        });
    }
    for (int16_t c = 1; c <= 5; ++c) {
        s(200, [&] { wordTabelle(Need(table), 2, c, kFeeTableHeadings[static_cast<size_t>(c - 1)], true, ""); });
    }
    for (const FeeCell& cell : content.cells) {
        s(210, [&] {
            const std::string& comment = cell.payable ? std::string(whole ? "" : "no") : cell.comment;
            wordTabelle(Need(table), cell.row, cell.column, cell.text, cell.bold, comment);
        });
    }
    if (!whole) {
        const int16_t r = content.shareRow > 0 ? content.shareRow : rows;
        s(220, [&] { wordTabelle(Need(table), r, 2, "Anteil in 1/1000", false, ""); });
        s(230, [&] { wordTabelle(Need(table), r, 3, ShareText(content.share), false, ""); });
        s(240, [&] {
            wordTabelle(Need(table), r, 5, ShareAmount(content.fee, content.shareFactor, content.share) + " €", false,
                        "");
        });
    }
    s(250, [&] { BookmarkSetzen(Need(table), category.marker); });
    s(260, [&] { SummeBilden(Session().Zahlungsziel); });
    return table;
}

}  // namespace honora
