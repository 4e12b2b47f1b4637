// Document-order views of the stream and the primitive edits every object uses.
#include <algorithm>

#include "platform/word/docstate.h"

namespace kado::word::detail {

void DocState::InsertChars(Story& story, long at, const std::vector<Ch>& chars) {
    if (chars.empty()) return;
    story.chars.insert(story.chars.begin() + at, chars.begin(), chars.end());
    Inserted(story.type, story.id, at, static_cast<long>(chars.size()));
    ++version;
}

void DocState::RemoveChars(Story& story, long from, long to) {
    if (to <= from) return;
    story.chars.erase(story.chars.begin() + from, story.chars.begin() + to);
    Removed(story.type, story.id, from, to);
    ++version;
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
    com::Raise(5941, "The requested member of the collection does not exist.");
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
