// Loading a DOCX package into the character stream: paragraphs, runs, tables,
// comments and text boxes are modelled; everything else is kept as XML.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>

#include "platform/com/numtext.h"
#include "body_split.h"
#include "docx_io.h"
#include "text_codec.h"
#include "xml_safe.h"

namespace kado::word::detail {
namespace {

using pugi::xml_node;

constexpr char32_t kObject = 0xFFFC;

// The part of a qualified name after its first colon ("p" of "w:p").
std::string_view LocalName(const char* name) {
    const char* q = name;
    while (*q && *q != ':') ++q;
    const char* l = *q == ':' ? ++q : name;
    while (*q) ++q;
    return {l, static_cast<size_t>(q - l)};
}
// An element's local name, a null view for any other node: the reader takes
// it once per node and compares it with every name it knows.
std::string_view Local(xml_node n) { return n.type() == pugi::node_element ? LocalName(n.name()) : std::string_view(); }
bool Is(xml_node n, std::string_view local) {
    const std::string_view l = Local(n);
    return l.data() && l == local;
}
xml_node Child(xml_node n, std::string_view local) {
    for (auto c : n.children())
        if (Is(c, local)) return c;
    return {};
}
const char* Attr(xml_node n, std::string_view local) {
    for (auto a : n.attributes())
        if (LocalName(a.name()) == local) return a.value();
    return nullptr;
}
// Elements below n of that local name, counted up to `enough`; a walk
// without recursion, as the tree may be as deep as the file makes it.
int Descendants(xml_node n, std::string_view local, int enough) {
    int found = 0;
    for (xml_node c = n.first_child(); c && found < enough;) {
        if (Is(c, local)) ++found;
        if (c.first_child()) {
            c = c.first_child();
            continue;
        }
        while (c != n && !c.next_sibling()) c = c.parent();
        if (c == n) break;
        c = c.next_sibling();
    }
    return found;
}
struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};
std::string NodeXml(xml_node n) {
    StringWriter w;
    n.print(w, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(w.out);
}
// Numbers from attributes, clamped so that hostile values cannot overflow.
double Num(const char* s, double fallback = 0) {
    if (!s) return fallback;
    std::string_view v(s);
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    const auto d = com::ReadDotNumber(v, true);
    if (!d || !std::isfinite(*d)) return fallback;
    return std::clamp(*d, -1e9, 1e9);
}
bool IsOn(xml_node n) {
    const char* v = Attr(n, "val");
    if (!v) return true;
    std::string_view s(v);
    return !(s == "0" || s == "false" || s == "off");
}
OnOff Switch(xml_node n) { return IsOn(n) ? OnOff::On : OnOff::Off; }
LineStyle BorderStyle(xml_node edge, LineStyle fallback) {
    if (!edge) return fallback;
    const char* v = Attr(edge, "val");
    if (!v) return fallback;
    std::string_view s(v);
    return (s == "nil" || s == "none") ? LineStyle::None : LineStyle::Single;
}
std::string Dir(const std::string& part) {
    auto p = part.rfind('/');
    return p == std::string::npos ? std::string() : part.substr(0, p + 1);
}
// Resolves a relationship target against the directory of its source part.
std::string ResolveTarget(const std::string& baseDir, std::string_view target) {
    std::string joined = !target.empty() && target.front() == '/' ? std::string(target.substr(1))
                                                                  : baseDir + std::string(target);
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= joined.size()) {
        size_t j = joined.find('/', i);
        if (j == std::string::npos) j = joined.size();
        std::string seg = joined.substr(i, j - i);
        if (seg == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!seg.empty() && seg != ".") {
            parts.push_back(seg);
        }
        i = j + 1;
    }
    std::string out;
    for (const auto& s : parts) out += (out.empty() ? "" : "/") + s;
    return out;
}

// A comment id as the file has it, -1 when it is no plain number.
int FileId(const char* s) {
    if (!s) return -1;
    const std::string_view v(s);
    int n = -1;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    return ec == std::errc() && end == v.data() + v.size() && n >= 0 && n < (1 << 30) ? n : -1;
}

class Reader {
public:
    Reader(DocState& st, LoadedPackage& lp) : st_(st), lp_(lp) {}

    void Comments(xml_node root) {
        for (auto c : root.children()) {
            if (!Is(c, "comment")) continue;
            const char* fid = Attr(c, "id");
            SeenId(fid);
            if (!fid || commentIds_.count(fid)) {
                lp_.unreferencedComments.push_back(NodeXml(c));
                continue;
            }
            CommentData cd;
            cd.id = st_.nextId++;
            cd.fileId = FileId(fid);
            cd.sourceXml = NodeXml(c);
            // Kept as read only with its one reference mark: a save writes that anew otherwise.
            cd.keepable = Descendants(c, "annotationRef", 2) == 1;
            const char* a = Attr(c, "author");
            cd.author = a ? a : "";
            const char* in = Attr(c, "initials");
            cd.initials = in ? in : "";
            const char* dt = Attr(c, "date");
            cd.date = dt ? dt : "";
            commentIds_[fid] = cd.id;
            auto story = std::make_unique<Story>();
            story->type = StoryType::Comments;
            story->id = cd.id;
            ReadStory(c, *story);
            st_.stories.Add(std::move(story));
            st_.comments.Add(std::move(cd));
        }
    }

    // each(visit) calls visit(child, at) for every element of the body in
    // order, `at` being where its '<' stands in the part as read (-1 when not
    // known); close is where the body's end tag stands (npos when not known).
    template <typename Each>
    void Body(Each&& each, size_t close) {
        Target t(*this, &st_.main.chars, true);
        std::string sectPr, trailing;
        // Each paragraph or table, with the body-level elements before it, is a
        // block whose bytes a save can write back as they are.
        const std::string& raw = lp_.mainRaw;
        bool bytes = !raw.empty(), open = false, spoiled = false;
        long unitFrom = -1, unitPos = 0;
        auto closeUnit = [&] {
            if (Pos() == unitPos && !spoiled) return;  // nothing modelled (a table without cells): the next block holds it
            if (bytes && !spoiled && unitFrom >= 0) {
                SourceBlock b;
                b.range = st_.Track(StoryType::Main, 0, unitPos, Pos());
                b.from = static_cast<size_t>(unitFrom);
                lp_.blocks.push_back(std::move(b));
                open = true;
            }
            unitFrom = -1;
            spoiled = false;
        };
        each([&](xml_node c, long at) {
            if (!bytes) at = -1;
            if (at < 0) bytes = false;
            if (open) {
                lp_.blocks.back().to = static_cast<size_t>(at);
                open = false;
            }
            if (unitFrom < 0) {
                unitFrom = at;
                unitPos = Pos();
            }
            const std::string_view l = Local(c);
            if (l == "p") {
                Paragraph(c, 0);
                closeUnit();
            } else if (l == "tbl") {
                TableNode(c);
                closeUnit();
            } else if (l == "sectPr") {
                sectPr = NodeXml(c);
                ReadPage(c);
                spoiled = true;  // written from the tail, never as part of a block
            } else if (!Marker(c, l)) {
                pending_.push_back(NodeXml(c));
            }
        });
        if (open) {
            if (close == std::string::npos || close < lp_.blocks.back().from) bytes = false;
            else lp_.blocks.back().to = close;
        }
        if (!bytes) lp_.blocks.clear();
        for (auto& p : pending_) trailing += p;
        pending_.clear();
        auto& cs = st_.main.chars;
        if (cs.empty() || cs.back().kind != Kind::ParaEnd || cs.back().table != 0)
            cs.push_back(Ch{U'\r', Kind::ParaEnd, 0, 0, 0});
        st_.sectPr = sectPr;
        st_.sectPrAt = trailing.size();
        st_.documentXmlTail = trailing + st_.documentXmlTail;
    }

    // Scopes and reference marks become comment anchors once the whole text is read.
    void FinishComments() {
        // Comments the text never refers to are dropped.
        auto unused = [&](int64_t id) {
            auto it = marks_.find(id);
            return it == marks_.end() || (it->second.ref < 0 && it->second.end < 0 && it->second.start < 0);
        };
        for (const auto& c : st_.comments)
            if (unused(c.id)) lp_.unreferencedComments.push_back(c.sourceXml);
        st_.comments.EraseIf([&](const CommentData& c) { return unused(c.id); });
        st_.stories.EraseIf([&](const std::unique_ptr<Story>& s) { return s->type == StoryType::Comments && unused(s->id); });
        for (auto& cd : st_.comments) {
            Marks& m = marks_[cd.id];
            long s = m.start, e = m.end;
            if (s < 0 && e < 0) s = e = m.ref + 1;  // a point comment's scope follows its mark
            if (s < 0) s = e;
            if (e < 0) e = m.ref >= 0 && m.ref >= s ? m.ref : s;
            if (e < s) std::swap(s, e);
            cd.scope = st_.Track(StoryType::Main, 0, s, e);
        }
        // A ranged comment without its reference mark gets one at the end of its range.
        for (auto& cd : st_.comments) {
            if (marks_[cd.id].ref >= 0) continue;
            long at = cd.scope->end;
            auto& cs = st_.main.chars;
            at = std::clamp<long>(at, 0, static_cast<long>(cs.size()) - 1);
            while (at > 0 && cs[at].kind != Kind::Text && cs[at].kind != Kind::ParaEnd &&
                   cs[at].kind != Kind::CommentRef && cs[at].kind != Kind::ShapeAnchor && cs[at].kind != Kind::Opaque)
                --at;
            st_.InsertChars(st_.main, at, {Ch{U'\x05', Kind::CommentRef, cs[at].run, static_cast<uint32_t>(cd.id),
                                              cs[at].table}});
            // The block that got the mark is written from the model, with it.
            for (auto& b : lp_.blocks)
                if (b.range->start <= at && at < b.range->end) b.healed = true;
        }
    }

private:
    // Comment ids a new comment must not take, also those of marks kept as they are.
    void SeenId(const char* fid) { lp_.firstFreeCommentId = std::max(lp_.firstFreeCommentId, FileId(fid) + 1); }

    struct Marks {
        long start = -1, end = -1, ref = -1;
    };
    // Switches the story being filled for the lifetime of the object.
    struct Target {
        Target(Reader& r, Chars* out, bool main) : r_(r), out_(r.out_), main_(r.main_) {
            r.out_ = out;
            r.main_ = main;
            pending_.swap(r.pending_);
        }
        ~Target() {
            r_.out_ = out_;
            r_.main_ = main_;
            pending_.swap(r_.pending_);
        }
        Reader& r_;
        Chars* out_;
        bool main_;
        std::vector<std::string> pending_;
    };

    long Pos() const { return static_cast<long>(out_->size()); }

    void ReadPage(xml_node sect) {
        xml_node sz = Child(sect, "pgSz"), mar = Child(sect, "pgMar");
        if (!sz) return;
        PageTwips p;
        p.width = std::lround(Num(Attr(sz, "w")));
        p.height = std::lround(Num(Attr(sz, "h"), static_cast<double>(p.height)));
        p.left = std::lround(Num(Attr(mar, "left")));
        p.right = std::lround(Num(Attr(mar, "right")));
        const long w = p.width - p.left - p.right;
        if (w <= 20) return;
        st_.page = p;
        st_.textWidth = static_cast<float>(w / 20.0);
    }

    // Comment range marks at any level of the text; true when c was one.
    bool Marker(xml_node c, std::string_view local) {
        const bool start = local == "commentRangeStart", end = local == "commentRangeEnd";
        if (!start && !end) return false;
        if (!main_) return true;
        const char* fid = Attr(c, "id");
        SeenId(fid);
        auto it = fid ? commentIds_.find(fid) : commentIds_.end();
        if (it == commentIds_.end()) return true;
        Marks& m = marks_[it->second];
        (start ? m.start : m.end) = Pos();
        return true;
    }

    RunFormat ReadRunFormat(xml_node rpr) {
        RunFormat f;
        for (auto c : rpr.children()) {
            const std::string_view l = Local(c);
            if (l == "b") f.bold = IsOn(c);
            else if (l == "u") {
                const char* v = Attr(c, "val");
                f.underline = v && std::string_view(v) != "none";
            } else if (l == "sz") {
                f.size = static_cast<float>(std::clamp(Num(Attr(c, "val")) / 2.0, 0.0, 1638.0));
            } else if (l.data()) {
                f.otherXml += NodeXml(c);
            }
        }
        return f;
    }

    void FlushPending(int64_t table) {
        for (auto& x : pending_) Opaque(std::string(1, kBlockOpaque) + x, 0, table);
        pending_.clear();
    }
    void Opaque(std::string xml, uint32_t run, int64_t table) {
        st_.opaque.push_back(std::move(xml));
        out_->push_back(Ch{kObject, Kind::Opaque, run, static_cast<uint32_t>(st_.opaque.size() - 1), table});
    }
    void EmptyParagraph(int64_t table) {
        FlushPending(table);
        out_->push_back(Ch{U'\r', Kind::ParaEnd, 0, 0, table});
    }

    void Paragraph(xml_node p, int64_t table) {
        FlushPending(table);
        ParaFormat pf;
        RunFormat mark;
        if (xml_node ppr = Child(p, "pPr")) {
            for (auto c : ppr.children()) {
                const std::string_view l = Local(c);
                if (l == "jc") {
                    std::string_view v = Attr(c, "val") ? Attr(c, "val") : "";
                    pf.alignment = v == "left" || v == "start" ? 0 : v == "center" ? 1 : v == "right" || v == "end" ? 2
                                 : v == "both" || v == "distribute" ? 3 : -1;
                    if (pf.alignment < 0) pf.otherXml += NodeXml(c);
                } else if (l == "keepNext") {
                    pf.keepNext = Switch(c);
                } else if (l == "keepLines") {
                    pf.keepLines = Switch(c);
                } else if (l == "rPr") {
                    mark = ReadRunFormat(c);
                } else if (l.data()) {
                    pf.otherXml += NodeXml(c);
                }
            }
        }
        for (auto c : p.children()) {
            const std::string_view l = Local(c);
            if (!l.data() || l == "pPr" || l == "proofErr" || Marker(c, l)) continue;
            if (l == "r") Run(c, table);
            else Opaque(NodeXml(c), 0, table);
        }
        out_->push_back(Ch{U'\r', Kind::ParaEnd, st_.InternRun(mark), st_.InternPara(pf), table});
    }

    void Run(xml_node r, int64_t table) {
        xml_node rpr = Child(r, "rPr");
        const uint32_t ri = rpr ? st_.InternRun(ReadRunFormat(rpr)) : 0;
        auto text = [&](char32_t c) { out_->push_back(Ch{c, Kind::Text, ri, 0, table}); };
        for (auto c : r.children()) {
            const std::string_view l = Local(c);
            if (!l.data() || l == "rPr" || l == "lastRenderedPageBreak") continue;
            // A comment's reference mark in its own text is written anew on save;
            // keeping it as well would add one more on every round trip.
            if (!main_ && l == "annotationRef") continue;
            if (l == "t") {
                for (char32_t ch : DecodeUtf8(c.text().get())) {
                    // Control characters other than tab have no place in text (they stand for structure).
                    if (ch == U'\n' || ch == U'\r') ch = U' ';
                    if ((ch < 0x20 && ch != U'\t') || ch == 0xFFFE || ch == 0xFFFF) continue;
                    text(ch);
                }
            } else if (l == "tab") {
                text(U'\t');
            } else if (l == "cr" || (l == "br" && (!Attr(c, "type") || std::string_view(Attr(c, "type")) == "textWrapping"))) {
                text(U'\v');
            } else if (l == "commentReference") {
                const char* fid = Attr(c, "id");
                SeenId(fid);
                auto it = fid && main_ ? commentIds_.find(fid) : commentIds_.end();
                if (it != commentIds_.end() && marks_[it->second].ref < 0) {
                    marks_[it->second].ref = Pos();
                    out_->push_back(Ch{U'\x05', Kind::CommentRef, ri, static_cast<uint32_t>(it->second), table});
                }
            } else if (!(main_ && (l == "AlternateContent" || l == "drawing") && TextBox(c, ri, table))) {
                const std::string name = r.name();
                Opaque("<" + name + ">" + (rpr ? NodeXml(rpr) : std::string()) + NodeXml(c) + "</" + name + ">", ri, table);
            }
        }
    }

    // A text box (wps shape with text) becomes a shape with its own story.
    bool TextBox(xml_node n, uint32_t ri, int64_t table) {
        xml_node drawing = n;
        if (Is(n, "AlternateContent")) drawing = Child(Child(n, "Choice"), "drawing");
        xml_node anchor = Child(drawing, "anchor");
        if (!anchor) anchor = Child(drawing, "inline");
        xml_node wsp = Child(Child(Child(anchor, "graphic"), "graphicData"), "wsp");
        xml_node content = Child(Child(wsp, "txbx"), "txbxContent");
        if (!content) return false;
        ShapeData sd;
        sd.id = st_.nextId++;
        xml_node docPr = Child(anchor, "docPr");
        sd.name = Attr(docPr, "name") ? Attr(docPr, "name") : "";
        const double emu = 12700.0;
        sd.left = static_cast<float>(Num(Child(Child(anchor, "positionH"), "posOffset").text().get()) / emu);
        xml_node pv = Child(anchor, "positionV");
        sd.top = static_cast<float>(Num(Child(pv, "posOffset").text().get()) / emu);
        std::string_view rel = Attr(pv, "relativeFrom") ? Attr(pv, "relativeFrom") : "paragraph";
        sd.relV = rel == "page" ? RelativeVerticalPosition::Page
                : rel == "margin" || rel == "topMargin" ? RelativeVerticalPosition::Margin
                : rel == "line" ? RelativeVerticalPosition::Line : RelativeVerticalPosition::Paragraph;
        xml_node ext = Child(anchor, "extent");
        sd.width = static_cast<float>(std::max(0.0, Num(Attr(ext, "cx")) / emu));
        sd.height = static_cast<float>(std::max(0.0, Num(Attr(ext, "cy")) / emu));
        if (Child(anchor, "wrapTopAndBottom")) sd.wrap = WrapType::TopBottom;
        xml_node sp = Child(wsp, "spPr");
        if (Child(sp, "noFill")) sd.fillVisible = false;
        if (xml_node fill = Child(sp, "solidFill")) {
            xml_node color = fill.first_child();
            if (xml_node alpha = Child(color, "alpha"))
                sd.fillTransparency = static_cast<float>(std::clamp(1.0 - Num(Attr(alpha, "val"), 100000) / 100000.0, 0.0, 1.0));
        }
        if (xml_node ln = Child(sp, "ln")) sd.lineVisible = !Child(ln, "noFill");
        else sd.lineVisible = static_cast<bool>(Child(wsp, "style"));
        auto story = std::make_unique<Story>();
        story->type = StoryType::TextFrame;
        story->id = sd.id;
        ReadStory(content, *story);
        const int64_t id = sd.id;
        st_.stories.Add(std::move(story));
        st_.shapes.Add(std::move(sd));
        out_->push_back(Ch{kObject, Kind::ShapeAnchor, ri, static_cast<uint32_t>(id), table});
        return true;
    }

    // Comment and text box texts: paragraphs; tables and the rest stay XML.
    void ReadStory(xml_node container, Story& story) {
        Target t(*this, &story.chars, false);
        for (auto c : container.children()) {
            const std::string_view l = Local(c);
            if (!l.data()) continue;
            if (l == "p") Paragraph(c, 0);
            else if (!Marker(c, l)) pending_.push_back(NodeXml(c));
        }
        if (!pending_.empty() || story.chars.empty()) EmptyParagraph(0);
    }

    // Rows of a table or cells of a row, also those inside content controls and custom XML.
    static void Collect(xml_node parent, std::string_view local, std::vector<xml_node>& out) {
        for (auto c : parent.children()) {
            const std::string_view l = Local(c);
            if (!l.data()) continue;
            if (l == local) out.push_back(c);
            else if (l == "sdt") Collect(Child(c, "sdtContent"), local, out);
            else if (l == "customXml") Collect(c, local, out);
        }
    }

    void TableNode(xml_node tbl) {
        const int64_t id = st_.nextId++;
        TableData td;
        td.id = id;
        xml_node tblPr = Child(tbl, "tblPr");
        if (tblPr) td.tblPrXml = NodeXml(tblPr);
        xml_node tb = Child(tblPr, "tblBorders");
        auto tbEdge = [&](std::string_view a, std::string_view b) {
            xml_node e = Child(tb, a);
            if (!e) e = Child(tb, b);
            return BorderStyle(e, LineStyle::None);
        };
        const LineStyle tTop = tbEdge("top", "top"), tLeft = tbEdge("left", "start"), tBottom = tbEdge("bottom", "bottom"),
                        tRight = tbEdge("right", "end"), tInH = tbEdge("insideH", "insideH"), tInV = tbEdge("insideV", "insideV");
        std::vector<double> grid;
        for (auto g : Child(tbl, "tblGrid").children())
            if (Is(g, "gridCol")) grid.push_back(std::max(0.0, Num(Attr(g, "w"))) / 20.0);
        std::vector<xml_node> rows;
        Collect(tbl, "tr", rows);
        bool any = false;
        for (size_t ri = 0; ri < rows.size(); ++ri) {
            xml_node tr = rows[ri];
            std::vector<xml_node> cells;
            Collect(tr, "tc", cells);
            if (cells.empty()) continue;
            RowProps rp;
            if (xml_node trPr = Child(tr, "trPr")) {
                for (auto c : trPr.children()) {
                    const std::string_view l = Local(c);
                    if (l == "trHeight") {
                        rp.height = static_cast<float>(std::max(0.0, Num(Attr(c, "val"))) / 20.0);
                        std::string_view rule = Attr(c, "hRule") ? Attr(c, "hRule") : "atLeast";
                        rp.rule = rule == "exact" ? HeightRule::Exactly : rule == "auto" ? HeightRule::Auto : HeightRule::AtLeast;
                    } else if (l == "cantSplit") {
                        rp.cantSplit = Switch(c);
                    } else if (l == "tblHeader") {
                        rp.tblHeader = Switch(c);
                    } else if (l.data()) {
                        rp.otherXml += NodeXml(c);
                    }
                }
            }
            size_t gi = 0;
            for (size_t ci = 0; ci < cells.size(); ++ci) {
                xml_node tc = cells[ci];
                CellProps cp;
                xml_node tcPr = Child(tc, "tcPr");
                size_t span = 1;
                double width = 0;
                xml_node borders;
                for (auto c : tcPr.children()) {
                    const std::string_view l = Local(c);
                    if (l == "tcW") {
                        std::string_view type = Attr(c, "type") ? Attr(c, "type") : "dxa";
                        double w = std::max(0.0, Num(Attr(c, "w")));
                        if (type == "dxa") width = w / 20.0;
                        else if (type == "pct") width = st_.textWidth * w / 5000.0;
                    } else if (l == "gridSpan") {
                        span = static_cast<size_t>(std::clamp(Num(Attr(c, "val"), 1), 1.0, 1000.0));
                    } else if (l == "tcBorders") {
                        borders = c;
                    } else if (l.data()) {
                        cp.otherXml += NodeXml(c);
                    }
                }
                if (width <= 0)
                    for (size_t g = gi; g < gi + span && g < grid.size(); ++g) width += grid[g];
                gi += span;
                cp.width = static_cast<float>(std::min(width, 1e6));
                // One pass over the cell's edges; the first of "left"/"start" (and
                // "right"/"end") found wins, as a lookup by either name would.
                xml_node top, bottom, left, right;
                for (auto e : borders.children()) {
                    const std::string_view n = Local(e);
                    if (!top && n == "top") top = e;
                    else if (!bottom && n == "bottom") bottom = e;
                    else if (!left && n == "left") left = e;
                    else if (!right && n == "right") right = e;
                }
                if (!left) left = Child(borders, "start");
                if (!right) right = Child(borders, "end");
                cp.top = BorderStyle(top, ri == 0 ? tTop : tInH);
                cp.bottom = BorderStyle(bottom, ri + 1 == rows.size() ? tBottom : tInH);
                cp.left = BorderStyle(left, ci == 0 ? tLeft : tInV);
                cp.right = BorderStyle(right, ci + 1 == cells.size() ? tRight : tInV);
                const long before = Pos();
                for (auto c : tc.children()) {
                    const std::string_view l = Local(c);
                    if (!l.data() || l == "tcPr") continue;
                    if (l == "p") Paragraph(c, id);
                    else if (!Marker(c, l)) pending_.push_back(NodeXml(c));
                }
                if (!pending_.empty() || Pos() == before || out_->back().kind != Kind::ParaEnd) EmptyParagraph(id);
                st_.cellProps.push_back(std::move(cp));
                out_->push_back(Ch{U'\a', Kind::CellEnd, 0, static_cast<uint32_t>(st_.cellProps.size() - 1), id});
            }
            st_.rowProps.push_back(std::move(rp));
            out_->push_back(Ch{U'\r', Kind::RowCr, 0, 0, id});
            out_->push_back(Ch{U'\a', Kind::RowEnd, 0, static_cast<uint32_t>(st_.rowProps.size() - 1), id});
            any = true;
        }
        if (any) st_.tables.Add(std::move(td));
    }

    DocState& st_;
    LoadedPackage& lp_;
    Chars* out_ = nullptr;
    bool main_ = true;
    std::vector<std::string> pending_;  // block-level XML waiting for the next paragraph
    std::map<std::string, int64_t> commentIds_;
    std::map<int64_t, Marks> marks_;
};

// Start tag of an element with all its attributes, as text.
std::string StartTag(xml_node n) {
    std::string s = "<" + std::string(n.name());
    for (auto a : n.attributes()) {
        s += " " + std::string(a.name()) + "=\"";
        for (char c : std::string_view(a.value())) {
            switch (c) {
                case '&': s += "&amp;"; break;
                case '<': s += "&lt;"; break;
                case '>': s += "&gt;"; break;
                case '"': s += "&quot;"; break;
                default: s += c;
            }
        }
        s += "\"";
    }
    return s + ">";
}

std::string RelTarget(const pkg::Package& p, const std::string& relsPart, std::string_view typeTail,
                      const std::string& baseDir) {
    if (!p.Has(relsPart)) return {};
    auto rels = pkg::ParseXmlPart(p.Read(relsPart), relsPart);
    for (auto r : rels.document_element().children()) {
        if (!Is(r, "Relationship")) continue;
        std::string_view type = Attr(r, "Type") ? Attr(r, "Type") : "";
        const char* mode = Attr(r, "TargetMode");
        if (mode && std::string_view(mode) == "External") continue;
        if (type.size() >= typeTail.size() && type.substr(type.size() - typeTail.size()) == typeTail && Attr(r, "Target"))
            return ResolveTarget(baseDir, Attr(r, "Target"));
    }
    return {};
}

// The styles' document defaults: the font for Latin text and the size.
void ReadDefaultFont(DocState& st, const pugi::xml_document& styles) {
    xml_node rpr = Child(Child(Child(styles.document_element(), "docDefaults"), "rPrDefault"), "rPr");
    xml_node fonts = Child(rpr, "rFonts");
    const char* name = Attr(fonts, "ascii");
    st.defaultFontName = name ? name : "";
    const double half = Num(Attr(Child(rpr, "sz"), "val"));
    if (half >= 2 && half <= 3276) st.defaultFontSize = static_cast<float>(half / 2.0);
}

// Locks a word processor honours: a confirmation must not write past them.
void RefuseProtected(const pkg::Package& p, const std::string& relsPart, const std::string& dir) {
    const std::string settings = RelTarget(p, relsPart, "/settings", dir);
    if (settings.empty() || !p.Has(settings)) return;
    const auto d = pkg::ParseXmlPart(p.Read(settings), settings);
    xml_node root = d.document_element();
    if (Child(root, "writeProtection"))
        com::Raise(err::Protected, "Das Dokument ist mit einem Kennwort gegen Änderungen geschützt; "
                                   "bitte den Schutz im Textprogramm aufheben");
    xml_node lock = Child(root, "documentProtection");
    const std::string_view enforced = Attr(lock, "enforcement") ? Attr(lock, "enforcement") : "0";
    const std::string_view edit = Attr(lock, "edit") ? Attr(lock, "edit") : "none";
    if (enforced != "0" && enforced != "false" && enforced != "off" && edit != "none")
        com::Raise(err::Protected, "Das Dokument ist gegen Bearbeiten geschützt (Schutzart " + std::string(edit) +
                                       "); bitte den Schutz im Textprogramm aufheben");
}

// The part's root start tag and what stands before and after its body, kept
// for writing back; the body element.
xml_node HeadAndTail(DocState& st, const pugi::xml_document& doc, const std::string& main) {
    xml_node root = doc.document_element();
    xml_node body = Child(root, "body");
    if (!Is(root, "document") || !body)
        com::Raise(err::BadPackage, "Das Dokument ist beschädigt: Teil " + main + " hat keinen Textkörper");
    std::string head = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)" + StartTag(root);
    std::string after;
    bool seenBody = false;
    for (auto c : root.children()) {
        if (c == body) { seenBody = true; continue; }
        if (c.type() != pugi::node_element) continue;
        (seenBody ? after : head) += NodeXml(c);
    }
    st.documentXmlHead = head + "<" + std::string(body.name()) + ">";
    st.documentXmlTail = "</" + std::string(body.name()) + ">" + after + "</" + std::string(root.name()) + ">";
    return body;
}

// Bytes of body content parsed at a time: a tree of a few paragraphs and
// tables instead of one of the whole part.
constexpr size_t kChunkBytes = 256 << 10;

}  // namespace

void LoadDocx(DocState& st, std::string_view bytes) {
    // An encrypted document is an OLE compound file that holds the package encrypted.
    static constexpr unsigned char kOle[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (bytes.size() >= sizeof kOle && std::memcmp(bytes.data(), kOle, sizeof kOle) == 0)
        com::Raise(err::Protected, "Das Dokument ist verschlüsselt oder kennwortgeschützt (OLE-Verbunddatei) "
                                   "und lässt sich nicht bearbeiten; bitte ohne Kennwort speichern");
    auto lp = std::make_shared<LoadedPackage>(pkg::Package::FromBytes(bytes));
    const auto& p = lp->package;
    std::string main = RelTarget(p, "_rels/.rels", "/officeDocument", "");
    if (main.empty()) main = "word/document.xml";
    if (!p.Has(main)) com::Raise(err::BadPackage, "Das Dokument ist beschädigt: Teil " + main + " fehlt");
    lp->mainPart = main;
    const std::string dir = Dir(main);
    lp->relsPart = dir + "_rels/" + main.substr(dir.size()) + ".rels";
    lp->commentsPart = RelTarget(p, lp->relsPart, "/comments", dir);
    lp->stylesPart = RelTarget(p, lp->relsPart, "/styles", dir);
    RefuseProtected(p, lp->relsPart, dir);
    st.defaultFontName.clear();
    if (!lp->stylesPart.empty() && p.Has(lp->stylesPart)) ReadDefaultFont(st, pkg::ParseXmlPart(p.Read(lp->stylesPart), lp->stylesPart));

    // Parts a save rewrites are checked now, so a damaged one fails the load, not a later save.
    for (const std::string& part : {std::string("[Content_Types].xml"), lp->relsPart})
        if (p.Has(part)) (void)pkg::ParseXmlPart(p.Read(part), part);

    Reader reader(st, *lp);
    if (!lp->commentsPart.empty() && p.Has(lp->commentsPart)) {
        auto cx = pkg::ParseXmlPart(p.Read(lp->commentsPart), lp->commentsPart);
        xml_node root = cx.document_element();
        if (!Is(root, "comments"))
            com::Raise(err::BadPackage, "Das Dokument ist beschädigt: Teil " + lp->commentsPart + " enthält keine Kommentare");
        lp->commentsRootTag = StartTag(root);
        reader.Comments(root);
    }

    lp->mainRaw = p.Read(main);
    const std::string& raw = lp->mainRaw;
    // Our invoices hold about one character per 40 bytes of markup (tables,
    // cell and run properties around short texts); more grows the stream.
    st.main.chars.reserve(raw.size() / 40);
    // The part without the body's content gives the root and what stands beside
    // the body; the content is then parsed some blocks at a time, so that no tree
    // of the whole part is held. Parts the scan does not follow are parsed whole.
    std::optional<BodySplit> split = SplitBody(raw);
    std::string frame, whole;  // what the tree below was parsed in
    pugi::xml_document doc;
    xml_node body;
    if (split) {
        frame = raw.substr(0, split->open) + raw.substr(split->close);
        doc = pkg::ParseXmlPartInPlace(frame, main, {0, split->open, split->close - split->open});
        body = HeadAndTail(st, doc, main);
        // The body the scan found is the one the reader takes: it stands before the cut, empty.
        const ptrdiff_t at = body.offset_debug();
        if (at < 0 || static_cast<size_t>(at) >= split->open || body.first_child()) split.reset();
    }
    if (!split) {
        whole = raw;
        doc = pkg::ParseXmlPartInPlace(whole, main);
        body = HeadAndTail(st, doc, main);
    }
    // Where an element parsed from raw[from...] starts in raw, -1 when that cannot be told.
    auto startIn = [&](xml_node c, size_t from) {
        const ptrdiff_t o = c.offset_debug();
        const size_t lt = from + static_cast<size_t>(o) - 1;
        return o > 0 && lt < raw.size() && raw[lt] == '<' ? static_cast<long>(lt) : -1L;
    };
    if (split) {
        reader.Body(
            [&](auto&& visit) {
                std::string buf;
                size_t from = split->open, room = kChunkBytes;
                while (from < split->close) {
                    const size_t to = std::min(split->close, from + room);
                    buf.assign(raw, from, to - from);
                    pugi::xml_document part;
                    const auto res = pkg::LoadXmlFragmentInPlace(part, buf);
                    std::vector<xml_node> whole;
                    for (auto c : part.children())
                        if (c.type() == pugi::node_element) whole.push_back(c);
                    size_t next = to;
                    if (!res && to < split->close) {
                        // Cut inside an element: those before the last are whole, the
                        // next stretch starts at it. A stretch of one element grows.
                        if (whole.size() < 2) {
                            room *= 2;
                            continue;
                        }
                        next = from + static_cast<size_t>(whole.back().offset_debug()) - 1;
                        whole.pop_back();
                    } else {
                        pkg::CheckXmlPart(part, res, main, {from});
                    }
                    for (auto c : whole) visit(c, startIn(c, from));
                    from = next;
                    room = kChunkBytes;
                }
            },
            split->close);
    } else {
        reader.Body(
            [&](auto&& visit) {
                for (auto c : body.children())
                    if (c.type() == pugi::node_element) visit(c, startIn(c, 0));
            },
            raw.rfind("</" + std::string(body.name())));
    }
    reader.FinishComments();
    lp->referencedComments = st.comments.size();
    const CommentIds ids = AssignCommentIds(st, lp->firstFreeCommentId);
    const CommentMarks marks = PlaceCommentMarks(st, ids);
    const auto cs = st.main.chars.Contiguous();
    for (auto& b : lp->blocks) {
        b.length = b.healed ? -1 : b.range->end - b.range->start;
        b.print = BlockPrint(st, cs, b.range->start, b.range->end, marks, ids);
    }
    for (auto& c : st.comments) c.print = CommentPrint(st, c);
    st.package = lp;
    ++st.version;
}

}  // namespace kado::word::detail
