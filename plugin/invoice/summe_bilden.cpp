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
void DokumentAufräumen(word::Document& doc) {
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
    const Abschlag abschlag{c.AbschlagAbsolut, c.AbschlagProzent, c.Rabatt};

    Gebührensumme gebühren;
    if (c.Doc) gebühren = GebührenSammeln(*c.Doc, c.Mehrwertsteuersatz);
    Rechnungssumme summe = SummenBerechnen(gebühren, abschlag);

    word::Table tabelle;
    s(100, [&] { tabelle = SummentabelleSchreiben(Need(c.Doc), gebühren, summe); });

    s(110, [&] {
        BetragsfelderErsetzen(Need(c.Doc), Need(c.WordApp), marke::kGesamt, summe.mwstGesamt + summe.nettoFällig);
    });
    if (tabelle) AbschlagszeileSchreiben(tabelle, abschlag, summe);

    s(120, [&] {
        auto& doc = Need(c.Doc);
        auto& app = Need(c.WordApp);
        auto comments = doc.GetComments();
        for (int i = 1; i <= comments.Count(); ++i) {
            auto feld = comments.Item(i);
            const auto text = feld.Text();
            if (text == marke::kNetto) BetragsfeldErsetzen(app, feld, summe.nettoFällig);
            if (text == marke::kMwSt) BetragsfeldErsetzen(app, feld, summe.mwstGesamt);
            if (text == marke::kBrutto) BetragsfeldErsetzen(app, feld, summe.nettoFällig + summe.mwstGesamt);
        }
    });
    s(130, [&] {
        BetragsfelderErsetzen(Need(c.Doc), Need(c.WordApp), marke::kAuslagen, summe.nettoFällig - summe.steuerNetto);
    });

    // The kind decides on the final-invoice block and the sign of the write-back.
    kado::com::Variant art;
    if (c.Rechnung) s(140, [&] { art = c.Rechnung->Field("Rechnungsart"); });
    auto istArt = [&](double n) { return !art.IsNull() && !art.IsEmpty() && art.IsNumeric() && art.ToDouble() == n; };

    std::optional<Abzugszeilen> abzug;
    if (c.Rechnung && istArt(4))
        s(150, [&] {
            abzug = SchlussrechnungSchreiben(tabelle, Need(c.NeueAbfrage), c.RecordsetOptionen, *c.Rechnung,
                                             summe);
        });

    s(160, [&] { SummentabelleFormatieren(tabelle, Need(c.WordApp), abzug); });

    if (c.Rechnung) RechnungZurückschreiben(*c.Rechnung, summe, istArt(7), c.Mehrwertsteuersatz);

    ZahlungsZiel(c.Doc, Zahlungsziel);

    if (c.Doc) DokumentAufräumen(*c.Doc);
}

}  // namespace honora
