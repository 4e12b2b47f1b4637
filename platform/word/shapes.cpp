// Text boxes: floating shapes anchored at a paragraph, each with its own text story.
#include <algorithm>
#include <cmath>

#include "docstate.h"
#include "platform/com/fault_plan.h"
#include "edit.h"

namespace kado::word {

using detail::Ch;
using detail::Kind;

namespace {

detail::ShapeData& Data(detail::DocState& d, int64_t id) {
    auto* s = d.FindShape(id);
    if (!s) com::Raise(err::ObjectDeleted);
    return *s;
}

long ParagraphStart(const detail::Story& s, long pos) {
    long i = std::clamp(pos, 0L, static_cast<long>(s.chars.size()) - 1);
    while (i > 0 && s.chars[i - 1].kind != Kind::ParaEnd && s.chars[i - 1].kind != Kind::CellEnd &&
           s.chars[i - 1].kind != Kind::RowEnd)
        --i;
    return i;
}

}  // namespace

Shapes::Shapes(DocPtr doc) : Handle(std::move(doc)) {}

int Shapes::Count() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return static_cast<int>(doc_->ShapeOrder().size());
}

Shape Shapes::Item(int index) const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& order = doc_->ShapeOrder();
    if (index < 1 || index > static_cast<int>(order.size()))
        com::Raise(err::NoSuchMember);
    return detail::Make<Shape>(doc_, order[index - 1]);
}

Shape Shapes::AddTextbox(TextOrientation orientation, float left, float top, float width, float height) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (orientation != TextOrientation::Horizontal)
        com::Raise(err::NumberOutOfRange, "Only horizontal text boxes are supported.");
    if (!(width > 0 && height > 0 && width < 1e5f && height < 1e5f) || !(std::abs(left) < 1e5f && std::abs(top) < 1e5f))
        com::Raise(err::ValueOutOfRange);
    auto& d = *doc_;
    int64_t id = d.nextId++;
    detail::ShapeData data;
    data.id = id;
    data.name = "Text Box " + std::to_string(d.shapes.size() + 1);
    data.left = left;
    data.top = top;
    data.width = width;
    data.height = height;
    d.shapes.Add(data);
    auto story = std::make_unique<detail::Story>();
    story->type = StoryType::TextFrame;
    story->id = id;
    story->chars.push_back(Ch{U'\r', Kind::ParaEnd, 0, 0, 0});
    d.stories.Add(std::move(story));
    long sel = d.selection->story == StoryType::Main ? d.selection->start : 0;
    long at = ParagraphStart(d.main, detail::InsertionPoint(d.main, sel));
    d.InsertChars(d.main, at, {Ch{0xFFFC, Kind::ShapeAnchor, d.main.chars[at].run, static_cast<uint32_t>(id), d.main.chars[at].table}});
    return detail::Make<Shape>(doc_, id);
}

Shape::Shape(DocPtr doc, int64_t id) : Handle(std::move(doc)), id_(id) {}

std::string Shape::Name() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, id_).name;
}
void Shape::SetName(std::string_view name) {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_).name = std::string(name);
}

void Shape::Delete() {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_);
    auto& cs = doc_->main.chars;
    for (long i = 0; i < static_cast<long>(cs.size()); ++i)
        if (cs[i].kind == Kind::ShapeAnchor && cs[i].aux == static_cast<uint32_t>(id_)) {
            doc_->RemoveChars(doc_->main, i, i + 1);
            break;
        }
    detail::ForgetShape(*doc_, id_);
}

void Shape::Select() const {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_);
    doc_->selectedShape = id_;
    doc_->selectedColumn = 0;
}

TextFrame Shape::GetTextFrame() const {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_);
    return detail::Make<TextFrame>(doc_, id_);
}
FillFormat Shape::Fill() const {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_);
    return detail::Make<FillFormat>(doc_, id_);
}
LineFormat Shape::Line() const {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_);
    return detail::Make<LineFormat>(doc_, id_);
}

RelativeVerticalPosition Shape::GetRelativeVerticalPosition() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, id_).relV;
}
void Shape::SetRelativeVerticalPosition(RelativeVerticalPosition p) {
    Live();
    KADO_FAULT_PROBE(Word);
    int v = static_cast<int>(p);
    if (v < 0 || v > 3) com::Raise(err::NumberOutOfRange);
    Data(*doc_, id_).relV = p;
}
float Shape::Top() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, id_).top;
}
void Shape::SetTop(float points) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!(std::abs(points) < 1e5f)) com::Raise(err::ValueOutOfRange);
    Data(*doc_, id_).top = points;
}
float Shape::Left() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, id_).left;
}
float Shape::Width() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, id_).width;
}
float Shape::Height() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, id_).height;
}
WrapType Shape::GetWrapType() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, id_).wrap;
}
void Shape::SetWrapType(WrapType type) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (type != WrapType::None && type != WrapType::TopBottom) com::Raise(err::NumberOutOfRange);
    Data(*doc_, id_).wrap = type;
}

TextFrame::TextFrame(DocPtr doc, int64_t shapeId) : Handle(std::move(doc)), shapeId_(shapeId) {}

Range TextFrame::TextRange() const {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, shapeId_);
    auto* st = doc_->FindStory(StoryType::TextFrame, shapeId_);
    if (!st) com::Raise(err::ObjectDeleted);
    return detail::Make<Range>(doc_, StoryType::TextFrame, shapeId_, 0, static_cast<long>(st->chars.size()) - 1);
}

FillFormat::FillFormat(DocPtr doc, int64_t shapeId) : Handle(std::move(doc)), shapeId_(shapeId) {}
bool FillFormat::Visible() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, shapeId_).fillVisible;
}
void FillFormat::SetVisible(bool v) {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, shapeId_).fillVisible = v;
}
float FillFormat::Transparency() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, shapeId_).fillTransparency;
}
void FillFormat::SetTransparency(float t) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!(t >= 0 && t <= 1)) com::Raise(err::ValueOutOfRange);
    Data(*doc_, shapeId_).fillTransparency = t;
}

LineFormat::LineFormat(DocPtr doc, int64_t shapeId) : Handle(std::move(doc)), shapeId_(shapeId) {}
bool LineFormat::Visible() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return Data(*doc_, shapeId_).lineVisible;
}
void LineFormat::SetVisible(bool v) {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, shapeId_).lineVisible = v;
}

}  // namespace kado::word
