// Fingerprints of the model a block or comment was read into, and the comment
// ids and marks that both the fingerprints and the writer use.
#include "source_blocks.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string_view>

namespace kado::word::detail {
namespace {

void Mix(uint64_t& h, uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
}

// Characters go to four lanes by position, so that a long block's print is not
// one chain of dependent multiplications; Final() folds the lanes in.
struct Print {
    uint64_t h = 0x9E3779B97F4A7C15ull;
    uint64_t lane[4] = {1, 2, 3, 4};
    uint64_t* to = &h;  // where Add() mixes: the head, or the current character's lane
    void Add(uint64_t v) { Mix(*to, v); }
    void Add(std::string_view s) {
        Add(std::hash<std::string_view>{}(s));
        Add(s.size());
    }
    void Add(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        Add(uint64_t{bits});
    }
    uint64_t Final() const {
        uint64_t out = h;
        for (uint64_t l : lane) Mix(out, l);
        return out;
    }
};

bool Structural(Kind k) { return k == Kind::CellEnd || k == Kind::RowCr || k == Kind::RowEnd; }

void AddChars(DocState& st, Print& p, std::span<const Ch> cs, long from, long to, const CommentIds* ids) {
    int64_t table = 0;
    uint64_t* const outer = p.to;
    for (long i = from; i < to; ++i) {
        const Ch& c = cs[i];
        p.to = &p.lane[static_cast<size_t>(i - from) & 3];
        // One value per character where it fits (code points take 21 bits):
        // the chain of mixes is what a long block's print waits for.
        p.Add(uint64_t{c.c & 0x1FFFFF} | (uint64_t{static_cast<uint8_t>(c.kind)} << 21) |
              (uint64_t{c.table != 0} << 29) | (uint64_t{c.run} << 32));
        if (c.c > 0x1FFFFF) p.Add(uint64_t{c.c});
        switch (c.kind) {
            case Kind::ParaEnd:
            case Kind::RowCr:
                p.Add(uint64_t{c.aux});
                break;
            case Kind::CellEnd:
                if (c.aux < st.cellProps.size()) {
                    const CellProps& cp = st.cellProps[c.aux];
                    p.Add(cp.width);
                    p.Add((uint64_t(cp.top) << 24) | (uint64_t(cp.left) << 16) | (uint64_t(cp.bottom) << 8) | uint64_t(cp.right));
                    p.Add(cp.otherXml);
                }
                break;
            case Kind::RowEnd:
                if (c.aux < st.rowProps.size()) {
                    const RowProps& rp = st.rowProps[c.aux];
                    p.Add(rp.height);
                    p.Add((uint64_t(rp.rule) << 8) | uint64_t(static_cast<uint8_t>(rp.cantSplit)));
                    p.Add(rp.otherXml);
                }
                break;
            case Kind::Opaque:
                p.Add(c.aux < st.opaque.size() ? std::string_view(st.opaque[c.aux]) : std::string_view());
                break;
            case Kind::CommentRef: {
                uint64_t fid = 0;
                if (ids)
                    if (auto it = ids->fileId.find(c.aux); it != ids->fileId.end()) fid = static_cast<uint64_t>(it->second) + 1;
                p.Add(fid);
                break;
            }
            case Kind::ShapeAnchor:
                if (const ShapeData* sd = st.FindShape(c.aux)) {
                    p.Add(sd->name);
                    for (float f : {sd->left, sd->top, sd->width, sd->height, sd->fillTransparency}) p.Add(f);
                    p.Add((uint64_t(sd->relV) << 8) | (uint64_t(sd->fillVisible) << 1) | uint64_t(sd->lineVisible));
                    if (Story* s = st.FindStory(StoryType::TextFrame, sd->id)) {
                        const auto sc = s->chars.Contiguous();
                        AddChars(st, p, sc, 0, static_cast<long>(sc.size()), nullptr);
                    }
                } else {
                    p.Add(uint64_t{0});
                }
                break;
            case Kind::Text:
                break;
        }
        if (c.table != table) {
            table = c.table;
            const TableData* td = table ? st.FindTable(table) : nullptr;
            p.Add(td ? std::string_view(td->tblPrXml) : std::string_view());
        }
    }
    p.to = outer;
}

}  // namespace

CommentIds AssignCommentIds(DocState& st, int firstFree) {
    CommentIds ids;
    std::set<int> used;
    std::vector<int64_t> fresh;
    for (int64_t id : st.CommentOrder()) {
        const CommentData* cd = st.FindComment(id);
        if (!cd || ids.fileId.count(id)) continue;
        ids.written.push_back(id);
        if (cd->fileId >= 0 && used.insert(cd->fileId).second) ids.fileId[id] = cd->fileId;
        else {
            ids.fileId[id] = -1;
            fresh.push_back(id);
        }
    }
    int next = std::max(firstFree, used.empty() ? 0 : *used.rbegin() + 1);
    for (int64_t id : fresh) ids.fileId[id] = next++;
    return ids;
}

CommentMarks PlaceCommentMarks(DocState& st, const CommentIds& ids) {
    CommentMarks marks;
    const long n = static_cast<long>(st.main.chars.size());
    for (int64_t id : ids.written) {
        const auto& scope = st.FindComment(id)->scope;
        if (!scope || scope->story != StoryType::Main || scope->start >= scope->end || n == 0) continue;
        const int fid = ids.fileId.at(id);
        long s = std::clamp<long>(scope->start, 0, n), e = std::clamp<long>(scope->end, 0, n);
        while (s < n && Structural(st.main.chars[s].kind)) ++s;
        if (s >= n) s = n - 1;
        if (e >= n) e = n - 1;
        while (e > 0 && Structural(st.main.chars[e].kind)) --e;
        if (e < s) e = s;
        marks[s].push_back(fid + 1);
        marks[e].push_back(-fid - 1);
    }
    return marks;
}

uint64_t BlockPrint(DocState& st, std::span<const Ch> cs, long from, long to, const CommentMarks& marks,
                    const CommentIds& ids) {
    Print p;
    p.Add(uint64_t(to - from));
    AddChars(st, p, cs, from, to, &ids);
    for (auto it = marks.lower_bound(from); it != marks.end() && it->first < to; ++it) {
        p.Add(uint64_t(it->first - from));
        for (int m : it->second) p.Add(uint64_t(int64_t{m}));
    }
    return p.Final();
}

uint64_t CommentPrint(DocState& st, const CommentData& c) {
    Print p;
    p.Add(c.author);
    p.Add(c.initials);
    p.Add(c.date);
    if (Story* s = st.FindStory(StoryType::Comments, c.id)) {
        const auto sc = s->chars.Contiguous();
        AddChars(st, p, sc, 0, static_cast<long>(sc.size()), nullptr);
    }
    return p.Final();
}

bool StandsAlone(std::span<const Ch> cs, long from, long to) {
    const long n = static_cast<long>(cs.size());
    if (from < 0 || to > n || from >= to) return false;
    if (from > 0) {
        const Ch& before = cs[from - 1];
        const bool paraEnd = before.kind == Kind::ParaEnd && before.table == 0;
        const bool tableEnd = before.kind == Kind::RowEnd && before.table != cs[from].table;
        if (!paraEnd && !tableEnd) return false;
    }
    const Ch& last = cs[to - 1];
    if (last.table == 0) return last.kind == Kind::ParaEnd;
    return last.kind == Kind::RowEnd && (to == n || cs[to].table != last.table);
}

}  // namespace kado::word::detail
