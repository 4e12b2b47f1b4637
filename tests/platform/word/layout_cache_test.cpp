// The table layouts kept across text edits must equal a fresh scan of the text.
#include <gtest/gtest.h>

#include <random>

#include "docstate.h"
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

// A table of three rows and columns at the end, then a line of text.
void AddTableAtEnd(Document& doc, std::string_view after) {
    auto end = doc.Content();
    end.Collapse(CollapseDirection::End);
    doc.GetTables().Add(end, 3, 3);
    end = doc.Content();
    end.Collapse(CollapseDirection::End);
    end.InsertAfter(after);
}

TEST(LayoutCache, MatchesAFreshScanAfterRandomEdits) {
    auto doc = Document::New();
    auto& st = *detail::Access::DocOf(*doc);
    for (int t = 0; t < 3; ++t) AddTableAtEnd(*doc, "zwischen");
    std::mt19937 rng(7);
    for (int step = 0; step < 400; ++step) {
        auto tables = doc->GetTables();
        auto table = tables.Item(1 + static_cast<int>(rng() % tables.Count()));
        auto cell = table.GetCell(1 + static_cast<int>(rng() % 3), 1 + static_cast<int>(rng() % 3)).GetRange();
        switch (rng() % 8) {
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
            // Edits of the structure: only the tables at the edit are scanned again.
            case 5: table.GetRows().Add(); break;
            case 6:
                if (tables.Count() > 2) table.Delete();
                break;
            case 7: AddTableAtEnd(*doc, "danach"); break;
        }
        auto cached = st.Layouts();
        ++st.version;  // forces a full scan
        ASSERT_TRUE(SameLayouts(cached, st.Layouts())) << "after step " << step;
    }
}

}  // namespace

namespace {

// The comments and tables of a range by the plain rule, for comparison.
std::vector<long> ExpectedComments(Document& doc, long from, long to) {
    std::vector<long> out;
    auto all = doc.GetComments();
    for (int i = 1; i <= all.Count(); ++i) {
        Comment c = all.Item(i);
        const long ref = c.Reference().Start();
        const auto scope = c.Scope();
        const bool refIn = from == to ? ref == from : ref >= from && ref < to;
        const bool anchorIn = scope.Start() < scope.End() && scope.Start() < to && scope.End() > from;
        if (refIn || anchorIn) out.push_back(ref);
    }
    return out;
}
std::vector<long> ExpectedTables(Document& doc, long from, long to) {
    std::vector<long> out;
    auto all = doc.GetTables();
    for (int i = 1; i <= all.Count(); ++i) {
        auto r = all.Item(i).GetRange();
        if (from == to ? from >= r.Start() && from < r.End() : from < r.End() && to > r.Start()) out.push_back(r.Start());
    }
    return out;
}

TEST(RangeQueries, CommentsAndTablesOfARangeMatchAScanAfterRandomEdits) {
    auto doc = Document::New();
    doc->Content().InsertBefore("Rechnung für die Vermessung\r");
    std::mt19937 rng(11);
    for (int t = 0; t < 4; ++t) {
        auto end = doc->Content();
        end.Collapse(CollapseDirection::End);
        auto table = doc->GetTables().Add(end, 3, 3);
        for (int r = 1; r <= 3; ++r) {
            table.GetCell(r, 3).GetRange().InsertAfter("1,00 €");
            doc->GetComments().Add(table.GetCell(r, 3).GetRange(), "no");
        }
        end = doc->Content();
        end.Collapse(CollapseDirection::End);
        end.InsertAfter("Text nach der Tabelle\r");
    }
    for (int step = 0; step < 300; ++step) {
        const long n = doc->Content().End();
        const long a = static_cast<long>(rng() % n), b = static_cast<long>(rng() % n);
        const long from = std::min(a, b), to = rng() % 4 == 0 ? from : std::max(a, b);
        switch (rng() % 4) {
            case 0: doc->GetComments().Add(doc->GetRange(from, std::min(to, from + 12)), "Anmerkung"); break;
            case 1: doc->GetRange(from, from).InsertBefore("x"); break;
            case 2: doc->GetRange(from, std::min(to, from + 3)).Delete(); break;
            default: break;
        }
        const long len = doc->Content().End();
        const long qf = static_cast<long>(rng() % len), qt = std::min(len, qf + static_cast<long>(rng() % 60));
        auto range = doc->GetRange(qf, rng() % 5 == 0 ? qf : qt);
        std::vector<long> comments, tables;
        auto cs = range.GetComments();
        for (int i = 1; i <= cs.Count(); ++i) comments.push_back(cs.Item(i).Reference().Start());
        auto ts = range.GetTables();
        for (int i = 1; i <= ts.Count(); ++i) tables.push_back(ts.Item(i).GetRange().Start());
        ASSERT_EQ(comments, ExpectedComments(*doc, range.Start(), range.End())) << "step " << step;
        ASSERT_EQ(tables, ExpectedTables(*doc, range.Start(), range.End())) << "step " << step;
    }
}

}  // namespace
