// The print of a table's stretch of the main text changes with whatever the
// preview draws of it, and stays when only the text around it moves it.
#include "platform/word/content_print.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/word/word.h"

namespace {

using namespace kado::word;

// "Rechnung", a table of two rows and two columns with text in two cells, "Summe".
std::shared_ptr<Document> Invoice() {
    auto doc = Document::New();
    doc->Content().InsertBefore("Rechnung\rSumme\r");
    auto t = doc->GetTables().Add(doc->GetRange(9, 9), 2, 2);
    t.GetCell(1, 1).GetRange().InsertBefore("Gebühr");
    t.GetCell(2, 2).GetRange().InsertBefore("1500,00");
    return doc;
}

ContentPrint TablePrint(const Document& doc) {
    const auto at = doc.GetTables().Item(1).GetRange();
    return PrintOf(doc, at.Start(), at.End());
}

// An edit of the invoice and whether the print taken should change with it.
struct Case {
    const char* name;
    std::function<void(Document&)> edit;
    bool changes;
};
Cell CellOf(Document& d, int row, int column) { return d.GetTables().Item(1).GetCell(row, column); }

TEST(ContentPrint, FollowsWhatATableShowsNotWhereItStands) {
    const Case cases[] = {
        {"text before the table", [](Document& d) { d.Content().InsertBefore("Firma Beispiel\r"); }, false},
        {"text after the table", [](Document& d) { d.Content().InsertAfter("Zahlbar sofort\r"); }, false},
        {"a cell's text", [](Document& d) { CellOf(d, 1, 2).GetRange().InsertBefore("netto"); }, true},
        {"a cell in bold", [](Document& d) { CellOf(d, 2, 2).GetRange().SetBold(true); }, true},
        {"a cell's alignment",
         [](Document& d) { CellOf(d, 2, 2).GetRange().GetParagraphFormat().SetAlignment(Alignment::Right); }, true},
        {"a cell's width", [](Document& d) { CellOf(d, 2, 1).SetWidth(99); }, true},
        {"a cell's line",
         [&](Document& d) {
             CellOf(d, 1, 1).Select();
             d.GetApplication()->GetSelection().GetBorders().Item(BorderType::Bottom).SetLineStyle(LineStyle::Single);
         },
         true},
        {"the first row repeated on each page",
         [](Document& d) { d.GetTables().Item(1).GetRows().Item(1).SetHeadingFormat(true); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = Invoice();
        const ContentPrint before = TablePrint(*doc);
        c.edit(*doc);
        EXPECT_EQ(TablePrint(*doc) != before, c.changes);
    }
}

TEST(ContentPrint, CountsTheCommentMarksInItsStretch) {
    auto doc = Invoice();
    EXPECT_EQ(TablePrint(*doc).commentRefs, 0);
    doc->GetComments().Add(doc->GetTables().Item(1).GetCell(1, 1).GetRange(), "Honora_5");
    doc->GetComments().Add(doc->GetRange(0, 8), "kadoStart");
    EXPECT_EQ(TablePrint(*doc).commentRefs, 1);
    EXPECT_EQ(PrintOf(*doc, 0, doc->Content().End()).commentRefs, 2);
}

// The host tells by the digest whether a dialog wrote to the document: text
// and comment texts count, formats do not.
TEST(TextDigest, ChangesWithTheTextAndTheCommentsOnly) {
    auto note = [](Document& d) { return d.GetComments().Item(1); };
    const Case cases[] = {
        {"nothing", [](Document&) {}, false},
        {"a cell in bold", [](Document& d) { CellOf(d, 2, 2).GetRange().SetBold(true); }, false},
        {"a cell's width", [](Document& d) { CellOf(d, 2, 1).SetWidth(99); }, false},
        {"a cell's text", [](Document& d) { CellOf(d, 1, 2).GetRange().InsertBefore("netto"); }, true},
        {"text moved between cells",
         [&](Document& d) {
             CellOf(d, 1, 1).GetRange().SetText("");
             CellOf(d, 1, 2).GetRange().SetText("Gebühr");
         },
         true},
        {"a comment's text", [&](Document& d) { note(d).GetRange().InsertAfter("x"); }, true},
        {"a comment removed", [&](Document& d) { note(d).Delete(); }, true},
        {"a new comment with no text", [](Document& d) { d.GetComments().Add(d.GetRange(0, 8), ""); }, true},
        {"a paragraph mark for a blank", [](Document& d) { d.GetRange(8, 9).SetText(" "); }, true},
        {"a second table", [](Document& d) { d.GetTables().Add(d.GetRange(0, 0), 1, 1); }, true},
        {"a text box", [](Document& d) { d.GetShapes().AddTextbox(TextOrientation::Horizontal, 10, 10, 50, 20); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = Invoice();
        doc->GetComments().Add(doc->GetTables().Item(1).GetCell(1, 1).GetRange(), "Honora_5");
        const TextDigest before = TextDigestOf(*doc);
        c.edit(*doc);
        const TextDigest after = TextDigestOf(*doc);
        EXPECT_EQ(after != before, c.changes);
        EXPECT_EQ(after.tables, doc->GetTables().Count());
        EXPECT_EQ(after.shapes, doc->GetShapes().Count());
    }
}

// Comment and shape lookups kept across edits answer as a document read anew does.
TEST(TextDigest, CommentMarksMoveWithTheTextEditedAroundThem) {
    auto doc = Invoice();
    auto comments = doc->GetComments();
    comments.Add(doc->GetRange(0, 8), "kadoStart");
    comments.Add(doc->GetTables().Item(1).GetCell(2, 2).GetRange(), "Honora_5");
    const std::function<void(Document&)> edits[] = {
        [](Document& d) { d.GetComments().Item(1).GetRange().InsertAfter(" und mehr"); },
        [](Document& d) { d.Content().InsertBefore("Firma Beispiel\r"); },
        [](Document& d) { d.GetTables().Item(1).GetCell(1, 2).GetRange().InsertBefore("netto"); },
        [](Document& d) { d.GetRange(0, 6).Delete(); },
        [](Document& d) { d.GetComments().Item(1).Delete(); },
    };
    for (const auto& edit : edits) {
        (void)doc->GetComments().Count();  // the index is current before each edit
        edit(*doc);
        const auto fresh = Document::FromBytes(doc->ToBytes());
        const auto kept = doc->GetComments(), read = fresh->GetComments();
        ASSERT_EQ(kept.Count(), read.Count());
        for (int i = 1; i <= kept.Count(); ++i) {
            EXPECT_EQ(kept.Item(i).Text(), read.Item(i).Text());
            EXPECT_EQ(kept.Item(i).Reference().Start(), read.Item(i).Reference().Start());
        }
        EXPECT_EQ(TextDigestOf(*doc), TextDigestOf(*fresh));
    }
}

}  // namespace
