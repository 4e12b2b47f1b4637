#include "plugin/dialogs/framework/page_keeps.h"

#include <algorithm>

#include "platform/word/page_estimate.h"
#include "plugin/common/need.h"
#include "plugin/component/session_context.h"

namespace honora {

namespace word = kado::word;

namespace {

// Rows a to b (from 1) keep with the row after them.
void KeepRowsTogether(const word::Table& t, int a, int b) {
    if (a > b) return;
    word::Range r = t.GetRows().Item(a).GetRange();
    r.SetEnd(t.GetRows().Item(b).GetRange().End());
    r.GetParagraphFormat().SetKeepWithNext(true);
}

}  // namespace

void SetPageBreaks(const word::Table& table, const FeeTable& content) {
    const int rows = table.GetRows().Count();
    if (rows < 2) return;
    // Title and headings: a page the table goes on to starts with them.
    for (int r = 1; r <= 2; ++r) table.GetRows().Item(r).SetHeadingFormat(true);

    const auto& doc = Need(Session().Doc);
    if (word::EstimatedHeight(table, doc.GetDefaultFont().Size()) <= word::EstimatedTextHeight(doc)) {
        KeepRowsTogether(table, 1, rows - 1);
        return;
    }
    KeepRowsTogether(table, 1, 2);
    for (const auto& [first, last] : content.blocks) KeepRowsTogether(table, first, std::min<int>(last, rows) - 1);
    // The fee's line stays with the block before it and with the share rows below it.
    int feeRow = 0;
    for (const auto& cell : content.cells)
        if (cell.payable) feeRow = cell.row;
    if (feeRow == 0) return;
    int tail = feeRow;
    for (size_t i = 0; i < content.blocks.size(); ++i)
        if (content.blocks[i].first <= feeRow && feeRow <= content.blocks[i].second)
            tail = content.blocks[i > 0 ? i - 1 : i].first;
    KeepRowsTogether(table, tail, rows - 1);
}

}  // namespace honora
