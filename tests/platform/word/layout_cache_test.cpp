// The table layouts kept across text edits must equal a fresh scan of the text.
#include <gtest/gtest.h>

#include <random>

#include "platform/word/docstate.h"
#include "platform/word/word.h"

namespace {

using namespace kado::word;

bool SameLayouts(const std::vector<detail::TableLayout>& a, const std::vector<detail::TableLayout>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].id != b[i].id || a[i].start != b[i].start || a[i].end != b[i].end || a[i].cellsRel != b[i].cellsRel ||
            a[i].rowEndsRel != b[i].rowEndsRel)
            return false;
    return true;
}

TEST(LayoutCache, MatchesAFreshScanAfterRandomEdits) {
    auto doc = Document::New();
    auto& st = *doc->State();
    for (int t = 0; t < 3; ++t) {
        auto end = doc->Content();
        end.Collapse(CollapseDirection::End);
        doc->GetTables().Add(end, 3, 3);
        end = doc->Content();
        end.Collapse(CollapseDirection::End);
        end.InsertAfter("zwischen");
    }
    std::mt19937 rng(7);
    for (int step = 0; step < 400; ++step) {
        auto tables = doc->GetTables();
        auto table = tables.Item(1 + static_cast<int>(rng() % tables.Count()));
        auto cell = table.GetCell(1 + static_cast<int>(rng() % 3), 1 + static_cast<int>(rng() % 3)).GetRange();
        switch (rng() % 5) {
            case 0: cell.InsertAfter("ab"); break;
            case 1: cell.InsertBefore("x\ry"); break;
            case 2: cell.Delete(); break;
            case 3: doc->GetRange(0, 0).InsertBefore("v"); break;
            case 4: {
                auto before = table.GetRange();
                before.Collapse(CollapseDirection::Start);
                before.MoveStart(Unit::Character, -1);
                before.Delete();  // the paragraph mark before a table stays, text goes
                break;
            }
        }
        auto cached = st.Layouts();
        ++st.version;  // forces a full scan
        ASSERT_TRUE(SameLayouts(cached, st.Layouts())) << "after step " << step;
    }
}

}  // namespace
