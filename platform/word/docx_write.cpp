// Writing the character stream as WordprocessingML: tables with a grid that
// covers every cell edge, comments with balanced anchors, text boxes with a
// DrawingML choice and a VML fallback; kept XML goes back as it was read.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>
#include <span>
#include <unordered_map>
#include <sstream>

#include "platform/com/numtext.h"
#include "docx_io.h"
#include "text_codec.h"
#include "xml_safe.h"

namespace kado::word::detail {
namespace {

constexpr char kW[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr char kRelNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr char kCommentsRel[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments";
constexpr char kCommentsType[] = "application/vnd.openxmlformats-officedocument.wordprocessingml.comments+xml";

// Namespaces our own constructs need on the document root.
constexpr std::pair<const char*, const char*> kRootNs[] = {
    {"w", kW},
    {"r", kRelNs},
    {"mc", "http://schemas.openxmlformats.org/markup-compatibility/2006"},
    {"wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"},
    {"wps", "http://schemas.microsoft.com/office/word/2010/wordprocessingShape"},
    {"a", "http://schemas.openxmlformats.org/drawingml/2006/main"},
    {"v", "urn:schemas-microsoft-com:vml"},
    {"o", "urn:schemas-microsoft-com:office:office"},
};

// Schema order of the property children we merge modelled values into.
const std::vector<std::string_view> kPPrOrder = {
    "pStyle", "keepNext", "keepLines", "pageBreakBefore", "framePr", "widowControl", "numPr", "suppressLineNumbers",
    "pBdr", "shd", "tabs", "suppressAutoHyphens", "kinsoku", "wordWrap", "overflowPunct", "topLinePunct",
    "autoSpaceDE", "autoSpaceDN", "bidi", "adjustRightInd", "snapToGrid", "spacing", "ind", "contextualSpacing",
    "mirrorIndents", "suppressOverlap", "jc", "textDirection", "textAlignment", "textboxTightWrap", "outlineLvl",
    "divId", "cnfStyle", "rPr", "sectPr", "pPrChange"};
const std::vector<std::string_view> kRPrOrder = {
    "rStyle", "rFonts", "b", "bCs", "i", "iCs", "caps", "smallCaps", "strike", "dstrike", "outline", "shadow",
    "emboss", "imprint", "noProof", "snapToGrid", "vanish", "webHidden", "color", "spacing", "w", "kern",
    "position", "sz", "szCs", "highlight", "u", "effect", "bdr", "shd", "fitText", "vertAlign", "rtl", "cs", "em",
    "lang", "eastAsianLayout", "specVanish", "oMath"};
const std::vector<std::string_view> kTcPrOrder = {
    "cnfStyle", "tcW", "gridSpan", "hMerge", "vMerge", "tcBorders", "shd", "noWrap", "tcMar", "textDirection",
    "tcFitText", "vAlign", "hideMark", "headers", "cellIns", "cellDel", "cellMerge", "tcPrChange"};
const std::vector<std::string_view> kTrPrOrder = {
    "cnfStyle", "divId", "gridBefore", "gridAfter", "wBefore", "wAfter", "cantSplit", "trHeight", "tblHeader",
    "tblCellSpacing", "jc", "hidden", "ins", "del", "trPrChange"};

std::string_view Local(std::string_view s) {
    auto p = s.find(':');
    return p == std::string_view::npos ? s : s.substr(p + 1);
}
int Rank(const std::vector<std::string_view>& order, std::string_view local) {
    auto it = std::find(order.begin(), order.end(), local);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

// Puts modelled property elements among the kept ones in schema order.
std::string Merge(const std::string& kept, std::vector<std::pair<std::string_view, std::string>> add,
                  const std::vector<std::string_view>& order) {
    std::string out;
    std::stable_sort(add.begin(), add.end(),
                     [&](const auto& a, const auto& b) { return Rank(order, a.first) < Rank(order, b.first); });
    size_t next = 0;
    auto emitUpTo = [&](int rank) {
        while (next < add.size() && Rank(order, add[next].first) < rank) out += add[next++].second;
    };
    if (!kept.empty()) {
        pugi::xml_document frag;
        const std::string wrapped = "<x>" + kept + "</x>";
        if (frag.load_buffer(wrapped.data(), wrapped.size(), pugi::parse_default | pugi::parse_ws_pcdata)) {
            int rank = -1;
            for (auto c : frag.first_child().children()) {
                int r = Rank(order, Local(c.name()));
                if (r >= 0) rank = r;
                emitUpTo(rank);
                std::ostringstream o;
                c.print(o, "", pugi::format_raw, pugi::encoding_utf8);
                out += o.str();
            }
        } else {
            out += kept;
        }
    }
    emitUpTo(1 << 30);
    return out;
}

void Escape(std::string& out, std::string_view s, bool attr) {
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': if (attr) { out += "&quot;"; break; } [[fallthrough]];
            default: out += c;
        }
    }
}
std::string Esc(std::string_view s) {
    std::string o;
    Escape(o, s, true);
    return o;
}
bool XmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}
long Twips(double pt) { return std::lround(std::clamp(pt, -1e6, 1e6) * 20.0); }
long Emu(double pt) { return std::lround(std::clamp(pt, -1e6, 1e6) * 12700.0); }
// A stream's default "%g" text of six digits.
std::string Num(double v) { return com::DotText(v, 6); }
using Props = std::vector<std::pair<std::string_view, std::string>>;
// An on/off property element; an inherited one is not written.
void AddSwitch(Props& add, std::string_view name, OnOff v) {
    if (v != OnOff::Inherited) add.emplace_back(name, "<w:" + std::string(name) + (v == OnOff::On ? "/>" : " w:val=\"0\"/>"));
}
bool Structural(Kind k) { return k == Kind::CellEnd || k == Kind::RowCr || k == Kind::RowEnd; }

class Writer {
public:
    Writer(DocState& st, const LoadedPackage* lp)
        : st_(st), lp_(lp), ids_(AssignCommentIds(st, lp ? lp->firstFreeCommentId : 0)), fileId_(ids_.fileId),
          written_(ids_.written), marks_(PlaceCommentMarks(st, ids_)) {}

    const std::vector<int64_t>& Written() const { return written_; }

    // A loaded comment that comes out as read: same id, same text and data.
    bool Kept(const CommentData& cd) const {
        auto it = fileId_.find(cd.id);
        return cd.keepable && cd.fileId >= 0 && it != fileId_.end() && it->second == cd.fileId &&
               CommentPrint(st_, cd) == cd.print;
    }
    // Whether the comments part would come out as it was read.
    bool CommentsAsRead() const {
        if (!lp_ || written_.size() != lp_->referencedComments) return false;
        for (int64_t id : written_)
            if (!Kept(*st_.FindComment(id))) return false;
        return true;
    }

    // Drawing ids are unique in a document: ours start above those of kept drawings.
    void SkipKeptDrawingIds() {
        for (const auto& x : st_.opaque) {
            for (size_t at = x.find("docPr "); at != std::string::npos; at = x.find("docPr ", at + 6)) {
                size_t end = x.find('>', at), id = x.find(" id=\"", at);
                if (id == std::string::npos || id > end) continue;
                long v = 0;
                for (size_t i = id + 5; i < x.size() && i < id + 14 && std::isdigit(static_cast<unsigned char>(x[i])); ++i)
                    v = v * 10 + (x[i] - '0');
                nextDocPr_ = std::max<long>(nextDocPr_, v + 1);
            }
        }
    }

    // Appends the body's content to o.
    void Body(std::string& o) {
        const auto cs = st_.main.chars.Contiguous();
        if (!lp_ || lp_->blocks.empty()) {
            // Our tables take about 16 bytes of markup per character of text.
            o.reserve(o.size() + std::min<size_t>(cs.size() * 16, size_t{256} << 20));
            WriteStory(o, cs, true);
            return;
        }
        // Mostly the part as read again, and what the edits wrote anew: a
        // confirmation's fee table and totals come to a few dozen kilobytes.
        o.reserve(o.size() + lp_->mainRaw.size() + lp_->mainRaw.size() / 32 + (64 << 10));
        // Blocks the edits left alone go out as they were read; the rest, and
        // whatever was inserted between them, is written from the model.
        const auto& blocks = lp_->blocks;
        size_t b = 0;
        long i = 0, n = static_cast<long>(cs.size());
        while (i < n) {
            while (b < blocks.size() && blocks[b].range->start < i) ++b;
            bool kept = false;
            // Several blocks start here when those before the last were deleted.
            for (; b < blocks.size() && blocks[b].range->start == i && !kept; ++b) {
                const SourceBlock& sb = blocks[b];
                // What was inserted at the block's end (a split paragraph's second
                // half, a table after it) lies inside its range and is written after it.
                const long end = i + sb.length;
                if (end <= sb.range->end && StandsAlone(cs, i, end) && BlockPrint(st_, cs, i, end, marks_, ids_) == sb.print) {
                    o.append(lp_->mainRaw, sb.from, sb.to - sb.from);
                    i = end;
                    kept = true;
                }
            }
            if (!kept) i = cs[i].table != 0 ? WriteTable(o, cs, i) : WriteParagraph(o, cs, i, n, true, "");
        }
    }

    std::string CommentsPart(const std::string& rootTag) {
        std::string o = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
        o += rootTag.empty() ? "<w:comments xmlns:w=\"" + std::string(kW) + "\" xmlns:r=\"" + kRelNs + "\">" : rootTag;
        for (int64_t id : written_) {
            const CommentData* cd = st_.FindComment(id);
            if (Kept(*cd)) {
                o += cd->sourceXml;
                continue;
            }
            o += "<w:comment w:id=\"" + std::to_string(fileId_[id]) + "\" w:author=\"" + Esc(cd->author) + "\"";
            if (!cd->date.empty()) o += " w:date=\"" + Esc(cd->date) + "\"";
            o += " w:initials=\"" + Esc(cd->initials) + "\">";
            Story* s = st_.FindStory(StoryType::Comments, id);
            if (s && !s->chars.empty()) {
                const auto cs = s->chars.Contiguous();
                long i = 0, n = static_cast<long>(cs.size());
                bool first = true;
                while (i < n) {
                    i = WriteParagraph(o, cs, i, n, false, first ? "<w:r><w:annotationRef/></w:r>" : "");
                    first = false;
                }
            } else {
                o += "<w:p><w:r><w:annotationRef/></w:r></w:p>";
            }
            o += "</w:comment>";
        }
        if (lp_)
            for (const auto& x : lp_->unreferencedComments) o += x;
        return o + "</w:comments>";
    }

private:
    void WriteStory(std::string& o, std::span<const Ch> cs, bool main) {
        long i = 0, n = static_cast<long>(cs.size());
        while (i < n) {
            if (cs[i].table != 0 && main) i = WriteTable(o, cs, i);
            else i = WriteParagraph(o, cs, i, n, main, "");
        }
    }

    const std::string& RPr(uint32_t idx) {
        auto it = rpr_.find(idx);
        if (it != rpr_.end()) return it->second;
        const RunFormat f = idx < st_.runFormats.size() ? st_.runFormats[idx] : RunFormat{};
        std::vector<std::pair<std::string_view, std::string>> add;
        if (f.bold) add.emplace_back("b", "<w:b/>");
        if (f.size > 0) {
            const std::string hp = std::to_string(std::lround(std::clamp(f.size, 0.5f, 1638.0f) * 2));
            add.emplace_back("sz", "<w:sz w:val=\"" + hp + "\"/>");
        }
        if (f.underline) add.emplace_back("u", "<w:u w:val=\"single\"/>");
        std::string inner = Merge(f.otherXml, std::move(add), kRPrOrder);
        return rpr_[idx] = inner.empty() ? std::string() : "<w:rPr>" + inner + "</w:rPr>";
    }

    const std::string& PPr(uint32_t para, uint32_t run) {
        auto key = std::make_pair(para, run);
        auto it = ppr_.find(key);
        if (it != ppr_.end()) return it->second;
        const ParaFormat f = para < st_.paraFormats.size() ? st_.paraFormats[para] : ParaFormat{};
        std::vector<std::pair<std::string_view, std::string>> add;
        static constexpr const char* kJc[] = {"left", "center", "right", "both"};
        if (f.alignment >= 0 && f.alignment <= 3) add.emplace_back("jc", std::string("<w:jc w:val=\"") + kJc[f.alignment] + "\"/>");
        AddSwitch(add, "keepNext", f.keepNext);
        AddSwitch(add, "keepLines", f.keepLines);
        if (const std::string& r = RPr(run); !r.empty()) add.emplace_back("rPr", r);
        std::string inner = Merge(f.otherXml, std::move(add), kPPrOrder);
        return ppr_[key] = inner.empty() ? std::string() : "<w:pPr>" + inner + "</w:pPr>";
    }

    void Marks(std::string& o, long pos) {
        auto it = marks_.find(pos);
        if (it == marks_.end()) return;
        for (int m : it->second)
            if (m < 0) o += "<w:commentRangeEnd w:id=\"" + std::to_string(-m - 1) + "\"/>";
        for (int m : it->second)
            if (m > 0) o += "<w:commentRangeStart w:id=\"" + std::to_string(m - 1) + "\"/>";
    }

    // One paragraph from i up to and including its mark; returns the index after it.
    long WriteParagraph(std::string& o, std::span<const Ch> cs, long i, long limit, bool main, std::string_view lead) {
        long j = i;
        while (j < limit && cs[j].kind != Kind::ParaEnd && !Structural(cs[j].kind)) ++j;
        const bool hasMark = j < limit && cs[j].kind == Kind::ParaEnd;
        for (long k = i; k < j; ++k)
            if (cs[k].kind == Kind::Opaque && cs[k].aux < st_.opaque.size() && !st_.opaque[cs[k].aux].empty() &&
                st_.opaque[cs[k].aux][0] == kBlockOpaque)
                o.append(st_.opaque[cs[k].aux], 1);
        o += "<w:p>";
        if (hasMark) o += PPr(cs[j].aux, cs[j].run);
        o += lead;
        for (long k = i; k < j;) {
            if (main) Marks(o, k);
            const Ch& c = cs[k];
            if (c.kind == Kind::Text) {
                o += "<w:r>" + RPr(c.run);
                bool inT = false;
                long m = k;
                for (; m < j && cs[m].kind == Kind::Text && cs[m].run == c.run && (m == k || !main || !marks_.count(m)); ++m) {
                    char32_t ch = cs[m].c;
                    const char* tag = ch == U'\t' ? "<w:tab/>" : (ch == U'\v' || ch == U'\n') ? "<w:br/>"
                                    : ch == U'\f' ? "<w:br w:type=\"page\"/>" : nullptr;
                    if (tag || !XmlChar(ch) || ch == U'\r') {
                        if (inT) o += "</w:t>";
                        inT = false;
                        if (tag) o += tag;
                        continue;
                    }
                    if (!inT) o += "<w:t xml:space=\"preserve\">";
                    inT = true;
                    if (ch == '&') o += "&amp;";
                    else if (ch == '<') o += "&lt;";
                    else if (ch == '>') o += "&gt;";
                    else AppendUtf8(o, ch);
                }
                if (inT) o += "</w:t>";
                o += "</w:r>";
                k = m;
                continue;
            }
            if (c.kind == Kind::CommentRef && main) {
                auto it = fileId_.find(c.aux);
                if (it != fileId_.end())
                    o += "<w:r>" + RPr(c.run) + "<w:commentReference w:id=\"" + std::to_string(it->second) + "\"/></w:r>";
            } else if (c.kind == Kind::ShapeAnchor && main) {
                if (const ShapeData* sd = st_.FindShape(c.aux)) TextBox(o, *sd, c.run);
            } else if (c.kind == Kind::Opaque && c.aux < st_.opaque.size()) {
                const std::string& x = st_.opaque[c.aux];
                if (x.empty() || x[0] != kBlockOpaque) o += x;
            }
            ++k;
        }
        if (main) Marks(o, j);
        o += "</w:p>";
        return hasMark ? j + 1 : j;
    }

    void TextBox(std::string& o, const ShapeData& sd, uint32_t run) {
        std::string content;
        if (Story* s = st_.FindStory(StoryType::TextFrame, sd.id); s && !s->chars.empty()) WriteStory(content, s->chars.Contiguous(), false);
        else content = "<w:p/>";
        const long docPr = nextDocPr_++;
        static constexpr const char* kRelV[] = {"margin", "page", "paragraph", "line"};
        static constexpr const char* kVmlRelV[] = {"margin", "page", "text", "line"};
        const int rv = std::clamp(static_cast<int>(sd.relV), 0, 3);
        const float transparency = std::clamp(sd.fillTransparency, 0.0f, 1.0f);
        const std::string cx = std::to_string(std::max(0L, Emu(sd.width))), cy = std::to_string(std::max(0L, Emu(sd.height)));
        const std::string z = std::to_string(251659264 + docPr);
        o += "<w:r>" + RPr(run) + "<mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing>";
        o += "<wp:anchor distT=\"0\" distB=\"0\" distL=\"114300\" distR=\"114300\" simplePos=\"0\" relativeHeight=\"" + z +
             "\" behindDoc=\"0\" locked=\"0\" layoutInCell=\"1\" allowOverlap=\"1\"><wp:simplePos x=\"0\" y=\"0\"/>";
        o += "<wp:positionH relativeFrom=\"column\"><wp:posOffset>" + std::to_string(Emu(sd.left)) + "</wp:posOffset></wp:positionH>";
        o += std::string("<wp:positionV relativeFrom=\"") + kRelV[rv] + "\"><wp:posOffset>" + std::to_string(Emu(sd.top)) +
             "</wp:posOffset></wp:positionV>";
        o += "<wp:extent cx=\"" + cx + "\" cy=\"" + cy + "\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>";
        o += sd.wrap == WrapType::TopBottom ? "<wp:wrapTopAndBottom/>" : "<wp:wrapNone/>";
        o += "<wp:docPr id=\"" + std::to_string(docPr) + "\" name=\"" + Esc(sd.name) + "\"/><wp:cNvGraphicFramePr/>";
        o += "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
             "<a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><wps:wsp>"
             "<wps:cNvSpPr txBox=\"1\"/><wps:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" + cx + "\" cy=\"" + cy +
             "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom>";
        if (sd.fillVisible)
            o += "<a:solidFill><a:srgbClr val=\"FFFFFF\"><a:alpha val=\"" +
                 std::to_string(std::lround((1.0 - transparency) * 100000)) + "\"/></a:srgbClr></a:solidFill>";
        else
            o += "<a:noFill/>";
        o += sd.lineVisible ? "<a:ln w=\"6350\"><a:solidFill><a:srgbClr val=\"000000\"/></a:solidFill></a:ln>"
                            : "<a:ln><a:noFill/></a:ln>";
        o += "</wps:spPr><wps:txbx><w:txbxContent>" + content + "</w:txbxContent></wps:txbx>"
             "<wps:bodyPr rot=\"0\" vert=\"horz\" wrap=\"square\" lIns=\"91440\" tIns=\"45720\" rIns=\"91440\" bIns=\"45720\" "
             "anchor=\"t\" anchorCtr=\"0\"><a:noAutofit/></wps:bodyPr></wps:wsp></a:graphicData></a:graphic></wp:anchor>"
             "</w:drawing></mc:Choice><mc:Fallback><w:pict>";
        o += "<v:shape id=\"_x0000_s" + std::to_string(1024 + docPr) + "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:" +
             Num(sd.left) + "pt;margin-top:" + Num(sd.top) + "pt;width:" + Num(sd.width) + "pt;height:" + Num(sd.height) +
             "pt;z-index:" + z + ";mso-position-horizontal-relative:text;mso-position-vertical-relative:" + kVmlRelV[rv] +
             "\" filled=\"" + (sd.fillVisible ? "t" : "f") + "\" fillcolor=\"white\" stroked=\"" + (sd.lineVisible ? "t" : "f") +
             "\" strokeweight=\".5pt\">";
        if (sd.fillVisible) o += "<v:fill opacity=\"" + Num(1.0 - transparency) + "\"/>";
        o += "<v:textbox><w:txbxContent>" + content + "</w:txbxContent></v:textbox>";
        if (sd.wrap == WrapType::TopBottom)
            o += "<w10:wrap xmlns:w10=\"urn:schemas-microsoft-com:office:word\" type=\"topAndBottom\"/>";
        o += "</v:shape></w:pict></mc:Fallback>"
             "</mc:AlternateContent></w:r>";
    }

    // Cell properties repeat from cell to cell: each combination is merged once.
    const std::string& TcPr(const CellProps& cp, long width, long span) {
        std::string key = std::to_string(width) + ' ' + std::to_string(span) + ' ' +
                          static_cast<char>('0' + static_cast<int>(cp.top)) + static_cast<char>('0' + static_cast<int>(cp.left)) +
                          static_cast<char>('0' + static_cast<int>(cp.bottom)) + static_cast<char>('0' + static_cast<int>(cp.right)) +
                          cp.otherXml;
        auto it = tcPr_.find(key);
        if (it != tcPr_.end()) return it->second;
        std::vector<std::pair<std::string_view, std::string>> add;
        add.emplace_back("tcW", "<w:tcW w:w=\"" + std::to_string(width) + "\" w:type=\"dxa\"/>");
        if (span > 1) add.emplace_back("gridSpan", "<w:gridSpan w:val=\"" + std::to_string(span) + "\"/>");
        auto b = [](const char* edgeName, LineStyle s) {
            return std::string("<w:") + edgeName +
                   (s == LineStyle::None ? " w:val=\"nil\"/>" : " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>");
        };
        add.emplace_back("tcBorders", "<w:tcBorders>" + b("top", cp.top) + b("left", cp.left) + b("bottom", cp.bottom) +
                                          b("right", cp.right) + "</w:tcBorders>");
        return tcPr_.emplace(std::move(key), Merge(cp.otherXml, std::move(add), kTcPrOrder)).first->second;
    }

    struct CellSpan {
        long from, to;  // paragraphs of the cell; to is the CellEnd
        uint32_t props;
    };

    long WriteTable(std::string& o, std::span<const Ch> cs, long i) {
        const int64_t id = cs[i].table;
        const long n = static_cast<long>(cs.size());
        std::vector<std::pair<std::vector<CellSpan>, uint32_t>> rows;
        std::vector<CellSpan> cur;
        long k = i, cellStart = i;
        for (; k < n && cs[k].table == id; ++k) {
            if (cs[k].kind == Kind::CellEnd) {
                cur.push_back({cellStart, k, cs[k].aux});
                cellStart = k + 1;
            } else if (cs[k].kind == Kind::RowCr) {
                cellStart = k + 1;
            } else if (cs[k].kind == Kind::RowEnd) {
                if (!cur.empty()) rows.emplace_back(std::move(cur), cs[k].aux);
                cur.clear();
                cellStart = k + 1;
            }
        }
        if (!cur.empty()) rows.emplace_back(std::move(cur), ~0u);
        // Cell widths in twips; cells without one share what the text width leaves.
        const long textTw = std::max(Twips(st_.textWidth), 720L);
        std::vector<std::vector<long>> widths;
        std::set<long> edges{0};
        for (const auto& [cells, rp] : rows) {
            std::vector<long> w;
            long known = 0, zeros = 0;
            for (const auto& c : cells) {
                long t = c.props < st_.cellProps.size() ? Twips(st_.cellProps[c.props].width) : 0;
                if (t <= 0) ++zeros;
                else known += t;
                w.push_back(t);
            }
            for (auto& t : w)
                if (t <= 0) t = std::max(360L, (textTw - known) / std::max(1L, zeros));
            long edge = 0;
            for (long t : w) edges.insert(edge += t);
            widths.push_back(std::move(w));
        }
        std::vector<long> grid(edges.begin(), edges.end());
        const TableData* td = st_.FindTable(id);
        o += "<w:tbl>";
        if (td && !td->tblPrXml.empty()) o += td->tblPrXml;
        else o += "<w:tblPr><w:tblW w:w=\"" + std::to_string(grid.back()) + "\" w:type=\"dxa\"/><w:tblLayout w:type=\"fixed\"/>"
                  "<w:tblLook w:val=\"0000\" w:firstRow=\"0\" w:lastRow=\"0\" w:firstColumn=\"0\" w:lastColumn=\"0\" w:noHBand=\"0\" w:noVBand=\"0\"/></w:tblPr>";
        o += "<w:tblGrid>";
        for (size_t g = 1; g < grid.size(); ++g) o += "<w:gridCol w:w=\"" + std::to_string(grid[g] - grid[g - 1]) + "\"/>";
        o += "</w:tblGrid>";
        for (size_t r = 0; r < rows.size(); ++r) {
            const auto& [cells, rpIdx] = rows[r];
            o += "<w:tr>";
            const RowProps rp = rpIdx < st_.rowProps.size() ? st_.rowProps[rpIdx] : RowProps{};
            std::vector<std::pair<std::string_view, std::string>> radd;
            if (rp.height > 0 && rp.rule != HeightRule::Auto)
                radd.emplace_back("trHeight", "<w:trHeight w:val=\"" + std::to_string(Twips(rp.height)) + "\" w:hRule=\"" +
                                                  (rp.rule == HeightRule::Exactly ? "exact" : "atLeast") + "\"/>");
            AddSwitch(radd, "cantSplit", rp.cantSplit);
            AddSwitch(radd, "tblHeader", rp.tblHeader);
            if (std::string trPr = Merge(rp.otherXml, std::move(radd), kTrPrOrder); !trPr.empty()) o += "<w:trPr>" + trPr + "</w:trPr>";
            long edge = 0;
            for (size_t c = 0; c < cells.size(); ++c) {
                const CellProps cp = cells[c].props < st_.cellProps.size() ? st_.cellProps[cells[c].props] : CellProps{};
                const long from = edge, to = edge += widths[r][c];
                const long span = std::count_if(grid.begin(), grid.end(), [&](long g) { return g > from && g <= to; });
                o += "<w:tc><w:tcPr>" + TcPr(cp, to - from, span) + "</w:tcPr>";
                long p = cells[c].from;
                if (p >= cells[c].to) o += "<w:p/>";
                while (p < cells[c].to) p = WriteParagraph(o, cs, p, cells[c].to, true, "");
                o += "</w:tc>";
            }
            o += "</w:tr>";
        }
        o += "</w:tbl>";
        // Characters of an unfinished last row are written as paragraphs after the table.
        long tail = rows.empty() || rows.back().second != ~0u ? k : rows.back().first.back().to + 1;
        while (tail < k) {
            long next = WriteParagraph(o, cs, tail, k, true, "");
            tail = next > tail ? next : tail + 1;
        }
        return k;
    }

    DocState& st_;
    const LoadedPackage* lp_;
    CommentIds ids_;
    std::map<int64_t, int> fileId_;
    std::vector<int64_t> written_;
    CommentMarks marks_;
    std::map<uint32_t, std::string> rpr_;
    std::map<std::pair<uint32_t, uint32_t>, std::string> ppr_;
    std::unordered_map<std::string, std::string> tcPr_;
    long nextDocPr_ = 1;
};

// The root start tag of document.xml with the namespaces our constructs use.
std::string Head(const DocState& st) {
    std::string head = st.documentXmlHead;
    if (head.empty()) {
        head = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document><w:body>)";
    }
    size_t rootStart = head.find("<w:document");
    if (rootStart == std::string::npos) return head;
    size_t close = head.find('>', rootStart);
    if (close == std::string::npos) return head;
    std::string extra;
    const std::string_view tag(head.data() + rootStart, close - rootStart);
    for (const auto& [prefix, uri] : kRootNs)
        if (tag.find(std::string(" xmlns:") + prefix + "=") == std::string_view::npos)
            extra += std::string(" xmlns:") + prefix + "=\"" + uri + "\"";
    head.insert(close - (head[close - 1] == '/' ? 1 : 0), extra);
    return head;
}

constexpr char kStylesType[] = "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml";
constexpr char kStylesRel[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";

// Schema order of the children of the elements whose properties we set.
const std::vector<std::string_view> kSectPrOrder = {
    "headerReference", "footerReference", "footnotePr", "endnotePr", "type", "pgSz", "pgMar", "paperSrc",
    "pgBorders", "lnNumType", "pgNumType", "cols", "formProt", "vAlign", "noEndnote", "titlePg",
    "textDirection", "bidi", "rtlGutter", "docGrid", "printerSettings", "sectPrChange"};
const std::vector<std::string_view> kStylesOrder = {"docDefaults", "latentStyles", "style"};
const std::vector<std::string_view> kDocDefaultsOrder = {"rPrDefault", "pPrDefault"};
const std::vector<std::string_view> kRPrDefaultOrder = {"rPr"};

// A name with the namespace prefix of the node's own name.
std::string Prefixed(pugi::xml_node n, std::string_view local) {
    const std::string_view own = n.name();
    const auto colon = own.find(':');
    return std::string(colon == std::string_view::npos ? std::string_view() : own.substr(0, colon + 1)) + std::string(local);
}

// The child of that local name, inserted at its place in schema order when
// missing, with the parent's namespace prefix.
pugi::xml_node Ensure(pugi::xml_node parent, std::string_view local, const std::vector<std::string_view>& order) {
    for (auto c : parent.children())
        if (c.type() == pugi::node_element && Local(c.name()) == local) return c;
    const std::string name = Prefixed(parent, local);
    const int rank = Rank(order, local);
    for (auto c : parent.children())
        if (c.type() == pugi::node_element && Rank(order, Local(c.name())) > rank)
            return parent.insert_child_before(name.c_str(), c);
    return parent.append_child(name.c_str());
}
void SetAttr(pugi::xml_node n, std::string_view local, const std::string& value) {
    for (auto a : n.attributes())
        if (Local(a.name()) == local) {
            a.set_value(value.c_str());
            return;
        }
    n.append_attribute(Prefixed(n, local).c_str()) = value.c_str();
}

// The body's section as read, or with the edited page size and margins.
std::string SectPr(const DocState& st) {
    const auto& pg = st.page;
    if (st.sectPr.empty())
        return "<w:sectPr><w:pgSz w:w=\"" + std::to_string(pg.width) + "\" w:h=\"" + std::to_string(pg.height) +
               "\"/><w:pgMar w:top=\"1417\" w:right=\"" + std::to_string(pg.right) + "\" w:bottom=\"1134\" w:left=\"" +
               std::to_string(pg.left) + "\" w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/></w:sectPr>";
    if (!st.pageEdited) return st.sectPr;
    pugi::xml_document d;
    if (!d.load_buffer(st.sectPr.data(), st.sectPr.size(), pugi::parse_default | pugi::parse_ws_pcdata))
        return st.sectPr;
    auto sect = d.document_element();
    auto sz = Ensure(sect, "pgSz", kSectPrOrder);
    SetAttr(sz, "w", std::to_string(pg.width));
    SetAttr(sz, "h", std::to_string(pg.height));
    auto mar = Ensure(sect, "pgMar", kSectPrOrder);
    SetAttr(mar, "left", std::to_string(pg.left));
    SetAttr(mar, "right", std::to_string(pg.right));
    std::ostringstream o;
    sect.print(o, "", pugi::format_raw, pugi::encoding_utf8);
    return o.str();
}

std::string Tail(const DocState& st) {
    const bool fresh = st.documentXmlTail.empty();
    const std::string sect = fresh || st.pageEdited ? SectPr(st) : st.sectPr;
    if (fresh) return sect + "</w:body></w:document>";
    return st.documentXmlTail.substr(0, st.sectPrAt) + sect + st.documentXmlTail.substr(st.sectPrAt);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

void EnsureOverride(pkg::Package& p, const std::string& part, const char* type) {
    const std::string name = "[Content_Types].xml";
    pugi::xml_document d;
    if (p.Has(name)) d = pkg::ParseXmlPart(p.Read(name), name);
    pugi::xml_node types = d.document_element();
    if (!types) {
        types = d.append_child("Types");
        types.append_attribute("xmlns") = "http://schemas.openxmlformats.org/package/2006/content-types";
    }
    for (auto o : types.children("Override"))
        if (EqualsNoCase(o.attribute("PartName").value(), "/" + part)) return;
    auto o = types.append_child("Override");
    o.append_attribute("PartName") = ("/" + part).c_str();
    o.append_attribute("ContentType") = type;
    p.Write(name, pkg::XmlToString(d));
}

void EnsureRelationship(pkg::Package& p, const std::string& relsPart, const char* type, const std::string& target) {
    pugi::xml_document d;
    if (p.Has(relsPart)) d = pkg::ParseXmlPart(p.Read(relsPart), relsPart);
    pugi::xml_node rels = d.document_element();
    if (!rels) {
        rels = d.append_child("Relationships");
        rels.append_attribute("xmlns") = "http://schemas.openxmlformats.org/package/2006/relationships";
    }
    std::set<std::string> ids;
    for (auto r : rels.children("Relationship")) {
        if (std::string_view(r.attribute("Type").value()) == type) return;
        ids.insert(r.attribute("Id").value());
    }
    int k = 1;
    while (ids.count("rId" + std::to_string(k))) ++k;
    auto r = rels.append_child("Relationship");
    r.append_attribute("Id") = ("rId" + std::to_string(k)).c_str();
    r.append_attribute("Type") = type;
    r.append_attribute("Target") = target.c_str();
    p.Write(relsPart, pkg::XmlToString(d));
}

std::string HalfPoints(float points) { return std::to_string(std::lround(points * 2)); }

std::string StylesXml(const DocState& st) {
    const std::string font = Esc(st.defaultFontName), size = HalfPoints(st.defaultFontSize);
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<w:styles xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
           R"(<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=")" + font + R"(" w:hAnsi=")" + font +
           R"(" w:eastAsia=")" + font + R"(" w:cs=")" + font + R"("/>)"
           R"(<w:sz w:val=")" + size + R"("/><w:szCs w:val=")" + size +
           R"("/><w:lang w:val="de-DE" w:eastAsia="en-US" w:bidi="ar-SA"/></w:rPr></w:rPrDefault>)"
           R"(<w:pPrDefault/></w:docDefaults>)"
           R"(<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>)"
           R"(<w:style w:type="character" w:default="1" w:styleId="DefaultParagraphFont"><w:name w:val="Default Paragraph Font"/><w:uiPriority w:val="1"/><w:semiHidden/></w:style>)"
           R"(<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/><w:semiHidden/>)"
           R"(<w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/>)"
           R"(<w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style>)"
           R"(<w:style w:type="paragraph" w:styleId="CommentText"><w:name w:val="annotation text"/><w:basedOn w:val="Normal"/><w:rPr><w:sz w:val="20"/></w:rPr></w:style>)"
           R"(<w:style w:type="character" w:styleId="CommentReference"><w:name w:val="annotation reference"/><w:basedOn w:val="DefaultParagraphFont"/><w:rPr><w:sz w:val="16"/></w:rPr></w:style>)"
           R"(</w:styles>)";
}

// A loaded styles part with the edited document defaults; everything else stays.
std::string StylesWithDefaults(const std::string& xml, const std::string& part, const DocState& st) {
    auto d = pkg::ParseXmlPart(xml, part);
    auto rpr = Ensure(Ensure(Ensure(d.document_element(), "docDefaults", kStylesOrder), "rPrDefault", kDocDefaultsOrder),
                      "rPr", kRPrDefaultOrder);
    auto fonts = Ensure(rpr, "rFonts", kRPrOrder);
    for (const char* a : {"ascii", "hAnsi", "eastAsia", "cs"}) SetAttr(fonts, a, st.defaultFontName);
    // Theme fonts would win over the names.
    for (auto a = fonts.first_attribute(); a;) {
        auto next = a.next_attribute();
        if (Local(a.name()).ends_with("heme"))
            fonts.remove_attribute(a);
        a = next;
    }
    SetAttr(Ensure(rpr, "sz", kRPrOrder), "val", HalfPoints(st.defaultFontSize));
    SetAttr(Ensure(rpr, "szCs", kRPrOrder), "val", HalfPoints(st.defaultFontSize));
    return pkg::XmlToString(d);
}

}  // namespace

std::string SaveDocx(DocState& st) {
    auto lp = std::static_pointer_cast<LoadedPackage>(st.package);
    pkg::Package p = lp ? lp->package : pkg::Package::Empty();
    const std::string main = lp ? lp->mainPart : "word/document.xml";
    const std::string rels = lp ? lp->relsPart : "word/_rels/document.xml.rels";
    if (st.main.chars.empty() || st.main.chars.back().kind != Kind::ParaEnd)
        com::Raise(err::CommandFailed, "Der Text des Dokuments endet nicht mit einer Absatzmarke");
    Writer w(st, lp.get());
    w.SkipKeptDrawingIds();
    std::string xml = Head(st);
    w.Body(xml);
    xml += Tail(st);
    p.Write(main, std::move(xml));
    if (!lp) {
        p.Write("[Content_Types].xml",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
                R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
                R"(<Default Extension="xml" ContentType="application/xml"/>)"
                R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
                R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
                R"(</Types>)");
        p.Write("_rels/.rels",
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
                R"(</Relationships>)");
        p.Write(rels,
                R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
                R"(</Relationships>)");
        p.Write("word/styles.xml", StylesXml(st));
    } else if (st.defaultFontEdited) {
        if (!lp->stylesPart.empty() && p.Has(lp->stylesPart)) {
            p.Write(lp->stylesPart, StylesWithDefaults(p.Read(lp->stylesPart), lp->stylesPart, st));
        } else {
            const std::string dir = main.substr(0, main.rfind('/') + 1);
            p.Write(dir + "styles.xml", StylesXml(st));
            EnsureOverride(p, dir + "styles.xml", kStylesType);
            EnsureRelationship(p, rels, kStylesRel, "styles.xml");
        }
    }
    const bool hadComments = lp && !lp->commentsPart.empty();
    if ((!w.Written().empty() || hadComments) && !(hadComments && w.CommentsAsRead())) {
        const std::string dir = main.substr(0, main.rfind('/') + 1);
        std::string part = hadComments ? lp->commentsPart : dir + "comments.xml";
        p.Write(part, w.CommentsPart(hadComments ? lp->commentsRootTag : std::string()));
        EnsureOverride(p, part, kCommentsType);
        if (!hadComments) EnsureRelationship(p, rels, kCommentsRel, part.substr(dir.size()));
    }
    return p.ToBytes();
}

}  // namespace kado::word::detail
