#include "plugin/invoice/totals_table.h"

#include "platform/com/numtext.h"
#include "plugin/common/steps.h"
#include "plugin/invoice/amount_fields.h"
#include "plugin/invoice/markers.h"
#include "plugin/common/need.h"

namespace honora {

namespace word = kado::word;

void ZelleSchreiben(const word::Table& table, int row, int column, const std::string& text, std::optional<bool> fett) {
    auto r = table.GetCell(row, column).GetRange();
    r.InsertAfter(text);
    if (fett) r.SetBold(*fett);
}

word::Range SummenPosition(word::Document& doc) {
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

word::Table SummentabelleSchreiben(word::Document& doc, const Gebührensumme& gebühren, const Rechnungssumme& summe) {
    Steps s("GebührenTabelle", "SummeBilden");
    word::Range wo;
    word::Table t;
    s(300, [&] { wo = SummenPosition(doc); });
    s(310, [&] { t = doc.GetTables().Add(wo, summe.letzteZeile, 4); });
    const int k = static_cast<int>(gebühren.sätze.size());
    const int erste = summe.ersteMwStZeile;
    const int letzte = summe.letzteZeile;

    s(320, [&] { ZelleSchreiben(t, 1, 1, " ", std::nullopt); });
    s(330, [&] { doc.GetComments().Add(t.GetCell(1, 1).GetRange(), marke::kSummentabelle, kCommentAuthor); });
    s(340, [&] { ZelleSchreiben(t, 1, 2, "Summe", false); });
    for (int i = 0; i < k; ++i)
        s(350, [&] {
            const auto satz = kado::com::NumberToTextSingle(gebühren.sätze[i].satz);
            ZelleSchreiben(t, erste + i, 2, "Mehrwertsteuer " + satz + " %", false);
        });
    s(360, [&] { t.GetRows().Item(letzte - 1).SetHeight(6, word::HeightRule::Exactly); });
    s(370, [&] { ZelleSchreiben(t, letzte, 2, "Rechnungsbetrag", true); });
    s(380, [&] { ZelleSchreiben(t, 1, 4, EuroBetragText(gebühren.netto), false); });
    for (int i = 0; i < k; ++i) {
        const auto& satz = gebühren.sätze[i];
        s(390, [&] { ZelleSchreiben(t, erste + i, 3, EuroBetragText(summe.faktor * satz.zwischensumme), false); });
        // Each line's VAT is rounded after the discount; the total was rounded before it.
        s(391, [&] {
            ZelleSchreiben(t, erste + i, 4, EuroBetragText(Mehrwertsteuer(satz.satz, satz.zwischensumme * summe.faktor)),
                           false);
        });
    }
    s(395, [&] { ZelleSchreiben(t, letzte, 4, EuroBetragText(summe.mwstGesamt + summe.nettoFällig), true); });
    return t;
}

void AbschlagszeileSchreiben(const word::Table& table, const Abschlag& abschlag, const Rechnungssumme& summe) {
    if (!(abschlag.absolut > 0 || abschlag.prozent != 100 || abschlag.rabatt > 0)) return;
    Steps s("GebührenTabelle", "SummeBilden");
    s(500, [&] {
        std::string text;
        if (abschlag.rabatt > 0)
            text = "Abzüglich dem Rabatt von " + std::to_string(abschlag.rabatt) + "%";
        else if (abschlag.prozent == 100)
            text = "Abschlagszahlung von ";
        else
            text = "Abschlagszahlung von " + std::to_string(abschlag.prozent) + "%";
        ZelleSchreiben(table, 2, 2, "\r" + text, true);
    });
    s(510, [&] { ZelleSchreiben(table, 2, 4, "\r" + EuroBetragText(summe.nettoFällig), false); });
}

namespace {

// Text other than blanks and comment reference marks.
bool HatText(const std::string& text) {
    return text.find_first_not_of(" \t\r\x05") != std::string::npos;
}

// The empty paragraphs right after the table keep with the next, up to the
// first line of text.
void LeerabsätzeBinden(const word::Table& table) {
    word::Range p = table.GetRange();
    p.Collapse(word::CollapseDirection::End);
    while (p.MoveEnd(word::Unit::Paragraph, 1) > 0 && p.GetTables().Count() == 0 && !HatText(p.Text())) {
        p.GetParagraphFormat().SetKeepWithNext(true);
        p.Collapse(word::CollapseDirection::End);
    }
}

}  // namespace

void SummentabelleFormatieren(const word::Table& table, word::Application& app, const std::optional<Abzugszeilen>& abzug) {
    RequireObject(table);
    Steps s("GebührenTabelle", "SummeBilden");
    s(900, [&] { table.Select(); });
    for (int typ = -1; typ >= -6; --typ)
        s(910, [&] { app.GetSelection().GetBorders().Item(typ).SetLineStyle(word::LineStyle::None); });
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
    s(936, [&] { LeerabsätzeBinden(table); });
    if (!abzug) return;
    for (int r = abzug->erste; r <= abzug->letzte; ++r) {
        s(940, [&] { table.GetCell(r, 1).SetWidth(app.CentimetersToPoints(9.0)); });
        s(941, [&] { table.GetCell(r, 2).SetWidth(app.CentimetersToPoints(3.0)); });
    }
}

}  // namespace honora
