#include "host/gui/invoice_preview.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <climits>
#include <optional>
#include <set>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "platform/com/error.h"
#include "platform/word/content_print.h"
#include "platform/word/page_estimate.h"

namespace kado::host::gui {

// How far the drawing has come: the page breaks passed and the boxes drawn.
struct PagerState {
    size_t next = 0;
    std::set<int64_t> drawn;
};

// What the whole drawing shares: a change of any of it draws the preview anew.
struct Scale {
    double pxPerPt, pointSize, textWidthPt;
    QFont font;
};

// The invoice cut into pieces that are drawn one after another: the text before
// a table with the table, and the text after the last table. Each piece starts
// in an empty block, after the last part of the table before it.
struct InvoicePlan {
    struct Piece {
        long from = 0, tableStart = 0;
        word::Table table;  // empty for the text after the last table
        uint64_t print = 0;  // everything its drawing depends on
        size_t firstComment = 0;
        PagerState pager;  // as the drawing reaches it
    };
    std::vector<Piece> pieces;
    word::EstimatedPages pages;
    Scale scale;
    uint64_t key = 0;  // what all pieces share
};

namespace {

using word::BorderType;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

Qt::Alignment AlignmentOf(word::Alignment a) {
    switch (a) {
        case word::Alignment::Center: return Qt::AlignHCenter;
        case word::Alignment::Right: return Qt::AlignRight;
        case word::Alignment::Justify: return Qt::AlignJustify;
        case word::Alignment::Left: break;
    }
    return Qt::AlignLeft;
}

// Writes text of the main story; each comment reference mark in it stands for the
// next marker comment in document order, shown only on request.
class Writer {
public:
    // `first`: the comment the first reference mark drawn stands for.
    Writer(const word::Document& doc, bool markers, double pointSize, size_t first = 0)
        : markers_(markers), pointSize_(pointSize), next_(first) {
        if (!markers) return;
        const auto comments = doc.GetComments();
        for (int i = 1; i <= comments.Count(); ++i) commentTexts_.push_back(comments.Item(i).Text());
    }

    void Write(QTextCursor& cur, std::string_view text, const QTextCharFormat& format) {
        size_t from = 0;
        for (size_t at = text.find('\x05'); at != std::string_view::npos; at = text.find('\x05', from)) {
            cur.insertText(Q(text.substr(from, at - from)), format);
            Marker(cur, format);
            from = at + 1;
        }
        cur.insertText(Q(text.substr(from)), format);
    }

    // A run of paragraphs ending in "\r": each into a block of its own, the first into
    // the block the cursor is in.
    void Paragraphs(QTextCursor& cur, std::string_view text, const QTextCharFormat& format) {
        if (text.ends_with('\r')) text.remove_suffix(1);
        for (size_t from = 0;;) {
            const size_t end = std::min(text.find('\r', from), text.size());
            Write(cur, text.substr(from, end - from), format);
            if (end >= text.size()) break;
            cur.insertBlock();
            from = end + 1;
        }
    }

private:
    void Marker(QTextCursor& cur, const QTextCharFormat& around) {
        const size_t index = next_++;
        if (!markers_ || index >= commentTexts_.size()) return;
        QTextCharFormat mark = around;
        mark.setBackground(QColor(0xff, 0xf0, 0x9c));
        mark.setForeground(QColor(0x7a, 0x5c, 0x00));
        mark.setFontWeight(QFont::Normal);
        mark.setFontPointSize(pointSize_ * 0.8);
        cur.insertText(QStringLiteral("\u2039") + Q(commentTexts_[index]) + QStringLiteral("\u203a"), mark);
    }

    bool markers_;
    double pointSize_;
    std::vector<std::string> commentTexts_;
    size_t next_;
};

// The cells of a row: the table has as many as its widest row, a row may have fewer.
int CellsIn(const word::Table& table, int row, int most) {
    for (int c = most; c > 0; --c) {
        try {
            table.GetCell(row, c);
            return c;
        } catch (const com::Error&) {
        }
    }
    return 0;
}

constexpr double kCellPadding = 2;  // pixels
// Room beside the page's text area for the tables' outer borders and padding.
constexpr double kSlack = 8;  // pixels

// Column edges in twentieths of a point, so that cells whose edges meet across rows
// share a grid line, as the written table grid does.
long Twips(double points) { return std::lround(points * 20); }

// A text box, framed lightly so that it reads as a box even when the document
// draws no line; `above` pixels of free page before it.
void DrawTextBox(const word::Shape& shape, bool markers, double pxPerPt, double pointSize, double above, QTextCursor& cur) {
    const auto text = shape.GetTextFrame().TextRange();
    QTextFrameFormat frame;
    frame.setBorder(1);
    frame.setBorderStyle(QTextFrameFormat::BorderStyle_Dotted);
    frame.setBorderBrush(QColor(0x90, 0x90, 0x90));
    frame.setPadding(4);
    frame.setTopMargin(above);
    if (shape.Width() > 0) frame.setWidth(QTextLength(QTextLength::FixedLength, shape.Width() * pxPerPt));
    QTextFrame* box = cur.insertFrame(frame);
    QTextCursor in = box->firstCursorPosition();
    if (markers) {
        QTextCharFormat caption;
        caption.setForeground(QColor(0x7a, 0x5c, 0x00));
        caption.setFontPointSize(pointSize * 0.8);
        in.insertText(QStringLiteral("Textfeld \u201e") + Q(shape.Name()) + QStringLiteral("\u201c"), caption);
        in.insertBlock();
    }
    QTextBlockFormat block = in.blockFormat();
    block.setAlignment(AlignmentOf(text.GetParagraphFormat().GetAlignment()));
    in.setBlockFormat(block);
    std::string body = text.Text();
    if (body.ends_with('\r')) body.pop_back();
    QString shown = Q(body);
    shown.replace(QChar('\r'), QChar::LineSeparator);
    in.insertText(shown, QTextCharFormat());
    cur.setPosition(box->lastPosition() + 1);
}

QString SeparatorText(int page, int pages) {
    return QStringLiteral("Seitenumbruch \u2013 Seite %1 von %2").arg(page).arg(pages);
}

// Where the drawing stands: whether the cursor's block holds text already.
struct Flow {
    QTextCursor cur;
    bool blockUsed = false;

    void NewBlock() {
        if (blockUsed) cur.insertBlock(QTextBlockFormat(), QTextCharFormat());
        blockUsed = false;
    }
};

// Folds values into a print of what a piece of the preview shows.
void Mix(uint64_t& h, uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h *= 0x100000001b3ull;
}
void Mix(uint64_t& h, std::string_view text) {
    Mix(h, text.size());
    for (unsigned char c : text) Mix(h, c);
}
void Mix(uint64_t& h, double v) { Mix(h, static_cast<uint64_t>(std::llround(v * 1000))); }

// What a text box shows, `above` points of free page before it.
uint64_t BoxPrint(const word::Shape& shape, bool markers, double above) {
    uint64_t h = 0;
    const auto text = shape.GetTextFrame().TextRange();
    Mix(h, text.Text());
    Mix(h, static_cast<uint64_t>(text.GetParagraphFormat().GetAlignment()));
    Mix(h, static_cast<double>(shape.Width()));
    Mix(h, above);
    if (markers) Mix(h, shape.Name());
    return h;
}

// Page breaks and the boxes placed by the page, drawn as the text reaches them.
// Without a flow it only follows the text, noting in Seen() what it would draw.
class Pager {
public:
    Pager(const word::Document& doc, const word::EstimatedPages& pages, bool markers, double pxPerPt, double pointSize)
        : doc_(doc), pages_(pages), markers_(markers), pxPerPt_(pxPerPt), pointSize_(pointSize) {}

    using State = PagerState;
    State Now() const { return {next_, drawn_}; }
    void Resume(const State& at) {
        next_ = at.next;
        drawn_ = at.drawn;
    }
    // What it drew, or would have, since last asked.
    uint64_t TakeSeen() { return std::exchange(seen_, 0); }

    bool StartsPage(long pos) const { return std::binary_search(pages_.breaks.begin(), pages_.breaks.end(), pos); }

    // Before the paragraph or table row that starts at `pos`.
    void Reach(long pos, Flow* flow) {
        for (;;) {
            Boxes(pos, flow);
            if (next_ >= pages_.breaks.size() || pages_.breaks[next_] > pos) return;
            ++next_;
            Separator(flow);
        }
    }
    void End(Flow* flow) { Boxes(LONG_MAX, flow); }
    bool Placed(int64_t shape) const { return drawn_.contains(shape); }

private:
    void Separator(Flow* to) {
        const int page = static_cast<int>(next_) + 1;
        // The number of pages it names is set apart (SetPageCount): a page more at the end
        // then changes only the separators' text.
        Mix(seen_, static_cast<uint64_t>(page));
        if (!to) return;
        Flow& flow = *to;
        flow.NewBlock();
        QTextBlockFormat line;
        line.setAlignment(Qt::AlignHCenter);
        line.setBackground(QColor(0xd8, 0xd8, 0xd8));
        line.setTopMargin(6);
        line.setBottomMargin(6);
        line.setProperty(kPageStart, page);
        flow.cur.setBlockFormat(line);
        QTextCharFormat text;
        text.setForeground(QColor(0x50, 0x50, 0x50));
        text.setFontPointSize(pointSize_ * 0.8);
        flow.cur.insertText(SeparatorText(page, pages_.Count()), text);
        flow.cur.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }

    void Boxes(long pos, Flow* flow) {
        const int page = static_cast<int>(next_) + 1;
        for (const auto& b : pages_.boxes) {
            if (b.before > pos || b.page > page || drawn_.contains(b.shape)) continue;
            drawn_.insert(b.shape);
            const auto shapes = doc_.GetShapes();
            for (int i = 1; i <= shapes.Count(); ++i)
                if (shapes.Item(i).Id() == b.shape) {
                    Mix(seen_, BoxPrint(shapes.Item(i), markers_, b.gap));
                    if (!flow) continue;
                    flow->NewBlock();
                    // The free part of the page above the box, at the preview's scale.
                    DrawTextBox(shapes.Item(i), markers_, pxPerPt_, pointSize_, b.gap * pxPerPt_, flow->cur);
                }
        }
    }

    const word::Document& doc_;
    const word::EstimatedPages& pages_;
    bool markers_;
    double pxPerPt_, pointSize_;
    size_t next_ = 0;
    std::set<int64_t> drawn_;
    uint64_t seen_ = 0;
};

// Returns the first and the last part drawn (none for a table without cells).
std::pair<QTextTable*, QTextTable*> DrawTable(const word::Table& table, double pxPerPt, double textWidthPt, Writer& writer,
                                              Pager& pager, Flow& flow) {
    const int rows = table.GetRows().Count();
    const int most = table.GetColumns().Count();
    if (rows == 0 || most == 0) return {};
    struct CellAt {
        int row, column;
        long left, right;
        bool top, leftLine, bottom, rightLine;  // the cell's own lines
    };
    std::vector<CellAt> cells;
    std::vector<size_t> rowStart;  // the first cell of each row, and one past the last
    std::vector<long> edges{0};
    for (int r = 1; r <= rows; ++r) {
        rowStart.push_back(cells.size());
        const int n = CellsIn(table, r, most);
        long x = 0;
        for (int c = 1; c <= n; ++c) {
            const auto cell = table.GetCell(r, c);
            // A cell without a width of its own takes an equal share of the text area.
            const float w = cell.Width();
            const long next = x + Twips(w > 0 ? w : textWidthPt / most);
            auto line = [&](BorderType side) { return cell.Edge(side) == word::LineStyle::Single; };
            cells.push_back({r, c, x, next, line(BorderType::Top), line(BorderType::Left), line(BorderType::Bottom),
                             line(BorderType::Right)});
            edges.push_back(next);
            x = next;
        }
    }
    rowStart.push_back(cells.size());
    auto cellsOf = [&](int row) {
        return std::pair(cells.begin() + static_cast<long>(rowStart[static_cast<size_t>(row) - 1]),
                         cells.begin() + static_cast<long>(rowStart[static_cast<size_t>(row)]));
    };
    // Whether every cell of `row` under [left, right) draws the line on that side.
    auto covered = [&](int row, long left, long right, bool CellAt::*side) {
        bool any = false;
        for (auto [c, end] = cellsOf(row); c != end; ++c) {
            if (c->right <= left || c->left >= right) continue;
            if (!((*c).*side)) return false;
            any = true;
        }
        return any;
    };
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    const int gridColumns = static_cast<int>(edges.size()) - 1;
    auto gridIndex = [&](long edge) {
        return static_cast<int>(std::lower_bound(edges.begin(), edges.end(), edge) - edges.begin());
    };

    // A page break inside the table splits it; the part on the next page starts
    // with the heading rows again, as printed.
    struct Part {
        long start;             // where its first own row starts
        std::vector<int> rows;  // heading rows, then its own
    };
    std::vector<Part> parts;
    std::vector<int> headings;
    const auto tableRows = table.GetRows();
    for (int r = 1; r <= rows; ++r) {
        const auto row = tableRows.Item(r);
        const long start = row.GetRange().Start();
        if (static_cast<int>(headings.size()) == r - 1 && row.HeadingFormat()) headings.push_back(r);
        if (parts.empty()) {
            parts.push_back({start, {}});
        } else if (pager.StartsPage(start)) {
            parts.push_back({start, headings});
        }
        parts.back().rows.push_back(r);
    }

    // Neighbouring cells share a line, as collapsed borders would draw it; Qt's own
    // collapsing looks every cell's neighbours up on each layout, about half of the
    // time a long invoice takes to lay out.
    QTextTableFormat format;
    format.setBorderCollapse(false);
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(kCellPadding);
    format.setAlignment(Qt::AlignLeft);
    QList<QTextLength> widths;
    for (int i = 0; i < gridColumns; ++i)
        widths << QTextLength(QTextLength::FixedLength, (edges[i + 1] - edges[i]) / 20.0 * pxPerPt);
    format.setColumnWidthConstraints(widths);

    std::pair<QTextTable*, QTextTable*> drawn{};
    for (size_t p = 0; p < parts.size(); ++p) {
        const Part& part = parts[p];
        if (p > 0) pager.Reach(part.start, &flow);
        std::vector<int> at(static_cast<size_t>(rows) + 1, -1);  // the part's row of each table row
        for (size_t i = 0; i < part.rows.size(); ++i) at[static_cast<size_t>(part.rows[i])] = static_cast<int>(i);
        QTextTable* out = flow.cur.insertTable(static_cast<int>(part.rows.size()), gridColumns, format);
        for (const auto& cellAt : cells) {
            const int row = at[static_cast<size_t>(cellAt.row)];
            if (row < 0) continue;
            const int first = gridIndex(cellAt.left), span = gridIndex(cellAt.right) - first;
            if (span > 1) out->mergeCells(row, first, 1, span);
            QTextTableCell target = out->cellAt(row, first);
            const auto cell = table.GetCell(cellAt.row, cellAt.column);
            // A fresh format, the merge's span kept: reading the cell's back looks its
            // row and column up anew.
            QTextTableCellFormat cf;
            if (span > 1) cf.setTableCellColumnSpan(span);
            // Each shared line once: the left one by the cell right of it, the one between
            // rows by the lower cell where the line runs under all of it, else by the upper.
            const int above = row > 0 ? part.rows[static_cast<size_t>(row) - 1] : 0;
            const int below = row + 1 < static_cast<int>(part.rows.size()) ? part.rows[static_cast<size_t>(row) + 1] : 0;
            const bool leftOfIt = cellAt.column > 1 && (&cellAt - 1)->rightLine;
            const bool lastInRow = &cellAt == &*(cellsOf(cellAt.row).second - 1);
            auto topTaken = [&](const CellAt& lower, int upperRow) {
                return lower.top || covered(upperRow, lower.left, lower.right, &CellAt::bottom);
            };
            bool bottomLeft = false;  // a line under this cell that a cell below does not draw
            if (below && cellAt.bottom) {
                for (auto [c, end] = cellsOf(below); c != end; ++c)
                    if (c->right > cellAt.left && c->left < cellAt.right && !topTaken(*c, cellAt.row)) bottomLeft = true;
            }
            const bool top = cellAt.top || (above && covered(above, cellAt.left, cellAt.right, &CellAt::bottom));
            const bool left = cellAt.leftLine || leftOfIt;
            const bool bottom = below ? bottomLeft : cellAt.bottom;
            const bool right = lastInRow && cellAt.rightLine;
            // A cell without lines keeps the table's, which has none.
            if (top || left || bottom || right) {
                cf.setTopBorder(top ? 1 : 0);
                cf.setLeftBorder(left ? 1 : 0);
                cf.setBottomBorder(bottom ? 1 : 0);
                cf.setRightBorder(right ? 1 : 0);
                cf.setBorderBrush(QBrush(Qt::black));
                cf.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                target.setFormat(cf);
            }

            const auto range = cell.GetRange();
            std::string text = range.Text();
            if (text.ends_with(word::kCellEndMark)) text.resize(text.size() - 2);
            QTextCharFormat chars;
            if (range.Bold()) chars.setFontWeight(QFont::Bold);
            QTextCursor in = target.firstCursorPosition();
            QTextBlockFormat block = in.blockFormat();
            block.setAlignment(AlignmentOf(range.GetParagraphFormat().GetAlignment()));
            in.setBlockFormat(block);
            writer.Paragraphs(in, text, chars);
        }
        if (p == 0) drawn.first = out;
        drawn.second = out;
        flow.cur.setPosition(out->lastPosition() + 1);
        flow.blockUsed = false;
    }
    return drawn;
}

// The paragraphs of the main text from `from` to `to`, each into a block of its own.
void DrawParagraphs(const word::Document& doc, long from, long to, Writer& writer, Pager& pager, Flow& flow) {
    for (long start = from; start < to;) {
        word::Range para = doc.GetRange(start, start);
        para.MoveEnd(word::Unit::Paragraph, 1);
        const long end = std::clamp(para.End(), start + 1, to);
        para.SetEnd(end);
        pager.Reach(start, &flow);
        flow.NewBlock();
        std::string text = para.Text();
        if (text.ends_with('\r')) text.pop_back();
        writer.Write(flow.cur, text, QTextCharFormat());
        flow.blockUsed = true;
        start = end;
    }
}

// Where each paragraph from `from` to `to` starts, as DrawParagraphs goes through them.
std::vector<long> ParagraphStarts(const word::Document& doc, long from, long to) {
    std::vector<long> starts;
    for (long start = from; start < to;) {
        word::Range para = doc.GetRange(start, start);
        para.MoveEnd(word::Unit::Paragraph, 1);
        starts.push_back(start);
        start = std::clamp(para.End(), start + 1, to);
    }
    return starts;
}

Scale ScaleOf(const word::Document& doc, double zoom, double dpi) {
    Scale s;
    s.pxPerPt = zoom * dpi / 72;
    const auto fontOf = doc.GetDefaultFont();
    s.font = QFont(fontOf.Name().empty() ? QStringLiteral("Arial") : Q(fontOf.Name()));
    s.pointSize = (fontOf.Size() > 0 ? fontOf.Size() : 10) * zoom;
    s.font.setPointSizeF(s.pointSize);
    const auto page = doc.GetPageSetup();
    s.textWidthPt = page.PageWidth() - page.LeftMargin() - page.RightMargin();
    return s;
}

InvoicePlan Plan(const word::Document& doc, bool markers, double zoom, double dpi) {
    InvoicePlan plan;
    plan.scale = ScaleOf(doc, zoom, dpi);
    plan.pages = word::EstimatePages(doc);
    Mix(plan.key, plan.scale.pxPerPt);
    Mix(plan.key, plan.scale.pointSize);
    Mix(plan.key, plan.scale.textWidthPt);
    Mix(plan.key, plan.scale.font.family().toStdString());
    Mix(plan.key, static_cast<uint64_t>(markers));

    std::vector<std::string> comments;
    if (markers) {
        const auto all = doc.GetComments();
        for (int i = 1; i <= all.Count(); ++i) comments.push_back(all.Item(i).Text());
    }
    Pager follow(doc, plan.pages, markers, plan.scale.pxPerPt, plan.scale.pointSize);
    const auto& breaks = plan.pages.breaks;
    size_t comment = 0;
    auto add = [&](InvoicePlan::Piece piece, long to) {
        piece.firstComment = comment;
        piece.pager = follow.Now();
        const word::ContentPrint content = word::PrintOf(doc, piece.from, to);
        uint64_t h = content.hash;
        follow.TakeSeen();
        const long textEnd = piece.table ? piece.tableStart : to;
        for (long start : ParagraphStarts(doc, piece.from, textEnd)) follow.Reach(start, nullptr);
        if (piece.table) {
            follow.Reach(piece.tableStart, nullptr);
            // A break inside the table falls before one of its rows and starts a part.
            for (auto b = std::upper_bound(breaks.begin(), breaks.end(), piece.tableStart);
                 b != breaks.end() && *b < to; ++b)
                follow.Reach(*b, nullptr);
        } else {
            follow.End(nullptr);
            const auto shapes = doc.GetShapes();
            for (int i = 1; i <= shapes.Count(); ++i)
                if (!follow.Placed(shapes.Item(i).Id())) Mix(h, BoxPrint(shapes.Item(i), markers, 12));
        }
        Mix(h, follow.TakeSeen());
        // Where the piece's pages break, from its own start.
        for (auto b = std::lower_bound(breaks.begin(), breaks.end(), piece.from); b != breaks.end() && *b < to; ++b)
            Mix(h, static_cast<uint64_t>(*b - piece.from));
        for (int i = 0; i < content.commentRefs; ++i, ++comment)
            if (comment < comments.size()) Mix(h, comments[comment]);
        piece.print = h;
        plan.pieces.push_back(std::move(piece));
    };
    const auto tables = doc.GetTables();
    long pos = 0;
    for (int i = 1; i <= tables.Count(); ++i) {
        InvoicePlan::Piece piece;
        piece.table = tables.Item(i);
        const auto at = piece.table.GetRange();
        piece.from = pos;
        piece.tableStart = at.Start();
        add(std::move(piece), at.End());
        pos = at.End();
    }
    InvoicePlan::Piece tail;
    tail.from = pos;
    add(std::move(tail), doc.Content().End());
    return plan;
}

// Draws pieces [from, to) of the plan at the flow, which stands where the first of
// them starts. Returns the first and last table part of each (none for the last piece).
std::vector<std::pair<QTextTable*, QTextTable*>> DrawPieces(const word::Document& doc, const InvoicePlan& plan, bool markers,
                                                            size_t from, size_t to, Flow& flow) {
    std::vector<std::pair<QTextTable*, QTextTable*>> drawn;
    if (from >= to) return drawn;
    const Scale& scale = plan.scale;
    Writer writer(doc, markers, scale.pointSize, plan.pieces[from].firstComment);
    Pager pager(doc, plan.pages, markers, scale.pxPerPt, scale.pointSize);
    pager.Resume(plan.pieces[from].pager);
    for (size_t i = from; i < to; ++i) {
        const auto& piece = plan.pieces[i];
        if (piece.table) {
            DrawParagraphs(doc, piece.from, piece.tableStart, writer, pager, flow);
            pager.Reach(piece.tableStart, &flow);
            drawn.push_back(DrawTable(piece.table, scale.pxPerPt, scale.textWidthPt, writer, pager, flow));
            continue;
        }
        DrawParagraphs(doc, piece.from, doc.Content().End(), writer, pager, flow);
        pager.End(&flow);
        // Boxes that float by their paragraph follow the text.
        const auto shapes = doc.GetShapes();
        for (int s = 1; s <= shapes.Count(); ++s) {
            if (pager.Placed(shapes.Item(s).Id())) continue;
            flow.NewBlock();
            DrawTextBox(shapes.Item(s), markers, scale.pxPerPt, scale.pointSize, 12, flow.cur);
        }
        drawn.emplace_back(nullptr, nullptr);
    }
    return drawn;
}

// The pieces two plans share, as pairs of their indices in order; none when
// more than `most` pieces were taken out or put in.
std::optional<std::vector<std::pair<size_t, size_t>>> Shared(const std::vector<uint64_t>& a,
                                                            const std::vector<uint64_t>& b, int most) {
    const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
    const int off = most + 1;
    std::vector<int> v(static_cast<size_t>(2 * off + 1), 0);
    std::vector<std::vector<int>> rounds;
    auto at = [&](std::vector<int>& w, int k) -> int& { return w[static_cast<size_t>(k + off)]; };
    for (int d = 0; d <= most; ++d) {
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && at(v, k - 1) < at(v, k + 1))) ? at(v, k + 1) : at(v, k - 1) + 1;
            int y = x - k;
            while (x < n && y < m && a[static_cast<size_t>(x)] == b[static_cast<size_t>(y)]) ++x, ++y;
            at(v, k) = x;
            if (x < n || y < m) continue;
            // Back from the end along the edits found, noting the runs of shared pieces.
            std::vector<std::pair<size_t, size_t>> shared;
            for (int e = d; e > 0; --e) {
                std::vector<int>& prev = rounds[static_cast<size_t>(e - 1)];
                const int kk = x - y;
                const int pk = (kk == -e || (kk != e && at(prev, kk - 1) < at(prev, kk + 1))) ? kk + 1 : kk - 1;
                const int px = at(prev, pk), py = px - pk;
                const int sx = pk == kk + 1 ? px : px + 1;  // where the snake after the edit starts
                while (x > sx) shared.emplace_back(static_cast<size_t>(--x), static_cast<size_t>(--y));
                x = px;
                y = py;
            }
            while (x > 0) shared.emplace_back(static_cast<size_t>(--x), static_cast<size_t>(--y));
            std::reverse(shared.begin(), shared.end());
            return shared;
        }
        rounds.push_back(v);
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::pair<int64_t, QTextTable*>> DrawInvoice(const word::Document& doc, bool markers, double zoom,
                                                         double dpi, QTextDocument& out) {
    out.clear();
    const InvoicePlan plan = Plan(doc, markers, zoom, dpi);
    out.setDefaultFont(plan.scale.font);
    Flow flow{QTextCursor(&out)};
    // One edit: otherwise each merge of cells scans every frame of the document drawn so far.
    flow.cur.beginEditBlock();
    const auto parts = DrawPieces(doc, plan, markers, 0, plan.pieces.size(), flow);
    flow.cur.endEditBlock();
    std::vector<std::pair<int64_t, QTextTable*>> drawn;
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i].first) drawn.emplace_back(plan.pieces[i].table.Id(), parts[i].first);
    return drawn;
}

InvoicePreview::InvoicePreview(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("vorschau"));
    setOpenLinks(false);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    // A scroll bar that came and went would change the width and with it the drawing.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

namespace {

double TextWidthPt(const word::Document& doc) {
    const auto page = doc.GetPageSetup();
    return page.PageWidth() - page.LeftMargin() - page.RightMargin();
}

}  // namespace

double InvoicePreview::FitZoom() const {
    if (!doc_) return 1;
    const double room = viewport()->width() - 2 * document()->documentMargin() - kSlack;
    return std::clamp(room / (TextWidthPt(*doc_) * logicalDpiX() / 72.0), 0.5, 1.5);
}

void InvoicePreview::Render(const word::Document* doc, bool markers) {
    const int scrolled = verticalScrollBar()->value();
    const bool same = doc && doc == doc_;
    doc_ = doc;
    markers_ = markers;
    if (!doc) {
        tables_.clear();
        pieces_.clear();
        document()->clear();
        return;
    }
    const double zoom = FitZoom();
    const InvoicePlan plan = Plan(*doc, markers, zoom, logicalDpiX());
    if (!(same && plan.key == key_ && Update(*doc, plan, markers))) Redraw(*doc, plan, markers, zoom);
    key_ = plan.key;
    tables_.clear();
    for (const auto& piece : pieces_)
        if (piece.first) tables_.emplace_back(piece.table, piece.first);
    verticalScrollBar()->setValue(scrolled);
}

void InvoicePreview::Redraw(const word::Document& doc, const InvoicePlan& plan, bool markers, double zoom) {
    zoom_ = zoom;
    // Drawn into a document no view lays out yet: in the shown one every
    // insertion would lay the table it falls in out again.
    // The view deletes the document it made itself; ours go when replaced.
    QTextDocument* old = document();
    const bool ours = old->parent() == this;
    auto* drawing = new QTextDocument(this);
    drawing->setUndoRedoEnabled(false);
    drawing->setDocumentMargin(old->documentMargin());
    drawing->setDefaultFont(plan.scale.font);
    Flow flow{QTextCursor(drawing)};
    // One edit: otherwise each merge of cells scans every frame of the document drawn so far.
    flow.cur.beginEditBlock();
    const auto parts = DrawPieces(doc, plan, markers, 0, plan.pieces.size(), flow);
    flow.cur.endEditBlock();
    pieces_.clear();
    for (size_t i = 0; i < parts.size(); ++i)
        pieces_.push_back({plan.pieces[i].print, plan.pieces[i].table ? plan.pieces[i].table.Id() : 0, parts[i].first,
                           parts[i].second});
    const QFont font = drawing->defaultFont();
    setDocument(drawing);
    // Should the view have given it the widget's font: each setting lays it all out again.
    if (drawing->defaultFont() != font) drawing->setDefaultFont(font);
    if (ours) old->deleteLater();
    // Every setting lays the whole invoice out again, the same width too.
    const int width = static_cast<int>(
        std::ceil(TextWidthPt(doc) * zoom_ * logicalDpiX() / 72.0 + 2 * document()->documentMargin() + kSlack));
    if (width != lineWrapColumnOrWidth()) setLineWrapColumnOrWidth(width);
}

bool InvoicePreview::Update(const word::Document& doc, const InvoicePlan& plan, bool markers) {
    // More changes than this are drawn anew off the view, which lays out faster.
    constexpr int kMostChanges = 24;
    std::vector<uint64_t> before, after;
    for (const auto& piece : pieces_) before.push_back(piece.print);
    for (const auto& piece : plan.pieces) after.push_back(piece.print);
    for (const auto& piece : pieces_)
        if (piece.table && !piece.last) return false;  // a table drawn without parts: no end to cut at
    const auto shared = Shared(before, after, kMostChanges);
    if (!shared) return false;
    // The runs of pieces between shared ones, replaced from the back, so that
    // where the earlier pieces stand in the preview stays as it is.
    struct Run {
        size_t oldFrom, oldTo, newFrom, newTo;
    };
    std::vector<Run> runs;
    size_t i = 0, j = 0;
    for (size_t s = 0; s <= shared->size(); ++s) {
        const auto [si, sj] = s < shared->size() ? (*shared)[s] : std::pair(before.size(), after.size());
        if (si > i || sj > j) runs.push_back({i, si, j, sj});
        i = si + 1;
        j = sj + 1;
    }
    QTextDocument* shown = document();
    // Where a piece ends: after the last part of its table; the last piece at the end.
    auto endOf = [&](size_t k) {
        return pieces_[k].last ? pieces_[k].last->lastPosition() + 1 : shown->characterCount() - 1;
    };
    std::vector<Drawn> pieces = pieces_;
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const int from = run->oldFrom == 0 ? 0 : endOf(run->oldFrom - 1);
        const int to = run->oldTo == run->oldFrom ? from : endOf(run->oldTo - 1);
        Flow flow{QTextCursor(shown)};
        // One edit per run: the view lays out again what it touched, and moves the rest.
        flow.cur.beginEditBlock();
        flow.cur.setPosition(from);
        flow.cur.setPosition(to, QTextCursor::KeepAnchor);
        flow.cur.removeSelectedText();
        const auto parts = DrawPieces(doc, plan, markers, run->newFrom, run->newTo, flow);
        flow.cur.endEditBlock();
        std::vector<Drawn> drawn;
        for (size_t k = 0; k < parts.size(); ++k) {
            const auto& piece = plan.pieces[run->newFrom + k];
            drawn.push_back({piece.print, piece.table ? piece.table.Id() : 0, parts[k].first, parts[k].second});
        }
        const auto at = pieces.begin() + static_cast<long>(run->oldFrom);
        pieces.insert(pieces.erase(at, at + static_cast<long>(run->oldTo - run->oldFrom)), drawn.begin(), drawn.end());
    }
    pieces_ = std::move(pieces);
    // A table written anew as it was keeps its drawing, under the new table's id.
    for (size_t k = 0; k < pieces_.size(); ++k) pieces_[k].table = plan.pieces[k].table ? plan.pieces[k].table.Id() : 0;
    SetPageCount(plan.pages.Count());
    return true;
}

void InvoicePreview::SetPageCount(int pages) {
    // The separators stand in the main flow, between the tables' parts.
    for (auto it = document()->rootFrame()->begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        if (!block.isValid() || !block.blockFormat().hasProperty(kPageStart)) continue;
        const QString text = SeparatorText(block.blockFormat().intProperty(kPageStart), pages);
        if (block.text() == text) continue;
        // Each on its own, so that the view lays out only that line again.
        QTextCursor line(block);
        const QTextCharFormat format = block.begin().fragment().charFormat();
        line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        line.insertText(text, format);
    }
}

void InvoicePreview::resizeEvent(QResizeEvent* event) {
    QTextBrowser::resizeEvent(event);
    // Redrawn once the resizing has settled; a small change keeps the drawing.
    if (doc_ && std::abs(FitZoom() - zoom_) > 0.02) {
        QTimer::singleShot(50, this, [this] {
            if (doc_ && std::abs(FitZoom() - zoom_) > 0.02) Render(doc_, markers_);
        });
    }
}

bool InvoicePreview::ScrollToTable(int64_t id) {
    QTextTable* table = TableOf(id);
    if (!table) return false;
    const QRect at = cursorRect(table->firstCursorPosition());
    verticalScrollBar()->setValue(verticalScrollBar()->value() + at.top() - 8);
    return true;
}

std::vector<int64_t> InvoicePreview::TableIds() const {
    std::vector<int64_t> ids;
    for (const auto& [id, table] : tables_) ids.push_back(id);
    return ids;
}

QTextTable* InvoicePreview::TableOf(int64_t id) const {
    for (const auto& [drawnId, table] : tables_)
        if (drawnId == id) return table;
    return nullptr;
}

}  // namespace kado::host::gui
