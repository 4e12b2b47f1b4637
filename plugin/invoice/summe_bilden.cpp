#include "plugin/invoice/summe_bilden.h"

#include <optional>

#include "platform/com/variant.h"
#include "plugin/common/steps.h"
#include "plugin/component/session_context.h"
#include "plugin/invoice/amount_fields.h"
#include "plugin/invoice/final_invoice.h"
#include "plugin/invoice/invoice_writeback.h"
#include "plugin/invoice/payment_term.h"
#include "plugin/invoice/totals_collect.h"
#include "plugin/invoice/totals_figures.h"
#include "plugin/invoice/totals_table.h"
#include "plugin/invoice/markers.h"

namespace honora {

namespace {

namespace word = kado::word;

// Leaves the document with the cursor at its start and the marker comments
// out of sight; views that lack a flag are skipped.
void TidyDocument(word::Document& doc) {
    Steps::Quiet([&] {
        auto r = doc.Content();
        r.Collapse(word::CollapseDirection::Start);
        r.Select();
    });
    Steps::Quiet([&] { doc.ActiveWindow().GetView().SetShowHiddenText(false); });
    Steps::Quiet([&] { doc.ActiveWindow().GetView().SetShowAll(false); });
    for (const char* flag : {"ShowComments", "ShowInsertionsAndDeletions", "ShowFormatting"})
        Steps::Quiet([&] { doc.ActiveWindow().GetView().SetByName(flag, false); });
    Steps::Quiet([&] { doc.SetPrintRevisions(false); });
    Steps::Quiet([&] { doc.SetShowRevisions(false); });
}

}  // namespace

void SummeBilden(bool Zahlungsziel) {
    Steps s("GebührenTabelle", "SummeBilden");
    auto& c = Session();
    const DiscountSettings discount{c.AbschlagAbsolut, c.AbschlagProzent, c.Rabatt};

    FeeTotals fees;
    if (c.Doc) fees = CollectFees(*c.Doc, c.Mehrwertsteuersatz);
    InvoiceTotals sum = ComputeTotals(fees, discount);

    word::Table tabelle;
    s(100, [&] { tabelle = WriteTotalsTable(Need(c.Doc), fees, sum); });

    s(110, [&] {
        ReplaceAmountFields(Need(c.Doc), Need(c.WordApp), marke::kGesamt, sum.vatTotal + sum.netDue);
    });
    if (tabelle) WriteDiscountRow(tabelle, discount, sum);

    s(120, [&] {
        auto& doc = Need(c.Doc);
        auto& app = Need(c.WordApp);
        auto comments = doc.GetComments();
        for (int i = 1; i <= comments.Count(); ++i) {
            auto field = comments.Item(i);
            const auto text = field.Text();
            if (text == marke::kNetto) ReplaceAmountField(app, field, sum.netDue);
            if (text == marke::kMwSt) ReplaceAmountField(app, field, sum.vatTotal);
            if (text == marke::kBrutto) ReplaceAmountField(app, field, sum.netDue + sum.vatTotal);
        }
    });
    s(130, [&] {
        ReplaceAmountFields(Need(c.Doc), Need(c.WordApp), marke::kAuslagen, sum.netDue - sum.taxedNet);
    });

    // The kind decides on the final-invoice block and the sign of the write-back.
    kado::com::Variant art;
    if (c.Rechnung) s(140, [&] { art = c.Rechnung->Field("Rechnungsart"); });
    auto isKind = [&](double n) { return !art.IsNull() && !art.IsEmpty() && art.IsNumeric() && art.ToDouble() == n; };

    std::optional<DeductionRows> deduction;
    if (c.Rechnung && isKind(4))
        s(150, [&] {
            deduction = WriteFinalInvoiceBlock(tabelle, Need(c.NeueAbfrage), c.RecordsetOptionen, *c.Rechnung,
                                             sum);
        });

    s(160, [&] { FormatTotalsTable(tabelle, Need(c.WordApp), deduction); });

    if (c.Rechnung) WriteBackInvoice(*c.Rechnung, sum, isKind(7), c.Mehrwertsteuersatz);

    ZahlungsZiel(c.Doc, Zahlungsziel);

    if (c.Doc) TidyDocument(*c.Doc);
}

}  // namespace honora
