#include "plugin/invoice/totals_table.h"

#include "platform/com/numtext.h"
#include "plugin/common/steps.h"
#include "plugin/invoice/amount_fields.h"
#include "plugin/invoice/markers.h"
#include "plugin/common/need.h"

namespace honora {

namespace word = kado::word;

void WriteCell(const word::Table& table, int row, int column, const std::string& text, std::optional<bool> bold) {
    auto r = table.GetCell(row, column).GetRange();
    r.InsertAfter(text);
    if (bold) r.SetBold(*bold);
}

word::Range TotalsPosition(word::Document& doc) {
    auto comments = doc.GetComments();
    for (int i = 1; i <= comments.Count(); ++i) {
        auto c = comments.Item(i);
        if (c.Text() == marke::kStart) {
            auto r = c.Reference();
            r.Collapse(word::CollapseDirection::Start);
            return r;
        }
    }
    auto r = doc.Content();
    r.Collapse(word::CollapseDirection::End);
    r.InsertParagraphAfter();
    r.Collapse(word::CollapseDirection::End);
    return r;
}

word::Table WriteTotalsTable(word::Document& doc, const FeeTotals& fees, const InvoiceTotals& sum) {
    Steps s("GebührenTabelle", "SummeBilden");
    word::Range wo;
    word::Table t;
    s(300, [&] { wo = TotalsPosition(doc); });
    s(310, [&] { t = doc.GetTables().Add(wo, sum.lastRow, 4); });
    const int k = static_cast<int>(fees.rates.size());
    const int firstRowIndex = sum.firstVatRow;
    const int lastRowIndex = sum.lastRow;

    s(320, [&] { WriteCell(t, 1, 1, " ", std::nullopt); });
    s(330, [&] { doc.GetComments().Add(t.GetCell(1, 1).GetRange(), marke::kSummentabelle, kCommentAuthor); });
    s(340, [&] { WriteCell(t, 1, 2, "Summe", false); });
    for (int i = 0; i < k; ++i)
        s(350, [&] {
            const auto rate = kado::com::NumberToTextSingle(fees.rates[i].rate);
            WriteCell(t, firstRowIndex + i, 2, "Mehrwertsteuer " + rate + " %", false);
        });
    s(360, [&] { t.GetRows().Item(lastRowIndex - 1).SetHeight(6, word::HeightRule::Exactly); });
    s(370, [&] { WriteCell(t, lastRowIndex, 2, "Rechnungsbetrag", true); });
    s(380, [&] { WriteCell(t, 1, 4, EuroAmountText(fees.net), false); });
    for (int i = 0; i < k; ++i) {
        const auto& rate = fees.rates[i];
        s(390, [&] { WriteCell(t, firstRowIndex + i, 3, EuroAmountText(sum.factor * rate.subtotal), false); });
        // Each line's VAT is rounded after the discount; the total was rounded before it.
        s(391, [&] {
            WriteCell(t, firstRowIndex + i, 4, EuroAmountText(Mehrwertsteuer(rate.rate, rate.subtotal * sum.factor)),
                           false);
        });
    }
    s(395, [&] { WriteCell(t, lastRowIndex, 4, EuroAmountText(sum.vatTotal + sum.netDue), true); });
    return t;
}

void WriteDiscountRow(const word::Table& table, const DiscountSettings& discount, const InvoiceTotals& sum) {
    if (!(discount.absoluteAmount > 0 || discount.percent != 100 || discount.rebate > 0)) return;
    Steps s("GebührenTabelle", "SummeBilden");
    s(500, [&] {
        std::string text;
        if (discount.rebate > 0)
            text = "Abzüglich dem Rabatt von " + std::to_string(discount.rebate) + "%";
        else if (discount.percent == 100)
            text = "Abschlagszahlung von ";
        else
            text = "Abschlagszahlung von " + std::to_string(discount.percent) + "%";
        WriteCell(table, 2, 2, "\r" + text, true);
    });
    s(510, [&] { WriteCell(table, 2, 4, "\r" + EuroAmountText(sum.netDue), false); });
}

namespace {

// Text other than blanks and comment reference marks.
bool HasText(const std::string& text) {
    return text.find_first_not_of(" \t\r\x05") != std::string::npos;
}

// The empty paragraphs right after the table keep with the next, up to the
// first line of text.
void KeepEmptyParagraphsTogether(const word::Table& table) {
    word::Range p = table.GetRange();
    p.Collapse(word::CollapseDirection::End);
    while (p.MoveEnd(word::Unit::Paragraph, 1) > 0 && p.GetTables().Count() == 0 && !HasText(p.Text())) {
        p.GetParagraphFormat().SetKeepWithNext(true);
        p.Collapse(word::CollapseDirection::End);
    }
}

}  // namespace

void FormatTotalsTable(const word::Table& table, word::Application& app, const std::optional<DeductionRows>& deduction) {
    RequireObject(table);
    Steps s("GebührenTabelle", "SummeBilden");
    s(900, [&] { table.Select(); });
    for (int kind = -1; kind >= -6; --kind)
        s(910, [&] { app.GetSelection().GetBorders().Item(kind).SetLineStyle(word::LineStyle::None); });
    s(920, [&] { app.GetSelection().GetParagraphFormat().SetAlignment(word::Alignment::Right); });
    s(930, [&] { table.GetColumns().Item(3).SetWidth(app.CentimetersToPoints(3.0)); });
    s(931, [&] { table.GetColumns().Item(4).SetWidth(app.CentimetersToPoints(2.5)); });
    s(932, [&] { table.GetColumns().Item(1).SetWidth(app.CentimetersToPoints(4.0)); });
    s(933, [&] { table.GetColumns().Item(2).SetWidth(app.CentimetersToPoints(8.0)); });
    // The totals print whole on one page, together with the first line of text
    // after them (in the invoice template the sentence that restates the amount):
    // no row breaks, every row keeps with the next, so do the empty paragraphs
    // between the table and that line.
    s(934, [&] { table.GetRows().SetAllowBreakAcrossPages(false); });
    s(935, [&] { table.GetRange().GetParagraphFormat().SetKeepWithNext(true); });
    s(936, [&] { KeepEmptyParagraphsTogether(table); });
    if (!deduction) return;
    for (int r = deduction->firstRowIndex; r <= deduction->lastRowIndex; ++r) {
        s(940, [&] { table.GetCell(r, 1).SetWidth(app.CentimetersToPoints(9.0)); });
        s(941, [&] { table.GetCell(r, 2).SetWidth(app.CentimetersToPoints(3.0)); });
    }
}

}  // namespace honora
