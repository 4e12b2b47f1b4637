#include "host/gui/invoice_preview.h"

#include <QScrollBar>
#include <QTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <climits>
#include <set>
#include <cmath>
#include <string>
#include <string_view>

#include "platform/com/error.h"
#include "platform/word/page_estimate.h"

namespace kado::host::gui {
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
    Writer(const word::Document& doc, bool markers, double pointSize) : markers_(markers), pointSize_(pointSize) {
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
    size_t next_ = 0;
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

// Where the drawing stands: whether the cursor's block holds text already.
struct Flow {
    QTextCursor cur;
    bool blockUsed = false;

    void NewBlock() {
        if (blockUsed) cur.insertBlock(QTextBlockFormat(), QTextCharFormat());
        blockUsed = false;
    }
};

// Page breaks and the boxes placed by the page, drawn as the text reaches them.
class Pager {
public:
    Pager(const word::Document& doc, const word::EstimatedPages& pages, bool markers, double pxPerPt, double pointSize)
        : doc_(doc), pages_(pages), markers_(markers), pxPerPt_(pxPerPt), pointSize_(pointSize) {}

    bool StartsPage(long pos) const { return std::binary_search(pages_.breaks.begin(), pages_.breaks.end(), pos); }

    // Before the paragraph or table row that starts at `pos`.
    void Reach(long pos, Flow& flow) {
        for (;;) {
            Boxes(pos, flow);
            if (next_ >= pages_.breaks.size() || pages_.breaks[next_] > pos) return;
            ++next_;
            Separator(flow);
        }
    }
    void End(Flow& flow) { Boxes(LONG_MAX, flow); }
    bool Placed(int64_t shape) const { return drawn_.contains(shape); }

private:
    void Separator(Flow& flow) {
        const int page = static_cast<int>(next_) + 1;
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
        flow.cur.insertText(QStringLiteral("Seitenumbruch \u2013 Seite %1 von %2").arg(page).arg(pages_.Count()), text);
        flow.cur.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }

    void Boxes(long pos, Flow& flow) {
        const int page = static_cast<int>(next_) + 1;
        for (const auto& b : pages_.boxes) {
            if (b.before > pos || b.page > page || drawn_.contains(b.shape)) continue;
            drawn_.insert(b.shape);
            const auto shapes = doc_.GetShapes();
            for (int i = 1; i <= shapes.Count(); ++i)
                if (shapes.Item(i).Id() == b.shape) {
                    flow.NewBlock();
                    // The free part of the page above the box, at the preview's scale.
                    DrawTextBox(shapes.Item(i), markers_, pxPerPt_, pointSize_, b.gap * pxPerPt_, flow.cur);
                }
        }
    }

    const word::Document& doc_;
    const word::EstimatedPages& pages_;
    bool markers_;
    double pxPerPt_, pointSize_;
    size_t next_ = 0;
    std::set<int64_t> drawn_;
};

void DrawTable(const word::Table& table, double pxPerPt, double textWidthPt, Writer& writer, Pager& pager, Flow& flow,
               std::vector<std::pair<int64_t, QTextTable*>>& drawn) {
    const int rows = table.GetRows().Count();
    const int most = table.GetColumns().Count();
    if (rows == 0 || most == 0) return;
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

    for (size_t p = 0; p < parts.size(); ++p) {
        const Part& part = parts[p];
        if (p > 0) pager.Reach(part.start, flow);
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
        if (p == 0) drawn.emplace_back(table.Id(), out);
        flow.cur.setPosition(out->lastPosition() + 1);
        flow.blockUsed = false;
    }
}

// The paragraphs of the main text from `from` to `to`, each into a block of its own.
void DrawParagraphs(const word::Document& doc, long from, long to, Writer& writer, Pager& pager, Flow& flow) {
    for (long start = from; start < to;) {
        word::Range para = doc.GetRange(start, start);
        para.MoveEnd(word::Unit::Paragraph, 1);
        const long end = std::clamp(para.End(), start + 1, to);
        para.SetEnd(end);
        pager.Reach(start, flow);
        flow.NewBlock();
        std::string text = para.Text();
        if (text.ends_with('\r')) text.pop_back();
        writer.Write(flow.cur, text, QTextCharFormat());
        flow.blockUsed = true;
        start = end;
    }
}

}  // namespace

std::vector<std::pair<int64_t, QTextTable*>> DrawInvoice(const word::Document& doc, bool markers, double zoom,
                                                         double dpi, QTextDocument& out) {
    out.clear();
    const double pxPerPt = zoom * dpi / 72;
    const auto fontOf = doc.GetDefaultFont();
    QFont font(fontOf.Name().empty() ? QStringLiteral("Arial") : Q(fontOf.Name()));
    const double pointSize = (fontOf.Size() > 0 ? fontOf.Size() : 10) * zoom;
    font.setPointSizeF(pointSize);
    out.setDefaultFont(font);
    const auto page = doc.GetPageSetup();
    const double textWidthPt = page.PageWidth() - page.LeftMargin() - page.RightMargin();

    std::vector<std::pair<int64_t, QTextTable*>> drawn;
    Writer writer(doc, markers, pointSize);
    const word::EstimatedPages pages = word::EstimatePages(doc);
    Pager pager(doc, pages, markers, pxPerPt, pointSize);
    Flow flow{QTextCursor(&out)};
    // One edit: otherwise each merge of cells scans every frame of the document drawn so far.
    flow.cur.beginEditBlock();
    const auto tables = doc.GetTables();
    long pos = 0;
    for (int i = 1; i <= tables.Count(); ++i) {
        const auto table = tables.Item(i);
        const auto at = table.GetRange();
        DrawParagraphs(doc, pos, at.Start(), writer, pager, flow);
        pager.Reach(at.Start(), flow);
        DrawTable(table, pxPerPt, textWidthPt, writer, pager, flow, drawn);
        pos = at.End();
    }
    DrawParagraphs(doc, pos, doc.Content().End(), writer, pager, flow);
    pager.End(flow);
    // Boxes that float by their paragraph follow the text.
    const auto shapes = doc.GetShapes();
    for (int i = 1; i <= shapes.Count(); ++i) {
        if (pager.Placed(shapes.Item(i).Id())) continue;
        flow.NewBlock();
        DrawTextBox(shapes.Item(i), markers, pxPerPt, pointSize, 12, flow.cur);
    }
    flow.cur.endEditBlock();
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
    doc_ = doc;
    markers_ = markers;
    tables_.clear();
    if (!doc) {
        document()->clear();
        return;
    }
    zoom_ = FitZoom();
    // Drawn into a document no view lays out yet: in the shown one every
    // insertion would lay the table it falls in out again.
    // The view deletes the document it made itself; ours go when replaced.
    QTextDocument* old = document();
    const bool ours = old->parent() == this;
    auto* drawing = new QTextDocument(this);
    drawing->setUndoRedoEnabled(false);
    drawing->setDocumentMargin(old->documentMargin());
    tables_ = DrawInvoice(*doc, markers, zoom_, logicalDpiX(), *drawing);
    const QFont font = drawing->defaultFont();
    setDocument(drawing);
    // Should the view have given it the widget's font: each setting lays it all out again.
    if (drawing->defaultFont() != font) drawing->setDefaultFont(font);
    if (ours) old->deleteLater();
    setLineWrapColumnOrWidth(static_cast<int>(
        std::ceil(TextWidthPt(*doc) * zoom_ * logicalDpiX() / 72.0 + 2 * document()->documentMargin() + kSlack)));
    verticalScrollBar()->setValue(scrolled);
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
