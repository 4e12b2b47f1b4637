#include "plugin/dialogs/framework/table_place.h"

#include <memory>

#include "plugin/common/steps.h"
#include "plugin/component/session_context.h"
#include "plugin/common/need.h"
#include "plugin/invoice/markers.h"

namespace honora {

namespace word = kado::word;

word::Range WordTabelleFestlegen(std::string_view Dialog, const word::Table& feeTable) {
    Steps s(Dialog, "WordTabelleFestlegen");
    word::Range range;
    // The dialog is modeless: the user may have deleted its earlier table in the
    // meantime. Then the new table goes where a first one would, instead of
    // nowhere (which would lose the confirmation after the totals are gone).
    // The table is looked for among the document's tables, so that only its
    // absence counts as deleted: a look that fails is logged and keeps it, never
    // leaving the earlier table beside the new one without a trace.
    bool earlier = static_cast<bool>(feeTable);
    if (earlier)
        s(90, [&] {
            auto tables = Need(Session().Doc).GetTables();
            bool there = false;
            for (int i = 1; i <= tables.Count() && !there; ++i) there = tables.Item(i) == feeTable;
            earlier = there;
        });
    if (earlier) {
        s(100, [&] { range = feeTable.GetRange(); });
        s(110, [&] {
            word::Table old = feeTable;
            old.Delete();
        });
        s(120, [&] { range.Collapse(word::CollapseDirection::End); });
        return range;
    }

    std::shared_ptr<word::Document> doc;
    int count = 0;
    bool found = false;
    s(200, [&] {
        doc = Session().Doc;
        count = Need(doc).GetComments().Count();
    });
    // Every "kadoStart" gets its paragraph; the last one gives the position.
    for (int i = 1; i <= count; ++i) {
        s(210, [&] {
            auto comment = Need(doc).GetComments().Item(i);
            if (comment.GetRange().Text() != marke::kStart) return;
            found = true;
            word::Range r = comment.Reference();
            r.Collapse(word::CollapseDirection::Start);
            r.MoveStart(word::Unit::Word, -1);
            r.InsertParagraphBefore();
            r.Collapse(word::CollapseDirection::Start);
            range = r;
        });
    }
    if (!found) {
        s(220, [&] {
            word::Range r = Need(doc).Content();
            r.Collapse(word::CollapseDirection::End);
            r.InsertParagraphAfter();
            r.Collapse(word::CollapseDirection::End);
            range = r;
        });
    }
    return range;
}

}  // namespace honora
