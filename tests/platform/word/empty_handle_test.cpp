// Empty handles: a default-constructed handle tests false, and using it fails
// with 91 before it counts as a call of the engine, so the fault plan's call
// numbers stay those of the calls that were made.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <typeinfo>

#include "platform/com/error.h"
#include "platform/com/fault_plan.h"
#include "platform/word/word.h"

namespace {

namespace faults = kado::com::faults;
using namespace kado::word;

// One live handle of every type, from a document with text, a table, a comment and a text box.
struct Handles {
    std::shared_ptr<Document> doc = Document::New();
    std::tuple<Range, Table, Tables, Cell, Row, Rows, Column, Columns, Comment, Comments, Shape, Shapes, TextFrame,
               FillFormat, LineFormat, Selection, Borders, Border, Font, ParagraphFormat, Window, View, PageSetup,
               DefaultFont>
        live;

    Handles() {
        doc->Content().InsertBefore("Rechnung Nr. 17");
        auto end = doc->Content();
        end.Collapse(CollapseDirection::End);
        const Table t = doc->GetTables().Add(end, 2, 2);
        const Comment c = doc->GetComments().Add(doc->GetRange(0, 8), "kadoStart");
        const Shape s = doc->GetShapes().AddTextbox(TextOrientation::Horizontal, 10, 10, 100, 40);
        const Selection sel = doc->GetApplication()->GetSelection();
        const Window w = doc->ActiveWindow();
        live = {doc->GetRange(0, 8), t, doc->GetTables(), t.GetCell(1, 1), t.GetRows().Item(1), t.GetRows(),
                t.GetColumns().Item(1), t.GetColumns(), c, doc->GetComments(), s, doc->GetShapes(),
                s.GetTextFrame(), s.Fill(), s.Line(), sel, sel.GetBorders(), sel.GetBorders().Item(BorderType::Top),
                doc->Content().GetFont(), doc->Content().GetParagraphFormat(), w, w.GetView(), doc->GetPageSetup(),
                doc->GetDefaultFont()};
    }
    template <class H>
    H Pick(bool isLive) const {
        return isLive ? std::get<H>(live) : H{};
    }
};

TEST(EmptyHandle, TestsFalseWhileALiveOneTestsTrue) {
    const Handles h;
    auto check = [](const auto& handle) {
        using H = std::decay_t<decltype(handle)>;
        EXPECT_FALSE(H{}) << typeid(H).name();
        EXPECT_TRUE(handle) << typeid(H).name();
    };
    std::apply([&](const auto&... handle) { (check(handle), ...); }, h.live);
}

TEST(EmptyHandle, EveryUseFailsWith91UncountedWhereALiveOneWorks) {
    struct Case {
        const char* what;
        std::function<void(const Handles&, bool)> use;
    };
    const Case cases[] = {
        {"Range::Text", [](auto& h, bool l) { h.template Pick<Range>(l).Text(); }},
        {"Range::InsertAfter", [](auto& h, bool l) { h.template Pick<Range>(l).InsertAfter("x"); }},
        {"Range duplicate", [](auto& h, bool l) { Range copy = h.template Pick<Range>(l); copy.SetBold(true); }},
        {"Range::GetComments", [](auto& h, bool l) { h.template Pick<Range>(l).GetComments(); }},
        {"Table::GetCell", [](auto& h, bool l) { h.template Pick<Table>(l).GetCell(1, 1); }},
        {"Table::Id", [](auto& h, bool l) { h.template Pick<Table>(l).Id(); }},
        {"Tables::Item", [](auto& h, bool l) { h.template Pick<Tables>(l).Item(1); }},
        {"Tables::Add at an empty range",
         [](auto& h, bool l) { h.template Pick<Tables>(true).Add(h.template Pick<Range>(l), 1, 1); }},
        {"Cell::SetWidth", [](auto& h, bool l) { h.template Pick<Cell>(l).SetWidth(50); }},
        {"Row::SetHeight", [](auto& h, bool l) { h.template Pick<Row>(l).SetHeight(6, HeightRule::Exactly); }},
        {"Rows::Count", [](auto& h, bool l) { h.template Pick<Rows>(l).Count(); }},
        {"Column::SetWidth", [](auto& h, bool l) { h.template Pick<Column>(l).SetWidth(50); }},
        {"Columns::Item", [](auto& h, bool l) { h.template Pick<Columns>(l).Item(1); }},
        {"Comment::Text", [](auto& h, bool l) { h.template Pick<Comment>(l).Text(); }},
        {"Comment::Id", [](auto& h, bool l) { h.template Pick<Comment>(l).Id(); }},
        {"Comments::Count", [](auto& h, bool l) { h.template Pick<Comments>(l).Count(); }},
        {"Comments::Add at an empty range",
         [](auto& h, bool l) { h.template Pick<Comments>(true).Add(h.template Pick<Range>(l), "no"); }},
        {"Shape::SetName", [](auto& h, bool l) { h.template Pick<Shape>(l).SetName("Zahlungsziel"); }},
        {"Shape::Id", [](auto& h, bool l) { h.template Pick<Shape>(l).Id(); }},
        {"Shapes::Count", [](auto& h, bool l) { h.template Pick<Shapes>(l).Count(); }},
        {"TextFrame::TextRange", [](auto& h, bool l) { h.template Pick<TextFrame>(l).TextRange(); }},
        {"FillFormat::SetVisible", [](auto& h, bool l) { h.template Pick<FillFormat>(l).SetVisible(false); }},
        {"LineFormat::Visible", [](auto& h, bool l) { h.template Pick<LineFormat>(l).Visible(); }},
        {"Selection::Text", [](auto& h, bool l) { h.template Pick<Selection>(l).Text(); }},
        {"Borders::Item", [](auto& h, bool l) { h.template Pick<Borders>(l).Item(-1); }},
        {"Border::GetLineStyle", [](auto& h, bool l) { h.template Pick<Border>(l).GetLineStyle(); }},
        {"Font::SetSize", [](auto& h, bool l) { h.template Pick<Font>(l).SetSize(9); }},
        {"ParagraphFormat::SetAlignment",
         [](auto& h, bool l) { h.template Pick<ParagraphFormat>(l).SetAlignment(Alignment::Right); }},
        {"Window::GetView", [](auto& h, bool l) { h.template Pick<Window>(l).GetView(); }},
        {"View::SetShowAll", [](auto& h, bool l) { h.template Pick<View>(l).SetShowAll(false); }},
        {"PageSetup::SetLeftMargin", [](auto& h, bool l) { h.template Pick<PageSetup>(l).SetLeftMargin(60); }},
        {"DefaultFont::Name", [](auto& h, bool l) { h.template Pick<DefaultFont>(l).Name(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Handles h;
        faults::Reset();
        try {
            c.use(h, false);
            ADD_FAILURE() << "an empty handle was used without an error";
        } catch (const kado::com::Error& e) {
            EXPECT_EQ(e.Number(), 91);
            EXPECT_EQ(e.Description(), kado::com::err::ObjectNotSet.description);
        }
        EXPECT_EQ(faults::Calls(faults::Area::Word), 0u);
        EXPECT_NO_THROW(c.use(h, true));
    }
    faults::Reset();
}

}  // namespace
