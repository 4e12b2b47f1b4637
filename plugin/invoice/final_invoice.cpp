#include "plugin/invoice/final_invoice.h"

#include <memory>
#include <string>

#include "plugin/common/steps.h"
#include "plugin/invoice/amount_fields.h"

namespace honora {

namespace word = kado::word;
using kado::dao::Recordset;

namespace {

double TrimmedField(const Recordset& rs, const char* name) { return rs.Field(name).ToDouble(); }

}  // namespace

std::optional<DeductionRows> WriteFinalInvoiceBlock(const word::Table& table, kado::dao::Database& db,
                                                     int16_t options, const Recordset& invoice,
                                                     InvoiceTotals& sum) {
    RequireObject(table);
    Steps s("GebührenTabelle", "SummeBilden");
    std::shared_ptr<Recordset> advances;
    s(800, [&] {
        advances = db.OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = " +
                                           kado::dao::SqlNumber(invoice.Field("ID_Auftragsnummer")) +
                                           " AND Rechnungsart = 5",
                                       kado::dao::dbOpenDynaset, options);
    });
    // Without the advance invoices there is nothing to deduct: no half-written block.
    bool none = true;
    if (!s(805, [&] { none = Need(advances).BOF() && advances->EOF_(); }) || none) return std::nullopt;
    s(810, [&] { advances->MoveFirst(); });

    double remainingNet = sum.netDue;
    double remainingVat = sum.vatTotal;
    double remainingGross = sum.netDue + sum.vatTotal;
    // The invoice's own gross: its net due and the VAT of its rates. Taxing
    // the whole net at the standard rate would misstate any other rate.
    const double gross = sum.netDue + sum.vatTotal;

    const int lastRowIndex = sum.lastRow;
    s(820, [&] {
        table.GetCell(lastRowIndex, 2).GetRange().Delete();
        WriteCell(table, lastRowIndex, 2, "Gesamtsumme", true);
    });
    for (int i = 0; i < 3; ++i) s(825, [&] { table.GetRows().Add(); });
    // The block follows the rows written so far after one empty row, for any
    // number of VAT lines.
    const int h = lastRowIndex + 2;
    s(830, [&] { WriteCell(table, h, 2, "Entgeld", false); });
    s(831, [&] { WriteCell(table, h, 3, "Umsatzsteuer", std::nullopt); });
    s(832, [&] { WriteCell(table, h, 4, "Summe", false); });
    s(835, [&] { table.GetRows().Add(); });
    s(836, [&] { WriteCell(table, h + 1, 2, EuroAmountText(sum.netDue), false); });
    s(837, [&] { WriteCell(table, h + 1, 3, EuroAmountText(sum.vatTotal), std::nullopt); });
    s(838, [&] { WriteCell(table, h + 1, 4, EuroAmountText(gross), false); });
    s(840, [&] { table.GetRows().Add(); });
    s(841, [&] { WriteCell(table, h + 2, 1, "abzgl. Anzahlungen", std::nullopt); });

    int r = h + 2;
    for (;;) {
        s(850, [&] { table.GetRows().Add(); });
        ++r;
        std::shared_ptr<Recordset> dueDate;
        s(855, [&] {
            dueDate = db.OpenRecordset("SELECT * FROM Termine WHERE ID_Rechnungsnummer = " +
                                          kado::dao::SqlNumber(advances->Field("ID_Rechnungsnummer")) +
                                          " AND ID_Terminart = 8",
                                      kado::dao::dbOpenDynaset, options);
        });
        std::string number;
        std::string date;
        s(860, [&] { number = advances->Field("Rechnungsnummer").ToString(); });
        // Without a date record the row names the invoice alone.
        s(861, [&] { date = " vom " + Need(dueDate).Field("Datum").ToString(); });
        s(862, [&] { WriteCell(table, r, 1, "Rechnung Nr. " + number + date, false); });
        const Recordset& a = *advances;
        s(865, [&] {
            WriteCell(table, r, 2, EuroAmountText((TrimmedField(a, "NettoRechnung") + TrimmedField(a, "MehrwertsteuerFreierbetrag")) / 100),
                           false);
        });
        s(866, [&] {
            WriteCell(table, r, 3,
                           EuroAmountText((TrimmedField(a, "Brutto") - TrimmedField(a, "NettoRechnung") - TrimmedField(a, "MehrwertsteuerFreierbetrag")) / 100),
                           false);
        });
        s(867, [&] { WriteCell(table, r, 4, EuroAmountText(TrimmedField(a, "Brutto") / 100), false); });
        s(870, [&] { remainingNet -= (TrimmedField(a, "NettoRechnung") + TrimmedField(a, "MehrwertsteuerFreierbetrag")) / 100; });
        s(871, [&] { remainingVat -= (TrimmedField(a, "Brutto") - TrimmedField(a, "NettoRechnung") - TrimmedField(a, "MehrwertsteuerFreierbetrag")) / 100; });
        s(872, [&] { remainingGross -= TrimmedField(a, "Brutto") / 100; });
        bool tail = true;
        // A recordset that cannot move on ends the list rather than repeating a row.
        if (!s(875, [&] {
                advances->MoveNext();
                tail = advances->EOF_();
            }) ||
            tail)
            break;
    }

    s(880, [&] { table.GetRows().Add(); });
    s(881, [&] { WriteCell(table, r + 1, 1, "Rechnungsbetrag", true); });
    s(882, [&] { WriteCell(table, r + 1, 2, EuroAmountText(remainingNet), true); });
    s(883, [&] { WriteCell(table, r + 1, 3, EuroAmountText(remainingVat), true); });
    s(884, [&] { WriteCell(table, r + 1, 4, EuroAmountText(remainingGross), true); });

    sum.taxedNet = remainingNet;
    sum.vatTotal = remainingVat;
    sum.netDue = remainingGross - remainingVat;
    sum.lastRow = static_cast<int16_t>(r + 1);
    return DeductionRows{h + 3, r};
}

}  // namespace honora
