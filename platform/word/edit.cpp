#include "edit.h"

#include <algorithm>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include <pugixml.hpp>

#include "text_codec.h"

namespace kado::word::detail {

std::string TextOf(const Story& s, long from, long to) {
    std::string out;
    from = std::max(from, 0L);
    to = std::min(to, static_cast<long>(s.chars.size()));
    for (long i = from; i < to; ++i) {
        const auto& c = s.chars[i];
        switch (c.kind) {
            case Kind::Text: AppendUtf8(out, c.c); break;
            case Kind::ParaEnd:
            case Kind::RowCr: out.push_back('\r'); break;
            case Kind::CellEnd:
            case Kind::RowEnd: out.push_back('\a'); break;
            case Kind::CommentRef: out.push_back('\x05'); break;
            case Kind::ShapeAnchor:
            case Kind::Opaque: break;
        }
    }
    return out;
}

long InsertionPoint(const Story& s, long pos, bool endSide) {
    long n = static_cast<long>(s.chars.size());
    long p = std::clamp(pos, 0L, n - 1);
    if (endSide && p > 0 && p == pos && s.chars[p - 1].kind == Kind::CellEnd) p -= 2;
    if (s.chars[p].kind == Kind::RowEnd) --p;
    if (s.chars[p].kind == Kind::RowCr) --p;
    if (s.chars[p].kind == Kind::CellEnd) --p;
    return p;
}

long ParagraphEndAt(const Story& s, long pos) {
    long n = static_cast<long>(s.chars.size());
    for (long i = std::clamp(pos, 0L, n - 1); i < n; ++i)
        if (s.chars[i].kind == Kind::ParaEnd || s.chars[i].kind == Kind::RowCr) return i;
    return n - 1;
}

namespace {

// Property elements without those of the given local names; kept as written otherwise.
std::string Without(const std::string& xml, std::initializer_list<std::string_view> names) {
    bool any = false;
    for (auto n : names) any = any || xml.find(n) != std::string::npos;
    if (!any) return xml;
    pugi::xml_document frag;
    const std::string wrapped = "<x>" + xml + "</x>";
    if (!frag.load_buffer(wrapped.data(), wrapped.size(), pugi::parse_default | pugi::parse_ws_pcdata)) return xml;
    std::string out;
    for (auto c : frag.first_child().children()) {
        std::string_view local = c.name();
        if (auto colon = local.find(':'); colon != std::string_view::npos) local.remove_prefix(colon + 1);
        if (std::find(names.begin(), names.end(), local) != names.end()) continue;
        std::ostringstream o;
        c.print(o, "", pugi::format_raw, pugi::encoding_utf8);
        out += o.str();
    }
    return out;
}

}  // namespace

void FreshMark(DocState& d, Ch& mark) {
    ParaFormat pf = mark.aux < d.paraFormats.size() ? d.paraFormats[mark.aux] : ParaFormat{};
    pf.otherXml = Without(pf.otherXml, {"numPr", "sectPr", "pPrChange"});
    mark.aux = d.InternPara(pf);
    RunFormat rf = mark.run < d.runFormats.size() ? d.runFormats[mark.run] : RunFormat{};
    rf.otherXml = Without(rf.otherXml, {"ins", "del", "moveFrom", "moveTo", "rPrChange"});
    mark.run = d.InternRun(rf);
}

long InsertText(DocState& d, Story& s, long at, std::string_view text) {
    auto cps = DecodeUtf8(text);
    const auto& here = s.chars[at];
    // At a paragraph's mark the first new mark ends that paragraph as it was;
    // the paragraphs after it are new.
    const bool atMark = here.kind == Kind::ParaEnd;
    const Ch ownMark = here;
    bool first = true;
    uint32_t run = here.run;
    if (at > 0 && s.chars[at - 1].kind == Kind::Text) run = s.chars[at - 1].run;
    if (d.pendingSize > 0) {
        auto f = d.runFormats[run];
        f.size = d.pendingSize;
        run = d.InternRun(f);
        d.pendingSize = 0;
    }
    uint32_t para = s.chars[ParagraphEndAt(s, at)].aux;
    int64_t table = here.table;
    std::vector<Ch> chars;
    chars.reserve(cps.size());
    for (size_t i = 0; i < cps.size(); ++i) {
        char32_t c = cps[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\n' && i > 0 && cps[i - 1] == U'\r') continue;
            chars.push_back(Ch{U'\r', Kind::ParaEnd, run, para, table});
            if (atMark && first) chars.back() = ownMark;
            else if (atMark) FreshMark(d, chars.back());
            first = false;
        } else if (c >= 0x20 || c == U'\t' || c == U'\v') {
            chars.push_back(Ch{c, Kind::Text, run, 0, table});
        }
        // Other control characters (cell marks among them) cannot be typed.
    }
    d.InsertChars(s, at, chars);
    if (atMark && !first) FreshMark(d, s.chars[at + static_cast<long>(chars.size())]);
    return static_cast<long>(chars.size());
}

void ForgetComment(DocState& d, int64_t id) {
    d.comments.Erase(id);
    if (auto* st = d.stories.Find(id); st && (*st)->type == StoryType::Comments) d.stories.Erase(id);
}

void ForgetShape(DocState& d, int64_t id) {
    d.shapes.Erase(id);
    if (auto* st = d.stories.Find(id); st && (*st)->type == StoryType::TextFrame) d.stories.Erase(id);
    if (d.selectedShape == id) d.selectedShape = 0;
}

void DeleteContent(DocState& d, Story& s, long from, long to) {
    long n = static_cast<long>(s.chars.size());
    from = std::clamp(from, 0L, n);
    to = std::clamp(to, from, n);
    if (from == to) return;
    std::unordered_set<int64_t> wholeTables;
    if (s.type == StoryType::Main) {
        for (const auto& t : d.Layouts())
            if (t.start >= from && t.end <= to) wholeTables.insert(t.id);
    }
    std::vector<int64_t> goneComments, goneShapes;
    std::vector<char> drop(static_cast<size_t>(to - from), 0);
    for (long i = from; i < to; ++i) {
        const auto& c = s.chars[i];
        bool del = false;
        if (c.table != 0 && wholeTables.count(c.table)) {
            del = true;
        } else {
            switch (c.kind) {
                case Kind::Text:
                case Kind::Opaque: del = true; break;
                case Kind::CommentRef: del = true; goneComments.push_back(c.aux); break;
                case Kind::ShapeAnchor: del = true; goneShapes.push_back(c.aux); break;
                case Kind::ParaEnd:
                    // Keep the mark that ends a cell, the story or the paragraph before a table.
                    del = i + 1 < n && s.chars[i + 1].kind != Kind::CellEnd && s.chars[i + 1].table == c.table &&
                          !(i + 1 < to && s.chars[i + 1].table != 0 && wholeTables.count(s.chars[i + 1].table));
                    break;
                default: break;
            }
        }
        drop[i - from] = del;
    }
    for (long i = to; i > from;) {
        if (!drop[i - 1 - from]) { --i; continue; }
        long j = i;
        while (j > from && drop[j - 1 - from]) --j;
        d.RemoveChars(s, j, i);
        i = j;
    }
    for (auto id : goneComments) ForgetComment(d, id);
    for (auto id : goneShapes) ForgetShape(d, id);
}

bool AllRuns(const DocState& d, const Story& s, long from, long to, const std::function<bool(const RunFormat&)>& pred) {
    long n = static_cast<long>(s.chars.size());
    bool any = false;
    for (long i = std::max(from, 0L); i < std::min(to, n); ++i) {
        if (s.chars[i].kind != Kind::Text) continue;
        any = true;
        if (!pred(d.runFormats[s.chars[i].run])) return false;
    }
    if (any) return true;
    return pred(d.runFormats[s.chars[std::clamp(from, 0L, n - 1)].run]);
}

void ChangeRuns(DocState& d, Story& s, long from, long to, const std::function<void(RunFormat&)>& change) {
    long n = static_cast<long>(s.chars.size());
    std::unordered_map<uint32_t, uint32_t> mapped;
    for (long i = std::max(from, 0L); i < std::min(to, n); ++i) {
        auto& c = s.chars[i];
        if (c.kind != Kind::Text && c.kind != Kind::ParaEnd) continue;
        auto it = mapped.find(c.run);
        if (it == mapped.end()) {
            auto f = d.runFormats[c.run];
            change(f);
            it = mapped.emplace(c.run, d.InternRun(f)).first;
        }
        c.run = it->second;
    }
}

}  // namespace kado::word::detail
