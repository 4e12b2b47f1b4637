// The invoice as the host window previews it beside its document area: the
// document model drawn with Qt's rich-text layout (paragraphs, tables with
// their column widths, bold cells and borders, text boxes, and on request the
// marker comments), no rendering of its own; page breaks where the layout
// estimate puts them, a box placed by the page on its page at its height.
#pragma once

#include <QTextBrowser>
#include <cstdint>
#include <vector>

#include "platform/word/word.h"

class QTextDocument;
class QTextTable;

namespace kado::host::gui {

struct InvoicePlan;

// The block property that marks where a page starts, with the page's number.
constexpr int kPageStart = 0x100000 + 27;  // QTextFormat::UserProperty + 27

// Draws the main text of `doc` into `out`, replacing what it held, at `zoom`
// times its size on a device of `dpi`. Returns the drawn tables in document
// order, each with the id of the table it shows.
std::vector<std::pair<int64_t, QTextTable*>> DrawInvoice(const word::Document& doc, bool markers, double zoom,
                                                         double dpi, QTextDocument& out);

// The page's text area fills the preview's width; it is drawn anew when that changes.
class InvoicePreview : public QTextBrowser {
public:
    explicit InvoicePreview(QWidget* parent = nullptr);

    // Draws the document anew, the scroll position kept; null shows an empty page.
    // The document must live until the next Render.
    void Render(const word::Document* doc, bool markers);
    // Scrolls until the table with this id stands at the top; false when it is not drawn.
    bool ScrollToTable(int64_t id);
    // The ids of the drawn tables, in document order.
    std::vector<int64_t> TableIds() const;
    QTextTable* TableOf(int64_t id) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // One drawn piece of the invoice: the text before a table with the table's
    // parts, or the text after the last table (no parts).
    struct Drawn {
        uint64_t print;
        int64_t table;
        QTextTable* first;
        QTextTable* last;
    };

    double FitZoom() const;
    // The whole invoice drawn off the view and shown.
    void Redraw(const word::Document& doc, const InvoicePlan& plan, bool markers, double zoom);
    // Only the pieces that changed drawn again in the shown document; false when too many did.
    bool Update(const word::Document& doc, const InvoicePlan& plan, bool markers);
    // The page separators drawn before name this many pages.
    void SetPageCount(int pages);

    const word::Document* doc_ = nullptr;
    bool markers_ = false;
    double zoom_ = 1;
    std::vector<std::pair<int64_t, QTextTable*>> tables_;
    std::vector<Drawn> pieces_;
    uint64_t key_ = 0;  // what the drawn pieces share: scale, font, markers
};

}  // namespace kado::host::gui
