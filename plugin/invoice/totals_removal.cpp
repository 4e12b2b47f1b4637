#include "plugin/invoice/totals_removal.h"

#include <vector>

#include "platform/com/error.h"
#include "platform/word/word.h"
#include "plugin/common/steps.h"
#include "plugin/component/session_context.h"
#include "plugin/invoice/markers.h"
#include "plugin/common/need.h"

namespace honora {

void SummeLöschen() {
    Steps s("GebührenTabelle", "SummeLöschen");
    std::vector<kado::word::Table> marked;
    int count = 0;
    std::shared_ptr<kado::word::Document> doc;

    s(100, [&] {
        doc = Session().Doc;
        if (!doc) RaiseObjectNotSet();
        count = doc->GetTables().Count();
    });
    // Collected first: deleting while walking the collection would shift the
    // indices and skip the table after each deleted one.
    for (int i = 1; i <= count; ++i) {
        int comments = 0;
        if (!s(110, [&] { comments = doc->GetTables().Item(i).GetRange().GetComments().Count(); })) continue;
        for (int j = 1; j <= comments; ++j) {
            bool found = false;
            s(120, [&] {
                auto table = doc->GetTables().Item(i);
                if (table.GetRange().GetComments().Item(j).GetRange().Text() == marke::kSummentabelle) {
                    marked.push_back(table);
                    found = true;
                }
            });
            if (found) break;
        }
    }
    for (auto& table : marked) s(130, [&] { table.Delete(); });
}

}  // namespace honora
