#include "host/erechnung/erechnung.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <tuple>

#include "host/erechnung/felder.h"
#include "platform/com/atomic_file.h"
#include "platform/com/error.h"
#include "platform/com/numtext.h"
#include "platform/com/steps.h"
#include "plugin/component/honora.h"

namespace kado::host::erechnung {
namespace {

namespace collection = honora::fee_collection;
using felder::Erste;
using felder::Feld;
using felder::Trim;

// Whole numbers of values read from the document or the database, which may
// hold anything: out of range is clamped, not undefined.
Cent Ganz(double x) {
    if (!std::isfinite(x)) return 0;
    return std::llround(std::clamp(x, -1e13, 1e13));
}
int Klein(double x) { return static_cast<int>(Ganz(std::clamp(x, -32768.0, 32767.0))); }

Cent Cents(double euro) { return Ganz(euro * 100); }

std::string Euro(Cent c) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld,%02lld €", c < 0 ? "-" : "", std::llabs(c) / 100, std::llabs(c) % 100);
    return text;
}

// A number as the totals read a fee cell or a mark: German number text, else
// the number its leading digits, signs and separators make ("480,00 €" is
// 480), else 0 (a column heading, a marker word).
double ZahlLesen(std::string_view text) {
    const auto b = text.find_first_not_of(' ');
    const std::string_view t = b == std::string_view::npos ? std::string_view() : text.substr(b, text.find_last_not_of(' ') - b + 1);
    if (auto v = com::ParseGermanNumber(t)) return *v;
    std::string anfang;
    for (char c : t) {
        if ((c < '0' || c > '9') && c != '-' && c != ',' && c != '.') break;
        anfang += c;
    }
    if (anfang.empty() || anfang == ",") return 0;
    return com::ParseGermanNumber(anfang).value_or(0);
}

using Still = com::BasicSteps<void (*)(std::string_view, std::string_view, const com::Failure&)>;

// The table title: cell (1,1) up to its first line end, or the table's place.
std::string Titel(const word::Document& doc, int tabelle) {
    std::string titel;
    Still::Quiet([&] {
        titel = doc.GetTables().Item(tabelle).GetCell(1, 1).GetRange().Text();
        titel = Trim(titel.substr(0, titel.find_first_of("\r\n\a")));
    });
    return titel.empty() ? "Tabelle " + std::to_string(tabelle) : titel;
}

// Spreads the rounding difference between a total and its rounded parts
// onto the largest part, so the parts add up to the total.
void Ausgleichen(std::vector<Cent*> teile, Cent summe) {
    if (teile.empty()) return;
    Cent ist = 0;
    for (Cent* t : teile) ist += *t;
    auto größtes = std::max_element(teile.begin(), teile.end(), [](Cent* a, Cent* b) { return std::llabs(*a) < std::llabs(*b); });
    **größtes += summe - ist;
}

// The days of the payment-term template ("Zahlbar bis <14> ohne Abzug."):
// the number the up to three characters after "<" begin with.
std::optional<int> Zahlungstage(std::string_view vorlage) {
    const auto p = vorlage.find('<');
    if (p == std::string_view::npos) return std::nullopt;
    std::string_view rest = vorlage.substr(p + 1, 3);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    int tage = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') break;
        tage = tage * 10 + (c - '0');
    }
    return tage;
}

// The figures of the document's totals table that the e-invoice must repeat.
struct Summentabelle {
    std::optional<Cent> summe, betrag;
    std::map<Cent, std::pair<Cent, Cent>> sätze;  // rate × 100 -> basis, VAT
};

Summentabelle SummentabelleLesen(const word::Document& doc) {
    Summentabelle s;
    auto zelle = [&](const word::Table& t, int r, int c) {
        std::string text;
        Still::Quiet([&] { text = Trim(t.GetCell(r, c).GetRange().Text()); });
        return text;
    };
    auto betrag = [&](const std::string& text) -> std::optional<Cent> {
        const auto zeile = Trim(text.substr(text.find_last_of('\r') == std::string::npos ? 0 : text.find_last_of('\r') + 1));
        if (zeile.empty()) return std::nullopt;
        return Cents(ZahlLesen(zeile));
    };
    int n = 0;
    Still::Quiet([&] { n = doc.GetTables().Count(); });
    for (int i = 1; i <= n; ++i) {
        word::Table t;
        Still::Quiet([&] { t = doc.GetTables().Item(i); });
        if (!t || zelle(t, 1, 2) != collection::kSummentabelle) continue;
        int zeilen = 0;
        Still::Quiet([&] { zeilen = t.GetRows().Count(); });
        s.summe = betrag(zelle(t, 1, 4));
        for (int r = 2; r <= zeilen; ++r) {
            const std::string kopf = zelle(t, r, 2);
            if (kopf.starts_with("Mehrwertsteuer ") && kopf.ends_with(" %")) {
                const auto satz = com::ParseGermanNumber(kopf.substr(15, kopf.size() - 17));
                const auto basis = betrag(zelle(t, r, 3));
                const auto mwst = betrag(zelle(t, r, 4));
                if (satz && basis && mwst) s.sätze[Ganz(*satz * 100)] = {*basis, *mwst};
            }
            // The amount due: the last "Rechnungsbetrag" row (column 2, or column 1 after deductions).
            if (kopf == "Rechnungsbetrag") s.betrag = betrag(zelle(t, r, 4));
            if (zelle(t, r, 1) == "Rechnungsbetrag") s.betrag = betrag(zelle(t, r, 4));
        }
        break;
    }
    return s;
}

}  // namespace

std::string Ablehnung::Text() const {
    std::string t = "E-Rechnung nicht erstellt";
    if (!fehlend.empty()) {
        t += ", es fehlen: ";
        for (size_t i = 0; i < fehlend.size(); ++i) t += (i ? ", " : "") + fehlend[i];
    }
    if (!grund.empty()) t += (fehlend.empty() ? ": " : "; ") + grund;
    return t;
}

Gebühren GebührenLesen(const word::Document& doc, double standardSatz) {
    Gebühren g;
    std::map<std::pair<int, Cent>, size_t> zeilen;  // (table, rate × 100) -> line
    auto still = [](auto&& schritt) { Still::Quiet(schritt); };
    collection::GebührenzellenDurchgehen(doc, still, [&](const collection::Gebührenzelle& z) {
        const double satz = z.marke.empty() ? standardSatz : ZahlLesen(z.marke);
        const std::optional<double> wert = ZahlLesen(z.betrag);
        const double s = satz > 0 ? (satz < 1e30 ? static_cast<double>(static_cast<float>(satz)) : satz) : 0.0;
        g.netto += *wert;
        if (s > 0) {
            auto it = std::find_if(g.sätze.begin(), g.sätze.end(), [s](const auto& x) { return x.first == s; });
            if (it == g.sätze.end()) it = g.sätze.insert(g.sätze.end(), {s, 0.0});
            it->second += *wert;
        } else {
            g.frei += *wert;
        }
        const auto key = std::make_pair(z.tabelle, Ganz(s * 100));
        auto [at, neu] = zeilen.try_emplace(key, g.positionen.size());
        if (neu) {
            std::string name = Titel(doc, z.tabelle);
            if (s <= 0) name += ": umsatzsteuerfreie Auslagen";
            g.positionen.push_back({name, 0, s});
        }
        g.positionen[at->second].netto += Cents(*wert);
    });
    std::erase_if(g.positionen, [](const Position& p) { return p.netto == 0; });
    return g;
}

Ergebnis BelegErstellen(dao::Database& db, const word::Document& doc, int id, int benutzer) {
    Ergebnis e;
    Ablehnung a;
    Beleg b;
    const std::string nr = std::to_string(id);
    auto rechnung = Erste(db, "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + nr);
    if (!rechnung) {
        a.grund = "Rechnung " + nr + " gibt es nicht";
        e.ablehnung = a;
        return e;
    }
    b.nummer = Feld(*rechnung, "Rechnungsnummer");
    if (b.nummer.empty()) a.fehlend.push_back("Rechnung.Rechnungsnummer");
    const auto art = rechnung->Field("Rechnungsart");
    b.art = art.IsNumeric() && !art.IsEmpty() ? Klein(art.ToDouble()) : 0;
    if (b.art == 7) {
        a.grund = "Rechnungsart 7 (Gutschrift) wird als E-Rechnung nicht ausgegeben";
        e.ablehnung = a;
        return e;
    }
    auto termin = Erste(db, "SELECT * FROM Termine WHERE ID_Rechnungsnummer = " + nr + " AND ID_Terminart = 8");
    if (termin && !termin->Field("Datum").IsNull()) b.datum = termin->Field("Datum").ToDate();
    else a.fehlend.push_back("Termine.Datum (Rechnungsdatum, ID_Terminart 8)");

    const auto auftragFeld = rechnung->Field("ID_Auftragsnummer");
    if (auftragFeld.IsNull() || auftragFeld.IsEmpty() || !auftragFeld.IsNumeric()) {
        a.fehlend.push_back("Rechnung.ID_Auftragsnummer");
        e.ablehnung = a;
        return e;
    }
    const std::string auftrag = dao::SqlNumber(auftragFeld);
    StammdatenLesen(db, auftrag, b, a);
    if (!a.fehlend.empty() || !a.grund.empty()) {
        e.ablehnung = a;
        return e;
    }

    // The user's invoice settings decide on the discount, as they did for the totals.
    auto temp = Erste(db, "SELECT * FROM TempDoc WHERE ID_Benutzer = " + std::to_string(benutzer));
    if (!temp) {
        a.grund = "keine Rechnungseinstellungen (TempDoc) für Benutzer " + std::to_string(benutzer);
        e.ablehnung = a;
        return e;
    }
    auto zahl = [&](std::string_view f) {
        const auto v = temp->Field(f);
        return v.IsNull() || v.IsEmpty() ? 0.0 : v.ToDouble();
    };
    const double absolut = zahl("AbschlagAbsolut");
    const auto prozent = Klein(zahl("AbschlagProzent"));
    const auto rabatt = Klein(zahl("Rabatt"));
    const auto satzFeld = rechnung->Field("Mehrwertsteuersatz");
    const double standard = satzFeld.IsNumeric() && !satzFeld.IsEmpty()
                                ? static_cast<double>(Klein(satzFeld.ToDouble() / 10))
                                : 0.0;

    Gebühren g = GebührenLesen(doc, standard);
    if (g.positionen.empty()) {
        a.grund = "das Dokument hat keine Gebühr";
        e.ablehnung = a;
        return e;
    }
    b.positionen = g.positionen;

    double faktor = 1;
    double nettoFällig = g.netto;
    if (!(absolut == 0 && prozent == 100 && rabatt == 0)) {
        if (rabatt > 0) {
            faktor = (100 - rabatt) / 100.0;
            b.nachlassGrund = "Rabatt von " + std::to_string(rabatt) + "%";
        } else if (prozent < 100) {
            faktor = prozent / 100.0;
            b.nachlassGrund = "Abschlagszahlung von " + std::to_string(prozent) + "%, nicht berechneter Teil";
        } else if (g.netto != 0) {
            faktor = absolut / g.netto;
            b.nachlassGrund = "Abschlagszahlung von " + Euro(Cents(absolut)) + ", nicht berechneter Teil";
        } else {
            faktor = 0;
        }
        nettoFällig = rabatt <= 0 && prozent >= 100 ? absolut : g.netto * faktor;
    }
    double mwst = 0, steuerNetto = 0;
    for (const auto& [satz, summe] : g.sätze) {
        mwst += std::floor(satz * summe + 0.5) / 100;
        steuerNetto += summe;
    }
    mwst *= faktor;
    steuerNetto *= faktor;

    // Per rate: lines, what the discount keeps back, the base and its VAT as the totals table shows them.
    for (const auto& p : b.positionen) {
        auto it = std::find_if(b.kategorien.begin(), b.kategorien.end(), [&](const Kategorie& k) { return k.satz == p.satz; });
        if (it == b.kategorien.end()) it = b.kategorien.insert(b.kategorien.end(), Kategorie{p.satz, 0, 0, 0, 0});
        it->positionen += p.netto;
        b.positionenSumme += p.netto;
    }
    std::vector<Cent*> basen, steuern;
    for (auto& k : b.kategorien) {
        double summe = g.frei;
        for (const auto& [satz, s] : g.sätze)
            if (satz == k.satz) summe = s;
        k.basis = Cents(summe * faktor);
        k.steuer = k.satz > 0 ? Ganz(std::floor(k.satz * summe * faktor + 0.5)) : 0;
        basen.push_back(&k.basis);
        if (k.satz > 0) steuern.push_back(&k.steuer);
    }
    b.netto = Cents(nettoFällig);
    b.steuer = Cents(mwst);
    Ausgleichen(basen, b.netto);
    Ausgleichen(steuern, b.steuer);
    for (auto& k : b.kategorien) {
        k.nachlass = k.positionen - k.basis;
        b.nachlass += k.nachlass;
    }
    b.brutto = b.netto + b.steuer;
    b.zahlbar = b.brutto;

    // What the record says; a final invoice's record holds what remains after the deductions.
    Cent restNetto = b.netto;
    if (b.art == 4) {
        auto vorher = db.OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = " + auftrag +
                                       " AND Rechnungsart = 5");
        for (; !vorher->EOF_(); vorher->MoveNext()) {
            Anzahlung z;
            z.nummer = Feld(*vorher, "Rechnungsnummer");
            const double netto = vorher->Field("NettoRechnung").ToDouble() + vorher->Field("MehrwertsteuerFreierbetrag").ToDouble();
            const double brutto = vorher->Field("Brutto").ToDouble();
            z.netto = Ganz(netto);
            z.brutto = Ganz(brutto);
            z.steuer = z.brutto - z.netto;
            const std::string id2 = dao::SqlNumber(vorher->Field("ID_Rechnungsnummer"));
            auto t = Erste(db, "SELECT * FROM Termine WHERE ID_Rechnungsnummer = " + id2 + " AND ID_Terminart = 8");
            if (!t || t->Field("Datum").IsNull()) {
                a.fehlend.push_back("Termine.Datum (Rechnungsdatum der Abschlagsrechnung " + z.nummer + ")");
                continue;
            }
            z.datum = t->Field("Datum").ToDate();
            b.vorausbezahlt += z.brutto;
            restNetto -= z.netto;
            b.anzahlungen.push_back(z);
        }
        b.zahlbar = b.brutto - b.vorausbezahlt;
    }
    const Cent recNetto = Ganz(rechnung->Field("NettoRechnung").ToDouble());
    const Cent recFrei = Ganz(rechnung->Field("MehrwertsteuerFreierbetrag").ToDouble());
    const Cent recBrutto = Ganz(rechnung->Field("Brutto").ToDouble());
    std::vector<std::string> abweichung;
    auto vergleichen = [&](const std::string& was, Cent ist, Cent soll) {
        if (ist != soll) abweichung.push_back(was + " " + Euro(soll) + ", aus den Gebührentabellen " + Euro(ist));
    };
    vergleichen("Rechnung.Brutto", b.zahlbar, recBrutto);
    if (b.art == 4) {
        vergleichen("Rechnung.NettoRechnung", restNetto, recNetto + recFrei);
    } else {
        vergleichen("Rechnung.NettoRechnung", Cents(steuerNetto), recNetto);
        vergleichen("Rechnung.MehrwertsteuerFreierbetrag", Cents(nettoFällig - steuerNetto), recFrei);
    }
    const Summentabelle tabelle = SummentabelleLesen(doc);
    if (!tabelle.summe || !tabelle.betrag) {
        abweichung.push_back("das Dokument hat keine Summentabelle");
    } else {
        vergleichen("Summentabelle, Summe", Cents(g.netto), *tabelle.summe);
        vergleichen("Summentabelle, Rechnungsbetrag", b.zahlbar, *tabelle.betrag);
        for (const auto& k : b.kategorien) {
            if (k.satz <= 0) continue;
            const auto it = tabelle.sätze.find(Ganz(k.satz * 100));
            if (it == tabelle.sätze.end()) abweichung.push_back("Summentabelle ohne Mehrwertsteuer " + com::NumberToText(k.satz) + " %");
            else vergleichen("Summentabelle, Mehrwertsteuer " + com::NumberToText(k.satz) + " %, Nettobetrag", k.basis, it->second.first);
        }
    }
    if (!abweichung.empty() && a.fehlend.empty()) {
        a.grund = "Rechnung und Dokument stimmen nicht überein: ";
        for (size_t i = 0; i < abweichung.size(); ++i) a.grund += (i ? "; " : "") + abweichung[i];
    }
    if (!a.fehlend.empty() || !a.grund.empty()) {
        e.ablehnung = a;
        return e;
    }

    // The payment term as the document prints it; the due date from the office's template.
    std::string text;
    bool box = false;
    Still::Quiet([&] {
        auto shapes = doc.GetShapes();
        for (int i = 1; i <= shapes.Count(); ++i) {
            auto shape = shapes.Item(i);
            if (shape.Name() != "Zahlungsziel") continue;
            box = true;
            text = shape.GetTextFrame().TextRange().Text();
        }
    });
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\a' || c == '\v' || c == '\t') c = ' ';
    std::string kurz;
    for (char c : Trim(text))
        if (c != ' ' || kurz.empty() || kurz.back() != ' ') kurz += c;
    if (box && !kurz.empty()) {
        b.zahlungsbedingung = kurz;
        if (auto version = Erste(db, "Version")) {
            if (const auto tage = Zahlungstage(Feld(*version, "Zahlungsziel"))) b.fällig = com::Date{b.datum.serial + *tage};
        }
    } else {
        // Without a payment term the invoice is due on receipt.
        b.zahlungsbedingung = "Zahlbar sofort ohne Abzug.";
    }
    e.beleg = b;
    return e;
}

std::optional<Ablehnung> Exportieren(dao::Database& db, const word::Document& doc, int rechnung,
                                     const std::filesystem::path& ziel, int benutzer) {
    Ergebnis e = BelegErstellen(db, doc, rechnung, benutzer);
    if (e.ablehnung) return e.ablehnung;
    com::WriteFileAtomically(ziel, UblSchreiben(*e.beleg));
    return std::nullopt;
}

}  // namespace kado::host::erechnung
