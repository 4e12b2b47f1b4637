// Ranges over a story: reading, editing and formatting a stretch of text.
#include <algorithm>
#include <functional>
#include <utility>

#include "docstate.h"
#include "platform/com/fault_plan.h"
#include "edit.h"
#include "text_codec.h"

namespace kado::word {

using detail::Ch;
using detail::Kind;

namespace {

detail::Story& StoryOf(const DocPtr& doc, const detail::RangeState& r) {
    auto* s = doc->FindStory(r.story, r.storyId);
    if (!s) com::Raise(err::NoSuchMember);
    return *s;
}

long StoryLen(const detail::Story& s) { return static_cast<long>(s.chars.size()); }

enum class WordClass { Alnum, Space, Single };

WordClass ClassOf(const Ch& c) {
    if (c.kind != Kind::Text) return WordClass::Single;
    if (c.c == U' ' || c.c == U'\t' || c.c == 0xA0) return WordClass::Space;
    bool alnum = (c.c >= U'0' && c.c <= U'9') || (c.c >= U'a' && c.c <= U'z') || (c.c >= U'A' && c.c <= U'Z') ||
                 c.c == U'_' || c.c >= 0xC0;
    return alnum ? WordClass::Alnum : WordClass::Single;
}

// A word is a run of letters and digits, or one other character, with the
// blanks that follow it.
bool IsWordStart(const detail::Chars& cs, long i) {
    if (i <= 0) return true;
    if (i >= static_cast<long>(cs.size())) return true;
    auto cur = ClassOf(cs[i]);
    auto prev = ClassOf(cs[i - 1]);
    if (cur == WordClass::Space) return false;
    if (prev == WordClass::Space) return true;
    return cur == WordClass::Single || cur != prev;
}

long MovePos(const detail::Story& s, long pos, Unit unit, long count, long& moved) {
    long n = StoryLen(s);
    moved = 0;
    if (unit == Unit::Character) {
        long target = std::clamp(pos + count, 0L, n);
        moved = target - pos;
        return target;
    }
    if (unit == Unit::Story) {
        long target = count < 0 ? 0 : n;
        moved = target != pos ? (count < 0 ? -1 : 1) : 0;
        return target;
    }
    auto isStart = [&](long i) {
        if (unit == Unit::Word) return IsWordStart(s.chars, i);
        return i <= 0 || i >= n || s.chars[i - 1].kind == Kind::ParaEnd || s.chars[i - 1].kind == Kind::CellEnd ||
               s.chars[i - 1].kind == Kind::RowEnd;
    };
    long step = count < 0 ? -1 : 1;
    for (long k = 0; k != count; k += step) {
        if ((step < 0 && pos == 0) || (step > 0 && pos == n)) break;
        pos += step;
        while (pos > 0 && pos < n && !isStart(pos)) pos += step;
        moved += step;
    }
    return pos;
}

}  // namespace

Range::Range(DocPtr doc, StoryType story, int64_t storyId, long start, long end)
    : Handle(std::move(doc)), state_(doc_->Track(story, storyId, start, end)) {}

namespace {
// A duplicate is tracked on its own; the duplicate of an empty range is empty.
std::shared_ptr<detail::RangeState> Duplicate(const DocPtr& doc, const std::shared_ptr<detail::RangeState>& r) {
    if (!doc) return nullptr;
    return doc->Track(r->story, r->storyId, r->start, r->end);
}
}  // namespace

Range::Range(const Range& other) : Handle(other.doc_), state_(Duplicate(doc_, other.state_)) {}

Range& Range::operator=(const Range& other) {
    if (this != &other) {
        doc_ = other.doc_;
        state_ = Duplicate(doc_, other.state_);
    }
    return *this;
}

Range::Range(Range&&) noexcept = default;
Range& Range::operator=(Range&&) noexcept = default;
Range::~Range() = default;

long Range::Start() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return state_->start;
}
long Range::End() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return state_->end;
}
StoryType Range::Story() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return state_->story;
}

void Range::SetStart(long pos) {
    Live();
    KADO_FAULT_PROBE(Word);
    long n = StoryLen(StoryOf(doc_, *state_));
    if (pos < 0 || pos > n) com::Raise(err::ValueOutOfRange);
    state_->start = pos;
    state_->end = std::max(state_->end, pos);
}

void Range::SetEnd(long pos) {
    Live();
    KADO_FAULT_PROBE(Word);
    long n = StoryLen(StoryOf(doc_, *state_));
    if (pos < 0 || pos > n) com::Raise(err::ValueOutOfRange);
    state_->end = pos;
    state_->start = std::min(state_->start, pos);
}

void Range::SetRange(long start, long end) {
    Live();
    KADO_FAULT_PROBE(Word);
    long n = StoryLen(StoryOf(doc_, *state_));
    if (start < 0 || end < start || end > n) com::Raise(err::ValueOutOfRange);
    state_->start = start;
    state_->end = end;
}

std::string Range::Text() const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& s = StoryOf(doc_, *state_);
    return detail::TextOf(s, state_->start, std::min(state_->end, StoryLen(s)));
}

void Range::SetText(std::string_view text) {
    Live();
    KADO_FAULT_PROBE(Word);
    auto& s = StoryOf(doc_, *state_);
    long start = state_->start;
    detail::DeleteContent(*doc_, s, start, state_->end);
    long at = detail::InsertionPoint(s, start);
    long n = detail::InsertText(*doc_, s, at, text);
    state_->start = at;
    state_->end = at + n;
}

void Range::Collapse(CollapseDirection direction) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (direction == CollapseDirection::Start)
        state_->end = state_->start;
    else
        state_->start = state_->end;
}

long Range::MoveStart(Unit unit, long count) {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& s = StoryOf(doc_, *state_);
    long moved = 0;
    state_->start = MovePos(s, state_->start, unit, count, moved);
    state_->end = std::max(state_->end, state_->start);
    return moved;
}

long Range::MoveEnd(Unit unit, long count) {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& s = StoryOf(doc_, *state_);
    long moved = 0;
    state_->end = MovePos(s, state_->end, unit, count, moved);
    state_->start = std::min(state_->start, state_->end);
    return moved;
}

void Range::InsertAfter(std::string_view text) {
    Live();
    KADO_FAULT_PROBE(Word);
    auto& s = StoryOf(doc_, *state_);
    long oldStart = state_->start;
    long at = detail::InsertionPoint(s, state_->end, true);
    long n = detail::InsertText(*doc_, s, at, text);
    state_->start = std::min(oldStart, at);
    state_->end = std::max(state_->end, at + n);
}

void Range::InsertBefore(std::string_view text) {
    Live();
    KADO_FAULT_PROBE(Word);
    auto& s = StoryOf(doc_, *state_);
    long at = detail::InsertionPoint(s, state_->start);
    detail::InsertText(*doc_, s, at, text);
    state_->start = at;
}

void Range::InsertParagraphBefore() {
    Live();
    KADO_FAULT_PROBE(Word);
    // Before the end mark of a table's last row the new paragraph goes after
    // the table, not into its last cell, where a table could not follow it.
    auto& s = StoryOf(doc_, *state_);
    const long at = state_->start, n = StoryLen(s);
    if (at >= 0 && at + 1 < n && s.chars[at].kind == Kind::RowEnd && s.chars[at + 1].table != s.chars[at].table) {
        const long used = detail::InsertText(*doc_, s, at + 1, "\r");
        state_->start = at + 1;
        state_->end = std::max(state_->end, at + 1 + used);
        return;
    }
    InsertBefore("\r");
}
void Range::InsertParagraphAfter() {
    Live();
    KADO_FAULT_PROBE(Word);
    InsertAfter("\r");
}

void Range::Delete() {
    Live();
    KADO_FAULT_PROBE(Word);
    auto& s = StoryOf(doc_, *state_);
    detail::DeleteContent(*doc_, s, state_->start, state_->end);
}

bool Range::Bold() const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& s = StoryOf(doc_, *state_);
    return detail::AllRuns(*doc_, s, state_->start, state_->end, [](const detail::RunFormat& f) { return f.bold; });
}

void Range::SetBold(bool bold) {
    Live();
    KADO_FAULT_PROBE(Word);
    detail::ChangeRuns(*doc_, StoryOf(doc_, *state_), state_->start, state_->end,
                       [bold](detail::RunFormat& f) { f.bold = bold; });
}

UnderlineStyle Range::Underline() const {
    Live();
    KADO_FAULT_PROBE(Word);
    const auto& s = StoryOf(doc_, *state_);
    return detail::AllRuns(*doc_, s, state_->start, state_->end, [](const detail::RunFormat& f) { return f.underline; })
               ? UnderlineStyle::Single
               : UnderlineStyle::None;
}

void Range::SetUnderline(UnderlineStyle u) {
    Live();
    KADO_FAULT_PROBE(Word);
    detail::ChangeRuns(*doc_, StoryOf(doc_, *state_), state_->start, state_->end,
                       [u](detail::RunFormat& f) { f.underline = u == UnderlineStyle::Single; });
}

Font Range::GetFont() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<Font>(doc_, state_);
}
ParagraphFormat Range::GetParagraphFormat() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<ParagraphFormat>(doc_, state_);
}

Comments Range::GetComments() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<Comments>(doc_, state_);
}
Tables Range::GetTables() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<Tables>(doc_, state_);
}

void Range::Select() const {
    Live();
    KADO_FAULT_PROBE(Word);
    *doc_->selection = *state_;
    doc_->selectedShape = 0;
    doc_->selectedColumn = 0;
}

Font::Font(DocPtr doc, std::shared_ptr<detail::RangeState> target)
    : Handle(std::move(doc)), target_(std::move(target)) {}

float Font::Size() const {
    Live();
    KADO_FAULT_PROBE(Word);
    auto* s = &StoryOf(doc_, *target_);
    long i = std::min(target_->start, StoryLen(*s) - 1);
    float size = doc_->runFormats[s->chars[i].run].size;
    return size > 0 ? size : doc_->defaultFontSize;
}

void Font::SetSize(float points) {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!(points >= 1 && points <= 1638)) com::Raise(err::ValueOutOfRange);
    auto* s = &StoryOf(doc_, *target_);
    long end = target_->end > target_->start ? target_->end : target_->start;
    // A collapsed target sets the size of what is typed next there.
    if (end == target_->start) {
        doc_->pendingSize = points;
        return;
    }
    detail::ChangeRuns(*doc_, *s, target_->start, end, [points](detail::RunFormat& f) { f.size = points; });
}

bool Font::Bold() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return detail::Make<Range>(doc_, target_->story, target_->storyId, target_->start, target_->end).Bold();
}
void Font::SetBold(bool bold) {
    Live();
    KADO_FAULT_PROBE(Word);
    detail::Make<Range>(doc_, target_->story, target_->storyId, target_->start, target_->end).SetBold(bold);
}

ParagraphFormat::ParagraphFormat(DocPtr doc, std::shared_ptr<detail::RangeState> target)
    : Handle(std::move(doc)), target_(std::move(target)) {}

namespace {

// The paragraph marks of what a paragraph format applies to, as [first, last]
// stream positions. A range that ends with a cell's or row's end mark stops at
// that cell's last paragraph; the mark itself belongs to no paragraph of the
// next cell.
std::pair<long, long> ParagraphSpan(const detail::Story& s, const detail::RangeState& target) {
    long tail = std::max(target.start, target.end - 1);
    while (tail > target.start && tail < StoryLen(s) &&
           (s.chars[tail].kind == Kind::CellEnd || s.chars[tail].kind == Kind::RowEnd))
        --tail;
    return {detail::ParagraphEndAt(s, target.start), detail::ParagraphEndAt(s, tail)};
}

void ChangeParagraphs(detail::DocState& d, detail::Story& s, const detail::RangeState& target,
                      const std::function<void(detail::ParaFormat&)>& change) {
    const auto [first, last] = ParagraphSpan(s, target);
    for (long i = first; i <= last; ++i) {
        auto& c = s.chars[i];
        if (c.kind != Kind::ParaEnd) continue;
        auto f = d.paraFormats[c.aux];
        change(f);
        c.aux = d.InternPara(f);
    }
}

bool EveryParagraph(const detail::DocState& d, const detail::Story& s, const detail::RangeState& target,
                    const std::function<bool(const detail::ParaFormat&)>& pred) {
    const auto [first, last] = ParagraphSpan(s, target);
    for (long i = first; i <= last; ++i)
        if (s.chars[i].kind == Kind::ParaEnd && !pred(d.paraFormats[s.chars[i].aux])) return false;
    return true;
}

detail::OnOff Switch(bool on) { return on ? detail::OnOff::On : detail::OnOff::Off; }

}  // namespace

Alignment ParagraphFormat::GetAlignment() const {
    Live();
    KADO_FAULT_PROBE(Word);
    auto* s = &StoryOf(doc_, *target_);
    long i = detail::ParagraphEndAt(*s, target_->start);
    int a = doc_->paraFormats[s->chars[i].aux].alignment;
    return a < 0 ? Alignment::Left : static_cast<Alignment>(a);
}

void ParagraphFormat::SetAlignment(Alignment a) {
    Live();
    KADO_FAULT_PROBE(Word);
    int v = static_cast<int>(a);
    if (v < 0 || v > 3) com::Raise(err::NumberOutOfRange);
    ChangeParagraphs(*doc_, StoryOf(doc_, *target_), *target_, [v](detail::ParaFormat& f) { f.alignment = v; });
}

bool ParagraphFormat::KeepWithNext() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return EveryParagraph(*doc_, StoryOf(doc_, *target_), *target_,
                          [](const detail::ParaFormat& f) { return f.keepNext == detail::OnOff::On; });
}

void ParagraphFormat::SetKeepWithNext(bool keep) {
    Live();
    KADO_FAULT_PROBE(Word);
    ChangeParagraphs(*doc_, StoryOf(doc_, *target_), *target_, [keep](detail::ParaFormat& f) { f.keepNext = Switch(keep); });
}

bool ParagraphFormat::KeepTogether() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return EveryParagraph(*doc_, StoryOf(doc_, *target_), *target_,
                          [](const detail::ParaFormat& f) { return f.keepLines == detail::OnOff::On; });
}

void ParagraphFormat::SetKeepTogether(bool keep) {
    Live();
    KADO_FAULT_PROBE(Word);
    ChangeParagraphs(*doc_, StoryOf(doc_, *target_), *target_, [keep](detail::ParaFormat& f) { f.keepLines = Switch(keep); });
}

}  // namespace kado::word
