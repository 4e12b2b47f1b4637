// Document-order views of the stream and the primitive edits every object uses.
#include <algorithm>

#include "platform/word/docstate.h"

namespace kado::word::detail {

namespace {

bool IsStructure(const Ch& c) { return c.kind == Kind::CellEnd || c.kind == Kind::RowCr || c.kind == Kind::RowEnd; }

enum class Edge { Start, End, Mark };

template <typename F>
void MapLayout(TableLayout& t, F map) {
    t.start = map(t.start, Edge::Start);
    t.end = map(t.end, Edge::End);
    for (auto& row : t.cells)
        for (auto& p : row) p = map(p, Edge::Mark);
    for (auto& p : t.rowEnds) p = map(p, Edge::Mark);
}

}  // namespace

// Text edits leave the table structure as it is, so the cached layouts are
// shifted instead of rebuilt; this keeps cell-by-cell writing linear.
void DocState::InsertChars(Story& story, long at, const std::vector<Ch>& chars) {
    if (chars.empty()) return;
    story.chars.insert(story.chars.begin() + at, chars.begin(), chars.end());
    long n = static_cast<long>(chars.size());
    Inserted(story.type, story.id, at, n);
    bool keep = &story == &main && layoutVersion_ == version &&
                std::none_of(chars.begin(), chars.end(), IsStructure);
    ++version;
    if (&story != &main) {
        if (layoutVersion_ == version - 1) layoutVersion_ = version;
        return;
    }
    if (!keep) return;
    int64_t into = chars.front().table;
    for (auto& t : layouts_) {
        MapLayout(t, [&](long p, Edge e) {
            if (p > at) return p + n;
            if (p < at) return p;
            // At the insertion point only the table's own text goes inside its bounds.
            if (e == Edge::Start) return into == t.id ? p : p + n;
            if (e == Edge::End) return into == t.id ? p + n : p;
            return p + n;
        });
    }
    layoutVersion_ = version;
}

void DocState::RemoveChars(Story& story, long from, long to) {
    if (to <= from) return;
    bool keep = &story == &main && layoutVersion_ == version &&
                std::none_of(story.chars.begin() + from, story.chars.begin() + to, IsStructure);
    story.chars.erase(story.chars.begin() + from, story.chars.begin() + to);
    Removed(story.type, story.id, from, to);
    ++version;
    if (&story != &main) {
        if (layoutVersion_ == version - 1) layoutVersion_ = version;
        return;
    }
    if (!keep) return;
    for (auto& t : layouts_)
        MapLayout(t, [&](long p, Edge) { return p <= from ? p : (p >= to ? p - (to - from) : from); });
    layoutVersion_ = version;
}

const std::vector<TableLayout>& DocState::Layouts() {
    if (layoutVersion_ == version) return layouts_;
    layouts_.clear();
    const auto& cs = main.chars;
    long n = static_cast<long>(cs.size());
    for (long i = 0; i < n;) {
        if (cs[i].table == 0) { ++i; continue; }
        TableLayout t;
        t.id = cs[i].table;
        t.start = i;
        t.cells.emplace_back();
        while (i < n && cs[i].table == t.id) {
            if (cs[i].kind == Kind::CellEnd) t.cells.back().push_back(i);
            if (cs[i].kind == Kind::RowEnd) {
                t.rowEnds.push_back(i);
                t.cells.emplace_back();
            }
            ++i;
        }
        t.cells.pop_back();  // the empty row opened after the last row end
        t.end = i;
        layouts_.push_back(std::move(t));
    }
    layoutVersion_ = version;
    return layouts_;
}

const TableLayout& DocState::Layout(int64_t tableId) {
    for (const auto& t : Layouts())
        if (t.id == tableId) return t;
    RaiseMissingMember();
}

const std::vector<int64_t>& DocState::CommentOrder() {
    if (commentVersion_ == version) return commentOrder_;
    commentOrder_.clear();
    commentPos_.clear();
    for (long i = 0; i < static_cast<long>(main.chars.size()); ++i)
        if (main.chars[i].kind == Kind::CommentRef) {
            commentOrder_.push_back(main.chars[i].aux);
            commentPos_.push_back(i);
        }
    commentVersion_ = version;
    return commentOrder_;
}

long DocState::CommentRefPos(int64_t id) {
    const auto& order = CommentOrder();
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] == id) return commentPos_[i];
    return -1;
}

const std::vector<int64_t>& DocState::ShapeOrder() {
    if (shapeVersion_ == version) return shapeOrder_;
    shapeOrder_.clear();
    for (const auto& c : main.chars)
        if (c.kind == Kind::ShapeAnchor) shapeOrder_.push_back(c.aux);
    shapeVersion_ = version;
    return shapeOrder_;
}

CommentData* DocState::FindComment(int64_t id) {
    for (auto& c : comments)
        if (c.id == id) return &c;
    return nullptr;
}

ShapeData* DocState::FindShape(int64_t id) {
    for (auto& s : shapes)
        if (s.id == id) return &s;
    return nullptr;
}

TableData* DocState::FindTable(int64_t id) {
    for (auto& t : tables)
        if (t.id == id) return &t;
    return nullptr;
}

}  // namespace kado::word::detail
