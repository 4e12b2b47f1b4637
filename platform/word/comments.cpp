// Comments: a reference mark in the main text, an anchored stretch and a text story.
#include <algorithm>
#include <vector>

#include "docstate.h"
#include "platform/com/fault_plan.h"
#include "edit.h"

namespace kado::word {

using detail::Ch;
using detail::Kind;

namespace {

std::vector<int64_t> InScope(detail::DocState& d, const detail::RangeState& scope) {
    if (scope.story != StoryType::Main) return {};
    return d.CommentsIn(scope.start, scope.end);
}

detail::CommentData& Data(detail::DocState& d, int64_t id) {
    auto* c = d.FindComment(id);
    if (!c) com::Raise(err::ObjectDeleted);
    return *c;
}

}  // namespace

Comments::Comments(DocPtr doc, std::shared_ptr<detail::RangeState> scope)
    : Handle(std::move(doc)), scope_(std::move(scope)) {}

int Comments::Count() const {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!scope_) return static_cast<int>(doc_->CommentOrder().size());
    return static_cast<int>(InScope(*doc_, *scope_).size());
}

Comment Comments::Item(int index) const {
    Live();
    KADO_FAULT_PROBE(Word);
    if (!scope_) {
        const auto& all = doc_->CommentOrder();
        if (index < 1 || index > static_cast<int>(all.size())) com::Raise(err::NoSuchMember);
        return detail::Make<Comment>(doc_, all[index - 1]);
    }
    auto list = InScope(*doc_, *scope_);
    if (index < 1 || index > static_cast<int>(list.size())) com::Raise(err::NoSuchMember);
    return detail::Make<Comment>(doc_, list[index - 1]);
}

Comment Comments::Add(const Range& anchor, std::string_view text, const CommentAuthor& author) {
    Live();
    detail::Access::Live(anchor);
    KADO_FAULT_PROBE(Word);
    if (detail::Access::DocOf(anchor) != doc_ || anchor.Story() != StoryType::Main)
        com::Raise(err::NotAvailable, "This method or property is not available because the object refers to a comment.");
    auto& d = *doc_;
    int64_t id = d.nextId++;
    long start = anchor.Start();
    long end = anchor.End();
    long at = detail::InsertionPoint(d.main, end, true);
    // The anchor may not end beyond where its mark goes.
    end = std::min(end, at);
    start = std::min(start, end);
    detail::CommentData data;
    data.id = id;
    data.author = author.name;
    data.initials = author.initials;
    data.scope = d.Track(StoryType::Main, 0, start, end);
    d.comments.Add(std::move(data));
    auto story = std::make_unique<detail::Story>();
    story->type = StoryType::Comments;
    story->id = id;
    story->chars.push_back(Ch{U'\r', Kind::ParaEnd, 0, 0, 0});
    auto* st = story.get();
    d.stories.Add(std::move(story));
    detail::InsertText(d, *st, 0, text);
    // Ranges that start at the mark's place and reach beyond it (a selected empty
    // cell) keep covering it: the mark goes inside them, not in front of them.
    std::vector<std::shared_ptr<detail::RangeState>> covering;
    auto covers = [&](const std::shared_ptr<detail::RangeState>& r) {
        if (r && r->story == StoryType::Main && r->start == at && r->end > at) covering.push_back(r);
    };
    for (auto& w : d.ranges) covers(w.owner.lock());
    covers(d.selection);
    const auto& host = d.main.chars[at];
    d.InsertChars(d.main, at, {Ch{U'\x05', Kind::CommentRef, host.run, static_cast<uint32_t>(id), host.table}});
    for (auto& r : covering) r->start = at;
    return detail::Make<Comment>(doc_, id);
}

Comment::Comment(DocPtr doc, int64_t id) : Handle(std::move(doc)), id_(id) {}

Range Comment::GetRange() const {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_);
    auto* st = doc_->FindStory(StoryType::Comments, id_);
    if (!st) com::Raise(err::NoSuchMember);
    return detail::Make<Range>(doc_, StoryType::Comments, id_, 0, static_cast<long>(st->chars.size()) - 1);
}

Range Comment::Reference() const {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_);
    long pos = doc_->CommentRefPos(id_);
    if (pos < 0) com::Raise(err::ObjectDeleted);
    return detail::Make<Range>(doc_, StoryType::Main, 0, pos, pos + 1);
}

Range Comment::Scope() const {
    Live();
    KADO_FAULT_PROBE(Word);
    auto& c = Data(*doc_, id_);
    return detail::Make<Range>(doc_, StoryType::Main, 0, c.scope->start, c.scope->end);
}

std::string Comment::Text() const {
    Live();
    KADO_FAULT_PROBE(Word);
    return GetRange().Text();
}

void Comment::Delete() {
    Live();
    KADO_FAULT_PROBE(Word);
    Data(*doc_, id_);
    long pos = doc_->CommentRefPos(id_);
    if (pos >= 0) doc_->RemoveChars(doc_->main, pos, pos + 1);
    detail::ForgetComment(*doc_, id_);
}

}  // namespace kado::word
