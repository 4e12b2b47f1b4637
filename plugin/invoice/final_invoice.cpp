#include "plugin/invoice/final_invoice.h"

#include <memory>
#include <string>

#include "plugin/common/steps.h"
#include "plugin/invoice/amount_fields.h"

namespace honora {

namespace word = kado::word;
using kado::dao::Recordset;

namespace {

double Feld(const Recordset& rs, const char* name) { return rs.Field(name).ToDouble(); }

}  // namespace

std::optional<Abzugszeilen> SchlussrechnungSchreiben(const word::Table& table, kado::dao::Database& db,
                                                     int16_t optionen, const Recordset& rechnung,
                                                     Rechnungssumme& summe) {
    RequireObject(table);
    Steps s("GebührenTabelle", "SummeBilden");
    std::shared_ptr<Recordset> anzahlungen;
    s(800, [&] {
        anzahlungen = db.OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = " +
                                           kado::dao::SqlNumber(rechnung.Field("ID_Auftragsnummer")) +
                                           " AND Rechnungsart = 5",
                                       kado::dao::dbOpenDynaset, optionen);
    });
    // Without the advance invoices there is nothing to deduct: no half-written block.
    bool leer = true;
    if (!s(805, [&] { leer = Need(anzahlungen).BOF() && anzahlungen->EOF_(); }) || leer) return std::nullopt;
    s(810, [&] { anzahlungen->MoveFirst(); });

    double restNetto = summe.nettoFällig;
    double restMwSt = summe.mwstGesamt;
    double restBrutto = summe.nettoFällig + summe.mwstGesamt;
    // The invoice's own gross: its net due and the VAT of its rates. Taxing
    // the whole net at the standard rate would misstate any other rate.
    const double brutto = summe.nettoFällig + summe.mwstGesamt;

    const int letzte = summe.letzteZeile;
    s(820, [&] {
        table.GetCell(letzte, 2).GetRange().Delete();
        ZelleSchreiben(table, letzte, 2, "Gesamtsumme", true);
    });
    for (int i = 0; i < 3; ++i) s(825, [&] { table.GetRows().Add(); });
    // The block follows the rows written so far after one empty row, for any
    // number of VAT lines.
    const int h = letzte + 2;
    s(830, [&] { ZelleSchreiben(table, h, 2, "Entgeld", false); });
    s(831, [&] { ZelleSchreiben(table, h, 3, "Umsatzsteuer", std::nullopt); });
    s(832, [&] { ZelleSchreiben(table, h, 4, "Summe", false); });
    s(835, [&] { table.GetRows().Add(); });
    s(836, [&] { ZelleSchreiben(table, h + 1, 2, EuroBetragText(summe.nettoFällig), false); });
    s(837, [&] { ZelleSchreiben(table, h + 1, 3, EuroBetragText(summe.mwstGesamt), std::nullopt); });
    s(838, [&] { ZelleSchreiben(table, h + 1, 4, EuroBetragText(brutto), false); });
    s(840, [&] { table.GetRows().Add(); });
    s(841, [&] { ZelleSchreiben(table, h + 2, 1, "abzgl. Anzahlungen", std::nullopt); });

    int r = h + 2;
    for (;;) {
        s(850, [&] { table.GetRows().Add(); });
        ++r;
        std::shared_ptr<Recordset> termin;
        s(855, [&] {
            termin = db.OpenRecordset("SELECT * FROM Termine WHERE ID_Rechnungsnummer = " +
                                          kado::dao::SqlNumber(anzahlungen->Field("ID_Rechnungsnummer")) +
                                          " AND ID_Terminart = 8",
                                      kado::dao::dbOpenDynaset, optionen);
        });
        std::string nummer;
        std::string datum;
        s(860, [&] { nummer = anzahlungen->Field("Rechnungsnummer").ToString(); });
        // Without a date record the row names the invoice alone.
        s(861, [&] { datum = " vom " + Need(termin).Field("Datum").ToString(); });
        s(862, [&] { ZelleSchreiben(table, r, 1, "Rechnung Nr. " + nummer + datum, false); });
        const Recordset& a = *anzahlungen;
        s(865, [&] {
            ZelleSchreiben(table, r, 2, EuroBetragText((Feld(a, "NettoRechnung") + Feld(a, "MehrwertsteuerFreierbetrag")) / 100),
                           false);
        });
        s(866, [&] {
            ZelleSchreiben(table, r, 3,
                           EuroBetragText((Feld(a, "Brutto") - Feld(a, "NettoRechnung") - Feld(a, "MehrwertsteuerFreierbetrag")) / 100),
                           false);
        });
        s(867, [&] { ZelleSchreiben(table, r, 4, EuroBetragText(Feld(a, "Brutto") / 100), false); });
        s(870, [&] { restNetto -= (Feld(a, "NettoRechnung") + Feld(a, "MehrwertsteuerFreierbetrag")) / 100; });
        s(871, [&] { restMwSt -= (Feld(a, "Brutto") - Feld(a, "NettoRechnung") - Feld(a, "MehrwertsteuerFreierbetrag")) / 100; });
        s(872, [&] { restBrutto -= Feld(a, "Brutto") / 100; });
        bool ende = true;
        // A recordset that cannot move on ends the list rather than repeating a row.
        if (!s(875, [&] {
                anzahlungen->MoveNext();
                ende = anzahlungen->EOF_();
            }) ||
            ende)
            break;
    }

    s(880, [&] { table.GetRows().Add(); });
    s(881, [&] { ZelleSchreiben(table, r + 1, 1, "Rechnungsbetrag", true); });
    s(882, [&] { ZelleSchreiben(table, r + 1, 2, EuroBetragText(restNetto), true); });
    s(883, [&] { ZelleSchreiben(table, r + 1, 3, EuroBetragText(restMwSt), true); });
    s(884, [&] { ZelleSchreiben(table, r + 1, 4, EuroBetragText(restBrutto), true); });

    summe.steuerNetto = restNetto;
    summe.mwstGesamt = restMwSt;
    summe.nettoFällig = restBrutto - restMwSt;
    summe.letzteZeile = static_cast<int16_t>(r + 1);
    return Abzugszeilen{h + 3, r};
}

}  // namespace honora
