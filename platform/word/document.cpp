// Document and application objects, and the bookkeeping of live ranges.
#include <algorithm>

#include "docstate.h"
#include "platform/com/fault_plan.h"

#include <cmath>

namespace kado::word {

namespace detail {

Story* DocState::FindStory(StoryType type, int64_t id) {
    if (type == StoryType::Main) return &main;
    auto* s = stories.Find(id);
    return s && (*s)->type == type ? s->get() : nullptr;
}

std::shared_ptr<RangeState> DocState::Track(StoryType type, int64_t id, long start, long end) {
    auto r = std::make_shared<RangeState>(RangeState{type, id, start, end});
    // Drop expired entries now and then so the list stays proportional to live ranges.
    if (ranges.size() > 64 && ranges.size() > 2 * liveHint) {
        std::erase_if(ranges, [](const LiveRange& w) { return w.owner.expired(); });
        liveHint = ranges.size();
    }
    ranges.push_back({r, r.get()});
    return r;
}

void DocState::Inserted(StoryType type, int64_t id, long at, long count) {
    auto shift = [&](RangeState& r) {
        if (r.story != type || r.storyId != id) return;
        long s = r.start >= at ? r.start + count : r.start;
        long e = r.end > at ? r.end + count : r.end;
        r.start = s;
        r.end = std::max(e, s);
    };
    for (auto& w : ranges)
        if (!w.owner.expired()) shift(*w.state);
    shift(*selection);
}

void DocState::Removed(StoryType type, int64_t id, long from, long to) {
    auto map = [&](long p) { return p <= from ? p : (p >= to ? p - (to - from) : from); };
    auto shift = [&](RangeState& r) {
        if (r.story != type || r.storyId != id) return;
        r.start = map(r.start);
        r.end = map(r.end);
    };
    for (auto& w : ranges)
        if (!w.owner.expired()) shift(*w.state);
    shift(*selection);
}

uint32_t DocState::InternRun(const RunFormat& f) {
    auto it = std::find(runFormats.begin(), runFormats.end(), f);
    if (it != runFormats.end()) return static_cast<uint32_t>(it - runFormats.begin());
    runFormats.push_back(f);
    return static_cast<uint32_t>(runFormats.size() - 1);
}

uint32_t DocState::InternPara(const ParaFormat& f) {
    auto it = std::find(paraFormats.begin(), paraFormats.end(), f);
    if (it != paraFormats.end()) return static_cast<uint32_t>(it - paraFormats.begin());
    paraFormats.push_back(f);
    return static_cast<uint32_t>(paraFormats.size() - 1);
}

}  // namespace detail

Selection Application::GetSelection() const {
    KADO_FAULT_PROBE(Word);
    auto doc = active_.lock();
    if (!doc) com::Raise(err::NoDocumentOpen);
    return detail::Make<Selection>(detail::Access::DocOf(*doc));
}

float Application::CentimetersToPoints(double cm) const {
    KADO_FAULT_PROBE(Word);
    return static_cast<float>(cm * 72.0 / 2.54);
}

void Application::SetActiveDocument(const std::shared_ptr<Document>& doc) {
    KADO_FAULT_PROBE(Word);
    active_ = doc;
}
std::shared_ptr<Document> Application::ActiveDocument() const {
    KADO_FAULT_PROBE(Word);
    return active_.lock();
}

Document::Document(DocPtr state) : state_(std::move(state)) {}
Document::~Document() = default;

std::shared_ptr<Document> Document::New(std::shared_ptr<Application> app) {
    KADO_FAULT_PROBE(Word);
    auto st = std::make_shared<detail::DocState>();
    st->main.chars.push_back(detail::Ch{U'\r', detail::Kind::ParaEnd, 0, 0, 0});
    auto doc = detail::Access::NewDocument(st);
    if (!app) app = std::make_shared<Application>();
    st->app = app;
    app->SetActiveDocument(doc);
    return doc;
}

Range Document::Content() const {
    KADO_FAULT_PROBE(Word);
    return detail::Make<Range>(state_, StoryType::Main, 0, 0, static_cast<long>(state_->main.chars.size()));
}

Range Document::GetRange(long start, long end) const {
    KADO_FAULT_PROBE(Word);
    long n = static_cast<long>(state_->main.chars.size());
    if (start < 0 || end < start || end > n) com::Raise(err::ValueOutOfRange);
    return detail::Make<Range>(state_, StoryType::Main, 0, start, end);
}

std::shared_ptr<Application> Document::GetApplication() const {
    KADO_FAULT_PROBE(Word);
    auto app = state_->app;
    if (!app) com::Raise(err::NoDocumentOpen);
    return app;
}

Window Document::ActiveWindow() const {
    KADO_FAULT_PROBE(Word);
    return detail::Make<Window>(state_);
}
Tables Document::GetTables() const {
    KADO_FAULT_PROBE(Word);
    return detail::Make<Tables>(state_, nullptr);
}
Comments Document::GetComments() const {
    KADO_FAULT_PROBE(Word);
    return detail::Make<Comments>(state_, nullptr);
}
Shapes Document::GetShapes() const {
    KADO_FAULT_PROBE(Word);
    return detail::Make<Shapes>(state_);
}
bool Document::PrintRevisions() const {
    KADO_FAULT_PROBE(Word);
    return state_->printRevisions;
}
void Document::SetPrintRevisions(bool v) {
    KADO_FAULT_PROBE(Word);
    state_->printRevisions = v;
}
bool Document::ShowRevisions() const {
    KADO_FAULT_PROBE(Word);
    return state_->showRevisions;
}
void Document::SetShowRevisions(bool v) {
    KADO_FAULT_PROBE(Word);
    state_->showRevisions = v;
}

Window::Window(DocPtr doc) : Handle(std::move(doc)) {}
View Window::GetView() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<View>(doc_);
}

View::View(DocPtr doc) : Handle(std::move(doc)) {}
bool View::ShowAll() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return doc_->showAll;
}
void View::SetShowAll(bool v) {
    Live();
    KADO_FAULT_PROBE(Word);
    doc_->showAll = v;
}
bool View::ShowHiddenText() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return doc_->showHiddenText;
}
void View::SetShowHiddenText(bool v) {
    Live();
    KADO_FAULT_PROBE(Word);
    doc_->showHiddenText = v;
}

namespace {
bool* ViewFlag(detail::DocState& d, std::string_view name) {
    if (name == "ShowAll") return &d.showAll;
    if (name == "ShowHiddenText") return &d.showHiddenText;
    if (name == "ShowComments") return &d.showComments;
    if (name == "ShowInsertionsAndDeletions") return &d.showInsertionsAndDeletions;
    if (name == "ShowFormatting") return &d.showFormatting;
    com::Raise(com::err::ObjectDoesNotSupport);
}
}  // namespace

bool View::GetByName(std::string_view name) const {
    Live();
    KADO_FAULT_PROBE(Word);
    return *ViewFlag(*doc_, name);
}
void View::SetByName(std::string_view name, bool v) {
    Live();
    KADO_FAULT_PROBE(Word);
    *ViewFlag(*doc_, name) = v;
}

}  // namespace kado::word
