// SummeLöschen on real documents: every table marked "RE_Summe" goes, wherever
// the marker stands among the table's comments; everything else stays.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "invoice_fixture.h"
#include "plugin/invoice/totals_removal.h"

namespace {

using namespace kado::word;

struct Layout {
    const char* name;
    // Comments per table, in the order they are put on the table's cells.
    std::vector<std::vector<std::string>> tables;
    std::vector<std::string> kept;  // labels of the tables left, in order
};

class TotalsRemoval : public invoice_test::InvoiceTest {};

// Builds one 2x2 table per entry after a paragraph of text; cell (1, 2) holds
// the table's label "T<n>", comment k sits on cell (k / 2 + 1, k % 2 + 1).
void Build(Document& doc, const std::vector<std::vector<std::string>>& tables) {
    for (size_t n = 0; n < tables.size(); ++n) {
        auto end = doc.Content();
        end.Collapse(CollapseDirection::End);
        end.InsertBefore("Absatz " + std::to_string(n + 1));
        end.InsertParagraphAfter();
        auto at = doc.Content();
        at.Collapse(CollapseDirection::End);
        auto t = doc.GetTables().Add(at, 2, 2);
        t.GetCell(1, 2).GetRange().InsertAfter("T" + std::to_string(n + 1));
        for (size_t k = 0; k < tables[n].size(); ++k) {
            auto cell = t.GetCell(static_cast<int>(k / 2 + 1), static_cast<int>(k % 2 + 1)).GetRange();
            doc.GetComments().Add(cell, tables[n][k]);
        }
    }
}

std::vector<std::string> Labels(Document& doc) {
    std::vector<std::string> labels;
    auto tables = doc.GetTables();
    for (int i = 1; i <= tables.Count(); ++i) {
        std::string text = tables.Item(i).GetCell(1, 2).GetRange().Text();
        labels.push_back(text.substr(0, text.find('\r')));
    }
    return labels;
}

TEST_F(TotalsRemoval, DeletesEveryMarkedTableInOneRun) {
    const std::vector<Layout> layouts = {
        {"two marked tables next to each other", {{"RE_Summe"}, {"RE_Summe"}, {}}, {"T3"}},
        {"marker as the second comment", {{"Honora_1", "RE_Summe"}, {"Honora_1"}}, {"T2"}},
        {"marker as the third comment, last table", {{}, {"Honora_2", "kadoStart", "RE_Summe"}}, {"T1"}},
        {"marked, plain, marked", {{"RE_Summe"}, {"Honora_5"}, {"Honora_3", "RE_Summe"}}, {"T2"}},
        {"only exact text counts", {{"RE_Summe "}, {"re_summe"}, {"RE_Summe2"}}, {"T1", "T2", "T3"}},
        {"no tables marked", {{}, {}}, {"T1", "T2"}},
    };
    for (const auto& l : layouts) {
        SCOPED_TRACE(l.name);
        honora::Session().Doc = Document::New();
        auto& doc = *honora::Session().Doc;
        Build(doc, l.tables);
        honora::SummeLöschen();
        EXPECT_EQ(Labels(doc), l.kept);
        EXPECT_NE(doc.Content().Text().find("Absatz 1"), std::string::npos);
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
}

TEST_F(TotalsRemoval, MarkerOutsideAnyTableRemovesNothing) {
    auto& doc = *honora::Session().Doc;
    Build(doc, {{"Honora_1"}});
    doc.GetComments().Add(doc.GetRange(0, 6), "RE_Summe");
    honora::SummeLöschen();
    EXPECT_EQ(Labels(doc), std::vector<std::string>{"T1"});
    EXPECT_EQ(doc.GetComments().Count(), 2);
}

TEST_F(TotalsRemoval, WithoutDocumentLogsAndReturns) {
    honora::Session().Doc.reset();
    honora::SummeLöschen();
    EXPECT_THAT(LoggedPlaces(), ::testing::ElementsAre("GebührenTabelle.SummeLöschen"));
}

}  // namespace
