// Object model behaviour that the invoice routines rely on.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/word/word.h"

namespace {

using namespace kado::word;

std::shared_ptr<Document> DocWith(std::string_view text) {
    auto doc = Document::New();
    doc->Content().InsertBefore(text);
    return doc;
}

int ErrorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const kado::com::Error& e) {
        return e.Number();
    }
    return 0;
}

TEST(Range, TextEditsAndCollapse) {
    auto doc = DocWith("Hallo Welt");
    EXPECT_EQ(doc->Content().Text(), "Hallo Welt\r");
    auto r = doc->GetRange(0, 5);
    r.InsertAfter("chen");
    EXPECT_EQ(r.Text(), "Hallochen");
    r.SetBold(true);
    EXPECT_TRUE(r.Bold());
    EXPECT_FALSE(doc->Content().Bold());
    r.Collapse(CollapseDirection::End);
    EXPECT_EQ(r.Start(), 9);
    EXPECT_EQ(r.End(), 9);
    auto w = doc->GetRange(10, 14);
    EXPECT_EQ(w.Text(), "Welt");
    doc->GetRange(0, 0).InsertBefore("Ü ");  // a held range follows an edit before it
    EXPECT_EQ(w.Text(), "Welt");
    w.Delete();
    EXPECT_EQ(doc->Content().Text(), "Ü Hallochen \r");
    // The final paragraph mark survives deleting everything.
    doc->Content().Delete();
    EXPECT_EQ(doc->Content().Text(), "\r");
}

TEST(Range, MoveByWordAndCharacter) {
    struct Case { const char* text; long start; Unit unit; long count; long expectStart; long moved; };
    const Case cases[] = {
        {"Betrag: 12,00 €", 8, Unit::Word, -1, 6, -1},   // ":" is a word of its own
        {"Betrag: 12,00 €", 6, Unit::Word, -1, 0, -1},
        {"Betrag: 12,00 €", 0, Unit::Word, -1, 0, 0},
        {"Betrag: 12,00 €", 3, Unit::Character, -5, 0, -3},
    };
    for (const auto& c : cases) {
        auto doc = DocWith(c.text);
        auto r = doc->GetRange(c.start, c.start);
        EXPECT_EQ(r.MoveStart(c.unit, c.count), c.moved) << c.text << " " << c.start;
        EXPECT_EQ(r.Start(), c.expectStart) << c.text << " " << c.start;
    }
    auto doc = DocWith("abc");
    auto r = doc->GetRange(1, 1);
    EXPECT_EQ(r.MoveEnd(Unit::Character, 15), 3);  // clamps at the end of the story
    EXPECT_EQ(r.Text(), "bc\r");
}

TEST(Range, ParagraphsAndAlignment) {
    auto doc = DocWith("eins");
    auto r = doc->Content();
    r.Collapse(CollapseDirection::End);
    r.InsertParagraphAfter();
    r.InsertAfter("zwei");
    EXPECT_EQ(doc->Content().Text(), "eins\rzwei\r");
    auto p2 = doc->GetRange(5, 5);
    p2.GetParagraphFormat().SetAlignment(Alignment::Right);
    EXPECT_EQ(doc->GetRange(6, 6).GetParagraphFormat().GetAlignment(), Alignment::Right);
    EXPECT_EQ(doc->GetRange(0, 0).GetParagraphFormat().GetAlignment(), Alignment::Left);
}

TEST(Table, CellTextEndsWithMarksAndInsertGoesIntoCell) {
    auto doc = DocWith("Kopf");
    auto at = doc->Content();
    at.Collapse(CollapseDirection::End);
    auto t = doc->GetTables().Add(at, 2, 3);
    EXPECT_EQ(doc->GetTables().Count(), 1);
    auto cell = t.GetCell(1, 2).GetRange();
    EXPECT_EQ(cell.Text(), std::string("\r\a"));
    cell.InsertAfter("Summe");
    EXPECT_EQ(cell.Text(), std::string("Summe\r\a"));
    cell.SetBold(true);
    EXPECT_TRUE(t.GetCell(1, 2).GetRange().Bold());
    EXPECT_FALSE(t.GetCell(1, 3).GetRange().Bold());
    EXPECT_EQ(t.GetCell(1, 1).GetRange().Text(), std::string("\r\a"));
    EXPECT_EQ(t.GetRange().Text(), std::string("\r\aSumme\r\a\r\a\r\a\r\a\r\a\r\a\r\a"));
    EXPECT_EQ(doc->Content().Text().substr(0, 5), "Kopf\r");
    EXPECT_EQ(ErrorNumber([&] { t.GetCell(3, 1); }), 5941);
    EXPECT_EQ(ErrorNumber([&] { t.GetCell(1, 4); }), 5941);
    EXPECT_EQ(ErrorNumber([&] { doc->GetTables().Item(2); }), 5941);
}

TEST(Table, RangeSurvivesDeleteAndTakesANewTable) {
    auto doc = DocWith("vor");
    auto at = doc->Content();
    at.Collapse(CollapseDirection::End);
    auto t = doc->GetTables().Add(at, 2, 2);
    t.GetCell(2, 2).GetRange().InsertAfter("alt");
    t.GetCell(1, 1).GetRange().GetComments().Add(t.GetCell(1, 1).GetRange(), "Honora_1");
    auto where = t.GetRange();
    t.Delete();
    EXPECT_EQ(where.Start(), where.End());
    EXPECT_EQ(doc->GetTables().Count(), 0);
    EXPECT_EQ(doc->GetComments().Count(), 0);  // the marker went with its table
    EXPECT_EQ(ErrorNumber([&] { t.GetRows(); }), 5941);
    auto t2 = doc->GetTables().Add(where, 1, 5);
    EXPECT_EQ(t2.GetColumns().Count(), 5);
    EXPECT_EQ(doc->Content().Text().find("alt"), std::string::npos);
    // A table right in front of another one can be deleted and replaced too.
    auto t3 = doc->GetTables().Add(t2.GetRange(), 1, 1);
    auto place = t3.GetRange();
    t3.Delete();
    place.Collapse(CollapseDirection::End);
    auto t4 = doc->GetTables().Add(place, 2, 1);
    EXPECT_EQ(doc->GetTables().Count(), 2);
    EXPECT_EQ(doc->GetTables().Item(1), t4);
    EXPECT_EQ(ErrorNumber([&] { doc->GetTables().Add(t4.GetCell(2, 1).GetRange(), 1, 1); }), 4605);
}

TEST(Table, RowsColumnsAndWidths) {
    auto doc = Document::New();
    auto t = doc->GetTables().Add(doc->Content(), 1, 2);
    t.GetRows().Add();
    EXPECT_EQ(t.GetRows().Count(), 2);
    t.GetRows().Item(2).SetHeight(6, HeightRule::Exactly);
    EXPECT_EQ(t.GetRows().Item(2).GetHeightRule(), HeightRule::Exactly);
    EXPECT_FLOAT_EQ(t.GetRows().Item(2).Height(), 6);
    auto app = doc->GetApplication();
    t.GetColumns().Item(1).SetWidth(app->CentimetersToPoints(2.54));
    EXPECT_FLOAT_EQ(t.GetCell(2, 1).Width(), 72);
    t.GetCell(1, 2).SetWidth(100);
    EXPECT_FLOAT_EQ(t.GetCell(1, 2).Width(), 100);
    EXPECT_NE(t.GetCell(2, 2).Width(), 100);
    EXPECT_EQ(ErrorNumber([&] { t.GetRows().Item(3); }), 5941);
}

TEST(Comment, ReferenceTextAndDocumentOrder) {
    auto doc = DocWith("Netto 100,00 € Ende");
    auto comments = doc->GetComments();
    comments.Add(doc->GetRange(12, 14), "kadoNetto");  // after "€"
    comments.Add(doc->GetRange(0, 5), "kadoStart");
    ASSERT_EQ(comments.Count(), 2);
    EXPECT_EQ(comments.Item(1).Text(), "kadoStart");  // document order, not order of adding
    EXPECT_EQ(comments.Item(2).GetRange().Text(), "kadoNetto");
    auto ref = comments.Item(1).Reference();
    ref.Collapse(CollapseDirection::End);
    ref.MoveEnd(Unit::Character, 15);
    EXPECT_EQ(ref.Text(), " 100,00 €\x05 Ende");
    auto start = comments.Item(1).Reference();
    start.Collapse(CollapseDirection::Start);
    start.MoveStart(Unit::Word, -1);
    EXPECT_EQ(start.Start(), 0);
    start.InsertParagraphBefore();
    EXPECT_EQ(doc->Content().Text().substr(0, 7), "\rNetto\x05");
    EXPECT_EQ(comments.Item(1).Text(), "kadoStart");
}

TEST(Comment, OnACellTravelsWithTheTable) {
    auto doc = DocWith("x");
    auto end = doc->Content();
    end.Collapse(CollapseDirection::End);
    auto t1 = doc->GetTables().Add(end, 1, 5);
    auto c15 = t1.GetCell(1, 5);
    c15.Select();
    auto r = c15.GetRange();
    r.Collapse(CollapseDirection::End);
    r.GetComments().Add(doc->GetApplication()->GetSelection().GetRange(), "Honora_5");
    // Text put before the table moves it; the comment stays on the cell.
    doc->GetRange(0, 0).InsertBefore("Vorspann\r");
    EXPECT_EQ(t1.GetRange().GetComments().Count(), 1);
    EXPECT_EQ(t1.GetRange().GetComments().Item(1).Text(), "Honora_5");
    EXPECT_EQ(t1.GetCell(1, 5).GetRange().GetComments().Count(), 1);
    EXPECT_EQ(t1.GetCell(1, 4).GetRange().GetComments().Count(), 0);
    t1.GetCell(1, 5).GetRange().InsertAfter("12,00 €");
    EXPECT_EQ(t1.GetCell(1, 5).GetRange().Text(), "\x05" "12,00 €\r\a");
}

TEST(ParagraphFormat, OnACellStaysInThatCell) {
    auto doc = DocWith("x");
    auto end = doc->Content();
    end.Collapse(CollapseDirection::End);
    auto t = doc->GetTables().Add(end, 2, 2);
    // Empty and filled cells alike: the end mark must not reach into the next cell.
    t.GetCell(1, 2).GetRange().InsertAfter("12,00 €");
    for (int column : {1, 2}) {
        t.GetCell(1, column).GetRange().GetParagraphFormat().SetAlignment(Alignment::Right);
        EXPECT_EQ(t.GetCell(1, column).GetRange().GetParagraphFormat().GetAlignment(), Alignment::Right);
    }
    EXPECT_EQ(t.GetCell(2, 1).GetRange().GetParagraphFormat().GetAlignment(), Alignment::Left);
    t.GetCell(2, 1).GetRange().GetParagraphFormat().SetAlignment(Alignment::Center);
    EXPECT_EQ(t.GetCell(2, 2).GetRange().GetParagraphFormat().GetAlignment(), Alignment::Left);
}

// What a keep or can't-split reaches: paragraphs and rows of its range only,
// paragraphs typed into a kept one, rows added after a can't-split last row.
TEST(PageBreaks, KeepsAndCantSplitReachTheirRangeOnly) {
    auto doc = DocWith("eins\rzwei\rdrei");
    auto end = doc->Content();
    end.Collapse(CollapseDirection::End);
    auto t = doc->GetTables().Add(end, 3, 2);
    auto para = [&](long n) { return doc->GetRange(5 * (n - 1), 5 * n - 1).GetParagraphFormat(); };
    auto row = [&](int r) { return t.GetRows().Item(r).GetRange().GetParagraphFormat(); };

    doc->GetRange(1, 7).GetParagraphFormat().SetKeepWithNext(true);  // "eins" into "zwei"
    row(2).SetKeepTogether(true);
    t.GetCell(1, 1).GetRange().InsertAfter("Titel\r\n");
    t.GetCell(1, 1).GetRange().GetParagraphFormat().SetKeepWithNext(true);
    t.GetCell(1, 1).GetRange().InsertAfter("weiter\r");  // new paragraphs take the kept format
    t.GetRows().Item(3).SetAllowBreakAcrossPages(false);
    t.GetRows().Add();

    const struct {
        const char* what;
        bool actual, expected;
    } cases[] = {
        {"paragraph 1 keeps", para(1).KeepWithNext(), true},
        {"paragraph 2 keeps", para(2).KeepWithNext(), true},
        {"paragraph 3 does not", para(3).KeepWithNext(), false},
        {"paragraphs 1-3 not all", doc->GetRange(0, 12).GetParagraphFormat().KeepWithNext(), false},
        {"lines of paragraph 1 not kept", para(1).KeepTogether(), false},
        {"row 2 keeps its lines", row(2).KeepTogether(), true},
        {"row 1 does not", row(1).KeepTogether(), false},
        {"row 3 does not", row(3).KeepTogether(), false},
        {"cell (1,1) keeps, typed paragraphs too", t.GetCell(1, 1).GetRange().GetParagraphFormat().KeepWithNext(), true},
        {"cell (1,2) does not", t.GetCell(1, 2).GetRange().GetParagraphFormat().KeepWithNext(), false},
        {"row 1 not wholly", row(1).KeepWithNext(), false},
        {"row 3 may not break", t.GetRows().Item(3).AllowBreakAcrossPages(), false},
        {"row 2 may", t.GetRows().Item(2).AllowBreakAcrossPages(), true},
        {"an added row is like the last", t.GetRows().Item(4).AllowBreakAcrossPages(), false},
        {"not every row may", t.GetRows().AllowBreakAcrossPages(), false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;

    t.GetRows().SetAllowBreakAcrossPages(true);
    EXPECT_TRUE(t.GetRows().AllowBreakAcrossPages());
    t.GetRows().SetAllowBreakAcrossPages(false);
    for (int r = 1; r <= 4; ++r) EXPECT_FALSE(t.GetRows().Item(r).AllowBreakAcrossPages()) << "row " << r;
}

TEST(Comment, OnASelectedEmptyCellKeepsTheCellSelected) {
    auto doc = DocWith("x");
    auto end = doc->Content();
    end.Collapse(CollapseDirection::End);
    auto t = doc->GetTables().Add(end, 2, 5);
    t.GetCell(1, 5).Select();
    auto sel = doc->GetApplication()->GetSelection();
    sel.GetRange().GetComments().Add(sel.GetRange(), "Honora_5");
    // The mark lands inside the selection, which still covers exactly the cell.
    const auto cell = t.GetCell(1, 5).GetRange();
    EXPECT_EQ(sel.Start(), cell.Start());
    EXPECT_EQ(sel.End(), cell.End());
    EXPECT_EQ(sel.Text(), "\x05\r\a");
}

TEST(Selection, MovesWithoutChangingContentAndTypes) {
    auto doc = DocWith("Betrag 5,00 € x");
    auto app = doc->GetApplication();
    doc->GetRange(6, 6).Select();
    auto sel = app->GetSelection();
    sel.MoveEnd(Unit::Character, 15);
    EXPECT_EQ(sel.Text(), " 5,00 € x\r");
    sel.Collapse(CollapseDirection::Start);
    EXPECT_EQ(doc->Content().Text(), "Betrag 5,00 € x\r");
    sel.MoveEnd(Unit::Character, 8);
    sel.SetText(" 7,50 € ");
    EXPECT_EQ(doc->Content().Text(), "Betrag 7,50 € x\r");
    sel.Collapse(CollapseDirection::End);
    sel.TypeText("!");
    EXPECT_EQ(doc->Content().Text(), "Betrag 7,50 € !x\r");
    EXPECT_EQ(ErrorNumber([&] { sel.ShapeRange(); }), 4605);
}

TEST(Selection, BordersOfSelectedTable) {
    auto doc = Document::New();
    auto t = doc->GetTables().Add(doc->Content(), 2, 2);
    t.Select();
    auto borders = doc->GetApplication()->GetSelection().GetBorders();
    for (int type = -1; type >= -6; --type) borders.Item(type).SetLineStyle(LineStyle::Single);
    EXPECT_EQ(borders.Item(BorderType::Horizontal).GetLineStyle(), LineStyle::Single);
    t.GetCell(1, 1).Select();
    EXPECT_EQ(borders.Item(BorderType::Top).GetLineStyle(), LineStyle::Single);
    EXPECT_EQ(ErrorNumber([&] { borders.Item(-7); }), 5941);
    doc->GetRange(doc->Content().End() - 1, doc->Content().End() - 1).Select();
    EXPECT_EQ(ErrorNumber([&] { borders.Item(-1).SetLineStyle(LineStyle::None); }), 4605);
}

TEST(Cell, EdgesOfTheOuterFrameReadPerCellWithoutMovingTheSelection) {
    auto doc = Document::New();
    auto t = doc->GetTables().Add(doc->Content(), 2, 2);
    t.Select();
    auto borders = doc->GetApplication()->GetSelection().GetBorders();
    for (auto side : {BorderType::Top, BorderType::Left, BorderType::Bottom, BorderType::Right})
        borders.Item(side).SetLineStyle(LineStyle::Single);
    t.GetCell(2, 1).Select();
    const long at = doc->GetApplication()->GetSelection().Start();
    const auto S = LineStyle::Single, N = LineStyle::None;
    struct Case { int row, column; LineStyle top, left, bottom, right; };
    for (const Case& c : {Case{1, 1, S, S, N, N}, Case{1, 2, S, N, N, S}, Case{2, 1, N, S, S, N}, Case{2, 2, N, N, S, S}}) {
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
        const auto cell = t.GetCell(c.row, c.column);
        EXPECT_EQ(cell.Edge(BorderType::Top), c.top);
        EXPECT_EQ(cell.Edge(BorderType::Left), c.left);
        EXPECT_EQ(cell.Edge(BorderType::Bottom), c.bottom);
        EXPECT_EQ(cell.Edge(BorderType::Right), c.right);
    }
    EXPECT_EQ(doc->GetApplication()->GetSelection().Start(), at);
    EXPECT_EQ(ErrorNumber([&] { t.GetCell(1, 1).Edge(BorderType::Horizontal); }), 5941);
}

TEST(Shape, TextBoxAndDeletingByNameWhileIterating) {
    auto doc = DocWith("Rechnung");
    auto shapes = doc->GetShapes();
    for (const char* name : {"Zahlungsziel", "Logo", "Zahlungsziel"}) shapes.AddTextbox(TextOrientation::Horizontal, 0, 10, 100, 20).SetName(name);
    ASSERT_EQ(shapes.Count(), 3);
    for (int i = shapes.Count(); i >= 1; --i)
        if (shapes.Item(i).Name() == "Zahlungsziel") shapes.Item(i).Delete();
    ASSERT_EQ(shapes.Count(), 1);
    auto box = shapes.Item(1);
    EXPECT_EQ(box.Name(), "Logo");
    EXPECT_EQ(doc->Content().Text(), "Rechnung\r");  // anchors are not text
    box.Select();
    auto sel = doc->GetApplication()->GetSelection();
    auto shape = sel.ShapeRange();
    shape.Fill().SetTransparency(1);
    shape.Line().SetVisible(false);
    shape.SetRelativeVerticalPosition(RelativeVerticalPosition::Page);
    shape.SetTop(doc->GetApplication()->CentimetersToPoints(26));
    shape.GetTextFrame().TextRange().Select();
    sel.Collapse(CollapseDirection::Start);
    sel.GetFont().SetSize(8);
    sel.TypeText("Zahlbar bis 01.01.2027 ohne Abzug.");
    EXPECT_EQ(box.GetTextFrame().TextRange().Text(), "Zahlbar bis 01.01.2027 ohne Abzug.");
    EXPECT_EQ(sel.ShapeRange().Id(), box.Id());  // the cursor in the box's text
    EXPECT_FLOAT_EQ(box.GetTextFrame().TextRange().GetFont().Size(), 8);
    EXPECT_FALSE(box.Line().Visible());
    EXPECT_EQ(ErrorNumber([&] { doc->GetShapes().Item(2); }), 5941);
}

TEST(Document, ViewFlagsByName) {
    auto doc = Document::New();
    auto view = doc->ActiveWindow().GetView();
    view.SetByName("ShowComments", false);
    EXPECT_FALSE(view.GetByName("ShowComments"));
    EXPECT_EQ(ErrorNumber([&] { view.SetByName("ShowNothing", false); }), 438);
    EXPECT_EQ(ErrorNumber([&] { doc->GetRange(0, 99); }), 4608);
}

}  // namespace

// The host skips rebuilding its change fingerprint while the edit count stays:
// every kind of edit to any story must move it, and saving must not.
TEST(Document, EveryEditMovesTheEditCount) {
    const std::vector<std::pair<const char*, std::function<void(Document&)>>> edits = {
        {"text inserted", [](Document& d) { d.Content().InsertAfter("Nachtrag"); }},
        {"text replaced by the same length", [](Document& d) { d.GetRange(0, 4).SetText("Ende"); }},
        {"text deleted", [](Document& d) { d.GetRange(0, 4).Delete(); }},
        {"table added", [](Document& d) { d.GetTables().Add(d.GetRange(5, 5), 2, 2); }},
        {"comment added", [](Document& d) { d.GetComments().Add(d.GetRange(0, 4), "Notiz"); }},
        {"comment text changed", [](Document& d) { d.GetComments().Item(1).GetRange().SetText("Neu"); }},
        {"comment deleted", [](Document& d) { d.GetComments().Item(1).Delete(); }},
        {"text box added", [](Document& d) { d.GetShapes().AddTextbox(TextOrientation::Horizontal, 0, 0, 50, 20); }},
        {"text box deleted", [](Document& d) { d.GetShapes().Item(1).Delete(); }},
    };
    for (const auto& [what, edit] : edits) {
        auto doc = Document::New();
        doc->Content().SetText("Anfang der Rechnung\n");
        doc->GetComments().Add(doc->GetRange(0, 6), "Alt");
        doc->GetShapes().AddTextbox(TextOrientation::Horizontal, 10, 10, 40, 20);
        const uint64_t before = doc->Edits();
        (void)doc->ToBytes();
        EXPECT_EQ(doc->Edits(), before) << what << ": saving counted as an edit";
        edit(*doc);
        EXPECT_NE(doc->Edits(), before) << what;
    }
}
