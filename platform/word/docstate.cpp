// Document-order views of the stream and the primitive edits every object uses.
#include <algorithm>

#include "docstate.h"

namespace kado::word::detail {

namespace {

bool IsStructure(const Ch& c) { return c.kind == Kind::CellEnd || c.kind == Kind::RowCr || c.kind == Kind::RowEnd; }
bool IsMark(const Ch& c) { return c.kind == Kind::CommentRef || c.kind == Kind::ShapeAnchor; }

enum class Edge { Start, End, Mark };

// Applies a position map to a table; marks are mapped as absolute positions.
template <typename F>
void MapLayout(TableLayout& t, F map) {
    const long oldStart = t.start;
    t.start = map(t.start, Edge::Start);
    t.end = map(t.end, Edge::End);
    for (auto& row : t.cellsRel)
        for (auto& p : row) p = map(oldStart + p, Edge::Mark) - t.start;
    for (auto& p : t.rowEndsRel) p = map(oldStart + p, Edge::Mark) - t.start;
}

// First layout that ends at or after a position (layouts are in stream order).
std::vector<TableLayout>::iterator FirstReaching(std::vector<TableLayout>& ls, long pos) {
    return std::lower_bound(ls.begin(), ls.end(), pos, [](const TableLayout& t, long p) { return t.end < p; });
}

}  // namespace

// Text edits leave the table structure as it is, so the cached layouts are
// shifted instead of rebuilt; tables wholly after the edit just move.
void DocState::InsertChars(Story& story, long at, const std::vector<Ch>& chars) {
    if (chars.empty()) return;
    story.chars.Insert(static_cast<size_t>(at), chars.data(), chars.size());
    long n = static_cast<long>(chars.size());
    Inserted(story.type, story.id, at, n);
    const bool current = &story == &main && layoutVersion_ == version;
    bool keep = current && std::none_of(chars.begin(), chars.end(), IsStructure);
    const bool keepMarks = &story != &main || std::none_of(chars.begin(), chars.end(), IsMark);
    ++version;
    if (keepMarks) KeepMarkIndexes(&story == &main ? at : -1, n);
    if (&story != &main) {
        if (layoutVersion_ == version - 1) layoutVersion_ = version;
        return;
    }
    if (current && !keep) return RescanLayouts(at, at, n);
    if (!keep) return;
    const int64_t into = chars.front().table;
    for (auto it = FirstReaching(layouts_, at); it != layouts_.end(); ++it) {
        if (it->start > at) {
            it->start += n;
            it->end += n;
            continue;
        }
        MapLayout(*it, [&](long p, Edge e) {
            if (p > at) return p + n;
            if (p < at) return p;
            // At the insertion point only the table's own text goes inside its bounds.
            if (e == Edge::Start) return into == it->id ? p : p + n;
            if (e == Edge::End) return into == it->id ? p + n : p;
            return p + n;
        });
    }
    layoutVersion_ = version;
}

void DocState::RemoveChars(Story& story, long from, long to) {
    if (to <= from) return;
    const bool current = &story == &main && layoutVersion_ == version;
    bool keep = current && std::none_of(story.chars.begin() + from, story.chars.begin() + to, IsStructure);
    const bool keepMarks =
        &story != &main || std::none_of(story.chars.begin() + from, story.chars.begin() + to, IsMark);
    story.chars.Erase(static_cast<size_t>(from), static_cast<size_t>(to));
    Removed(story.type, story.id, from, to);
    ++version;
    if (keepMarks) KeepMarkIndexes(&story == &main ? to : -1, from - to);
    if (&story != &main) {
        if (layoutVersion_ == version - 1) layoutVersion_ = version;
        return;
    }
    if (current && !keep) return RescanLayouts(from, to, from - to);
    if (!keep) return;
    const long len = to - from;
    for (auto it = FirstReaching(layouts_, from); it != layouts_.end(); ++it) {
        if (it->start >= to) {
            it->start -= len;
            it->end -= len;
            continue;
        }
        MapLayout(*it, [&](long p, Edge) { return p <= from ? p : (p >= to ? p - len : from); });
    }
    layoutVersion_ = version;
}

// A table is a stretch of characters of one table id; from and to must not cut one.
void DocState::ScanLayouts(long from, long to, std::vector<TableLayout>& out) const {
    const auto& cs = main.chars;
    for (long i = from; i < to;) {
        if (cs[i].table == 0) { ++i; continue; }
        TableLayout t;
        t.id = cs[i].table;
        t.start = i;
        t.cellsRel.emplace_back();
        while (i < to && cs[i].table == t.id) {
            if (cs[i].kind == Kind::CellEnd) t.cellsRel.back().push_back(i - t.start);
            if (cs[i].kind == Kind::RowEnd) {
                t.rowEndsRel.push_back(i - t.start);
                t.cellsRel.emplace_back();
            }
            ++i;
        }
        t.cellsRel.pop_back();  // the empty row opened after the last row end
        t.end = i;
        out.push_back(std::move(t));
    }
}

// After an edit of the main text's table structure (old [from, to) replaced
// by to - from + delta characters), only the tables at the edit are scanned
// again; those touching it are taken in, as the new characters may join them.
void DocState::RescanLayouts(long from, long to, long delta) {
    auto first = FirstReaching(layouts_, from);
    auto last = first;
    long r0 = from, r1 = to + delta;
    for (; last != layouts_.end() && last->start <= to; ++last) {
        r0 = std::min(r0, last->start);
        if (last->end >= to) r1 = std::max(r1, last->end + delta);
    }
    for (auto it = last; it != layouts_.end(); ++it) {
        it->start += delta;
        it->end += delta;
    }
    std::vector<TableLayout> fresh;
    ScanLayouts(r0, r1, fresh);
    const auto at = layouts_.erase(first, last);
    layouts_.insert(at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    layoutIndex_.clear();
    for (size_t k = 0; k < layouts_.size(); ++k) layoutIndex_.emplace(layouts_[k].id, k);
    layoutVersion_ = version;
}

const std::vector<TableLayout>& DocState::Layouts() {
    if (layoutVersion_ == version) return layouts_;
    layouts_.clear();
    layoutIndex_.clear();
    ScanLayouts(0, static_cast<long>(main.chars.size()), layouts_);
    for (size_t k = 0; k < layouts_.size(); ++k) layoutIndex_.emplace(layouts_[k].id, k);
    layoutVersion_ = version;
    return layouts_;
}

const TableLayout& DocState::Layout(int64_t tableId) {
    const auto& ls = Layouts();
    auto it = layoutIndex_.find(tableId);
    if (it == layoutIndex_.end()) com::Raise(err::NoSuchMember);
    return ls[it->second];
}

std::vector<const TableLayout*> DocState::TablesIn(long from, long to) {
    Layouts();
    std::vector<const TableLayout*> out;
    // A table overlaps when it ends after from (holds from, for an empty range).
    auto it = std::upper_bound(layouts_.begin(), layouts_.end(), from, [](long p, const TableLayout& t) { return p < t.end; });
    for (; it != layouts_.end(); ++it) {
        const bool in = from == to ? it->start <= from && from < it->end : it->start < to && it->end > from;
        if (!in) break;
        out.push_back(&*it);
    }
    return out;
}

// An edit that neither adds nor removes a comment mark or shape anchor leaves
// their order as it is; in the main text, the marks from `from` on move by
// `by`. Index scans of a long invoice after every cell written are saved so.
void DocState::KeepMarkIndexes(long from, long by) {
    if (commentVersion_ == version - 1) {
        if (from >= 0)
            for (auto it = std::lower_bound(commentPos_.begin(), commentPos_.end(), from); it != commentPos_.end(); ++it)
                *it += by;
        commentVersion_ = version;
    }
    if (shapeVersion_ == version - 1) shapeVersion_ = version;
}

void DocState::IndexComments() {
    if (commentVersion_ == version) return;
    commentOrder_.clear();
    commentPos_.clear();
    commentIndex_.clear();
    const auto& cs = main.chars;
    for (long i = 0; i < static_cast<long>(cs.size()); ++i)
        if (cs[i].kind == Kind::CommentRef) {
            commentIndex_.emplace(cs[i].aux, commentOrder_.size());
            commentOrder_.push_back(cs[i].aux);
            commentPos_.push_back(i);
        }
    commentVersion_ = version;
}

// Only range queries need the anchors; order and reference lookups do not sort them.
void DocState::IndexAnchors() {
    IndexComments();
    if (anchorVersion_ == version) return;
    anchors_.clear();
    for (size_t k = 0; k < commentOrder_.size(); ++k)
        if (const auto* c = FindComment(commentOrder_[k]); c && c->scope && c->scope->start < c->scope->end)
            anchors_.push_back({c->scope->start, c->scope->end, k});
    std::sort(anchors_.begin(), anchors_.end(), [](const Anchor& a, const Anchor& b) { return a.start < b.start; });
    // Implicit segment tree: node k covers a stretch of anchors, leaves from m on.
    size_t m = 1;
    while (m < anchors_.size()) m *= 2;
    anchorMaxEnd_.assign(2 * m, -1);
    for (size_t k = 0; k < anchors_.size(); ++k) anchorMaxEnd_[m + k] = anchors_[k].end;
    for (size_t k = m - 1; k >= 1; --k) anchorMaxEnd_[k] = std::max(anchorMaxEnd_[2 * k], anchorMaxEnd_[2 * k + 1]);
    anchorVersion_ = version;
}

const std::vector<int64_t>& DocState::CommentOrder() {
    IndexComments();
    return commentOrder_;
}

long DocState::CommentRefPos(int64_t id) {
    IndexComments();
    auto it = commentIndex_.find(id);
    return it == commentIndex_.end() ? -1 : commentPos_[it->second];
}

std::vector<int64_t> DocState::CommentsIn(long from, long to) {
    IndexAnchors();
    std::vector<size_t> hits;
    // References in the range.
    auto lo = std::lower_bound(commentPos_.begin(), commentPos_.end(), from);
    if (from == to) {
        for (; lo != commentPos_.end() && *lo == from; ++lo) hits.push_back(static_cast<size_t>(lo - commentPos_.begin()));
    } else {
        for (; lo != commentPos_.end() && *lo < to; ++lo) hits.push_back(static_cast<size_t>(lo - commentPos_.begin()));
    }
    // Anchors that start before the range ends and end after it starts.
    const size_t m = anchorMaxEnd_.size() / 2;
    const size_t starting = static_cast<size_t>(
        std::lower_bound(anchors_.begin(), anchors_.end(), to, [](const Anchor& a, long p) { return a.start < p; }) -
        anchors_.begin());
    auto visit = [&](auto&& self, size_t node, size_t lo2, size_t hi2) -> void {
        if (lo2 >= starting || anchorMaxEnd_[node] <= from) return;
        if (hi2 - lo2 == 1) {
            hits.push_back(anchors_[lo2].order);
            return;
        }
        const size_t mid = (lo2 + hi2) / 2;
        self(self, 2 * node, lo2, mid);
        self(self, 2 * node + 1, mid, hi2);
    };
    if (!anchors_.empty()) visit(visit, 1, 0, m);
    std::sort(hits.begin(), hits.end());
    hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
    std::vector<int64_t> out;
    out.reserve(hits.size());
    for (size_t k : hits) out.push_back(commentOrder_[k]);
    return out;
}

const std::vector<int64_t>& DocState::ShapeOrder() {
    if (shapeVersion_ == version) return shapeOrder_;
    shapeOrder_.clear();
    for (const auto& c : main.chars)
        if (c.kind == Kind::ShapeAnchor) shapeOrder_.push_back(c.aux);
    shapeVersion_ = version;
    return shapeOrder_;
}

}  // namespace kado::word::detail
