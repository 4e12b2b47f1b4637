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

namespace kado::host::einvoicing {
namespace {

namespace collection = honora::fee_collection;
using fields::FirstRow;
using fields::TrimmedField;
using fields::Trim;

// Whole numbers of values read from the document or the database, which may
// hold anything: out of range is clamped, not undefined.
Cent WholeCents(double x) {
    if (!std::isfinite(x)) return 0;
    return std::llround(std::clamp(x, -1e13, 1e13));
}
int ClampedInt(double x) { return static_cast<int>(WholeCents(std::clamp(x, -32768.0, 32767.0))); }

Cent Cents(double euro) { return WholeCents(euro * 100); }

std::string Euro(Cent c) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld,%02lld €", c < 0 ? "-" : "", std::llabs(c) / 100, std::llabs(c) % 100);
    return text;
}

// A number as the totals read a fee cell or a mark: German number text, else
// the number its leading digits, signs and separators make ("480,00 €" is
// 480), else 0 (a column heading, a marker word).
double ReadAmountText(std::string_view text) {
    const auto b = text.find_first_not_of(' ');
    const std::string_view t = b == std::string_view::npos ? std::string_view() : text.substr(b, text.find_last_not_of(' ') - b + 1);
    if (auto v = com::ParseGermanNumber(t)) return *v;
    std::string begin;
    for (char c : t) {
        if ((c < '0' || c > '9') && c != '-' && c != ',' && c != '.') break;
        begin += c;
    }
    if (begin.empty() || begin == ",") return 0;
    return com::ParseGermanNumber(begin).value_or(0);
}

using Still = com::BasicSteps<void (*)(std::string_view, std::string_view, const com::Failure&)>;

// The table title: cell (1,1) up to its first line end, or the table's place.
std::string TableTitle(const word::Document& doc, int tabelle) {
    std::string title;
    Still::Quiet([&] {
        title = doc.GetTables().Item(tabelle).GetCell(1, 1).GetRange().Text();
        title = Trim(title.substr(0, title.find_first_of("\r\n\a")));
    });
    return title.empty() ? "Tabelle " + std::to_string(tabelle) : title;
}

// Spreads the rounding difference between a total and its rounded parts
// onto the largest part, so the parts add up to the total.
void SpreadRemainder(std::vector<Cent*> parts, Cent sum) {
    if (parts.empty()) return;
    Cent actual = 0;
    for (Cent* t : parts) actual += *t;
    auto largest = std::max_element(parts.begin(), parts.end(), [](Cent* a, Cent* b) { return std::llabs(*a) < std::llabs(*b); });
    **largest += sum - actual;
}

// The days of the payment-term template ("Zahlbar bis <14> ohne Abzug."):
// the number the up to three characters after "<" begin with.
std::optional<int> PaymentDays(std::string_view templateText) {
    const auto p = templateText.find('<');
    if (p == std::string_view::npos) return std::nullopt;
    std::string_view rest = templateText.substr(p + 1, 3);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    int days = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') break;
        days = days * 10 + (c - '0');
    }
    return days;
}

// The figures of the document's totals table that the e-invoice must repeat.
struct TotalsRead {
    std::optional<Cent> sum, betrag;
    std::map<Cent, std::pair<Cent, Cent>> rates;  // rate × 100 -> basis, VAT
};

TotalsRead ReadTotalsTable(const word::Document& doc) {
    TotalsRead s;
    auto zelle = [&](const word::Table& t, int r, int c) {
        std::string text;
        Still::Quiet([&] { text = Trim(t.GetCell(r, c).GetRange().Text()); });
        return text;
    };
    auto betrag = [&](const std::string& text) -> std::optional<Cent> {
        const auto zeile = Trim(text.substr(text.find_last_of('\r') == std::string::npos ? 0 : text.find_last_of('\r') + 1));
        if (zeile.empty()) return std::nullopt;
        return Cents(ReadAmountText(zeile));
    };
    int n = 0;
    Still::Quiet([&] { n = doc.GetTables().Count(); });
    for (int i = 1; i <= n; ++i) {
        word::Table t;
        Still::Quiet([&] { t = doc.GetTables().Item(i); });
        if (!t || zelle(t, 1, 2) != collection::kSummentabelle) continue;
        int zeilen = 0;
        Still::Quiet([&] { zeilen = t.GetRows().Count(); });
        s.sum = betrag(zelle(t, 1, 4));
        for (int r = 2; r <= zeilen; ++r) {
            const std::string head = zelle(t, r, 2);
            if (head.starts_with("Mehrwertsteuer ") && head.ends_with(" %")) {
                const auto rate = com::ParseGermanNumber(head.substr(15, head.size() - 17));
                const auto basis = betrag(zelle(t, r, 3));
                const auto vatAmount = betrag(zelle(t, r, 4));
                if (rate && basis && vatAmount) s.rates[WholeCents(*rate * 100)] = {*basis, *vatAmount};
            }
            // The amount due: the last "Rechnungsbetrag" row (column 2, or column 1 after deductions).
            if (head == "Rechnungsbetrag") s.betrag = betrag(zelle(t, r, 4));
            if (zelle(t, r, 1) == "Rechnungsbetrag") s.betrag = betrag(zelle(t, r, 4));
        }
        break;
    }
    return s;
}

}  // namespace

std::string Refusal::Text() const {
    std::string t = "E-Rechnung nicht erstellt";
    if (!missing.empty()) {
        t += ", es fehlen: ";
        for (size_t i = 0; i < missing.size(); ++i) t += (i ? ", " : "") + missing[i];
    }
    if (!reason.empty()) t += (missing.empty() ? ": " : "; ") + reason;
    return t;
}

FeeLines ReadFeeLines(const word::Document& doc, double standardRate) {
    FeeLines g;
    std::map<std::pair<int, Cent>, size_t> zeilen;  // (table, rate × 100) -> line
    auto still = [](auto&& step) { Still::Quiet(step); };
    collection::GebührenzellenDurchgehen(doc, still, [&](const collection::Gebührenzelle& z) {
        const double rate = z.marke.empty() ? standardRate : ReadAmountText(z.marke);
        const std::optional<double> value = ReadAmountText(z.betrag);
        const double s = rate > 0 ? (rate < 1e30 ? static_cast<double>(static_cast<float>(rate)) : rate) : 0.0;
        g.net += *value;
        if (s > 0) {
            auto it = std::find_if(g.rates.begin(), g.rates.end(), [s](const auto& x) { return x.first == s; });
            if (it == g.rates.end()) it = g.rates.insert(g.rates.end(), {s, 0.0});
            it->second += *value;
        } else {
            g.vatFree += *value;
        }
        const auto key = std::make_pair(z.tabelle, WholeCents(s * 100));
        auto [at, fresh] = zeilen.try_emplace(key, g.lines.size());
        if (fresh) {
            std::string name = TableTitle(doc, z.tabelle);
            if (s <= 0) name += ": umsatzsteuerfreie Auslagen";
            g.lines.push_back({name, 0, s});
        }
        g.lines[at->second].net += Cents(*value);
    });
    std::erase_if(g.lines, [](const Position& p) { return p.net == 0; });
    return g;
}

BuildResult BuildEInvoice(dao::Database& db, const word::Document& doc, int id, int user) {
    BuildResult e;
    Refusal a;
    EInvoice b;
    const std::string nr = std::to_string(id);
    auto invoice = FirstRow(db, "SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + nr);
    if (!invoice) {
        a.reason = "Rechnung " + nr + " gibt es nicht";
        e.refusal = a;
        return e;
    }
    b.number = TrimmedField(*invoice, "Rechnungsnummer");
    if (b.number.empty()) a.missing.push_back("Rechnung.Rechnungsnummer");
    const auto art = invoice->Field("Rechnungsart");
    b.art = art.IsNumeric() && !art.IsEmpty() ? ClampedInt(art.ToDouble()) : 0;
    if (b.art == 7) {
        a.reason = "Rechnungsart 7 (Gutschrift) wird als E-Rechnung nicht ausgegeben";
        e.refusal = a;
        return e;
    }
    auto dueDate = FirstRow(db, "SELECT * FROM Termine WHERE ID_Rechnungsnummer = " + nr + " AND ID_Terminart = 8");
    if (dueDate && !dueDate->Field("Datum").IsNull()) b.date = dueDate->Field("Datum").ToDate();
    else a.missing.push_back("Termine.Datum (Rechnungsdatum, ID_Terminart 8)");

    const auto orderField = invoice->Field("ID_Auftragsnummer");
    if (orderField.IsNull() || orderField.IsEmpty() || !orderField.IsNumeric()) {
        a.missing.push_back("Rechnung.ID_Auftragsnummer");
        e.refusal = a;
        return e;
    }
    const std::string orderId = dao::SqlNumber(orderField);
    ReadMasterData(db, orderId, b, a);
    if (!a.missing.empty() || !a.reason.empty()) {
        e.refusal = a;
        return e;
    }

    // The user's invoice settings decide on the discount, as they did for the totals.
    auto temp = FirstRow(db, "SELECT * FROM TempDoc WHERE ID_Benutzer = " + std::to_string(user));
    if (!temp) {
        a.reason = "keine Rechnungseinstellungen (TempDoc) für Benutzer " + std::to_string(user);
        e.refusal = a;
        return e;
    }
    auto readNumber = [&](std::string_view f) {
        const auto v = temp->Field(f);
        return v.IsNull() || v.IsEmpty() ? 0.0 : v.ToDouble();
    };
    const double absoluteAmount = readNumber("AbschlagAbsolut");
    const auto percent = ClampedInt(readNumber("AbschlagProzent"));
    const auto rebate = ClampedInt(readNumber("Rabatt"));
    const auto rateField = invoice->Field("Mehrwertsteuersatz");
    const double standard = rateField.IsNumeric() && !rateField.IsEmpty()
                                ? static_cast<double>(ClampedInt(rateField.ToDouble() / 10))
                                : 0.0;

    FeeLines g = ReadFeeLines(doc, standard);
    if (g.lines.empty()) {
        a.reason = "das Dokument hat keine Gebühr";
        e.refusal = a;
        return e;
    }
    b.lines = g.lines;

    double factor = 1;
    double netDue = g.net;
    if (!(absoluteAmount == 0 && percent == 100 && rebate == 0)) {
        if (rebate > 0) {
            factor = (100 - rebate) / 100.0;
            b.allowanceReason = "Rabatt von " + std::to_string(rebate) + "%";
        } else if (percent < 100) {
            factor = percent / 100.0;
            b.allowanceReason = "Abschlagszahlung von " + std::to_string(percent) + "%, nicht berechneter Teil";
        } else if (g.net != 0) {
            factor = absoluteAmount / g.net;
            b.allowanceReason = "Abschlagszahlung von " + Euro(Cents(absoluteAmount)) + ", nicht berechneter Teil";
        } else {
            factor = 0;
        }
        netDue = rebate <= 0 && percent >= 100 ? absoluteAmount : g.net * factor;
    }
    double vatAmount = 0, taxedNet = 0;
    for (const auto& [rate, sum] : g.rates) {
        vatAmount += std::floor(rate * sum + 0.5) / 100;
        taxedNet += sum;
    }
    vatAmount *= factor;
    taxedNet *= factor;

    // Per rate: lines, what the discount keeps back, the base and its VAT as the totals table shows them.
    for (const auto& p : b.lines) {
        auto it = std::find_if(b.rateGroups.begin(), b.rateGroups.end(), [&](const VatBreakdown& k) { return k.rate == p.rate; });
        if (it == b.rateGroups.end()) it = b.rateGroups.insert(b.rateGroups.end(), VatBreakdown{p.rate, 0, 0, 0, 0});
        it->lines += p.net;
        b.linesTotal += p.net;
    }
    std::vector<Cent*> bases, vats;
    for (auto& k : b.rateGroups) {
        double sum = g.vatFree;
        for (const auto& [rate, s] : g.rates)
            if (rate == k.rate) sum = s;
        k.basis = Cents(sum * factor);
        k.vat = k.rate > 0 ? WholeCents(std::floor(k.rate * sum * factor + 0.5)) : 0;
        bases.push_back(&k.basis);
        if (k.rate > 0) vats.push_back(&k.vat);
    }
    b.net = Cents(netDue);
    b.vat = Cents(vatAmount);
    SpreadRemainder(bases, b.net);
    SpreadRemainder(vats, b.vat);
    for (auto& k : b.rateGroups) {
        k.allowance = k.lines - k.basis;
        b.allowance += k.allowance;
    }
    b.gross = b.net + b.vat;
    b.payable = b.gross;

    // What the record says; a final invoice's record holds what remains after the deductions.
    Cent remainingNet = b.net;
    if (b.art == 4) {
        auto earlier = db.OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = " + orderId +
                                       " AND Rechnungsart = 5");
        for (; !earlier->EOF_(); earlier->MoveNext()) {
            AdvanceInvoice z;
            z.number = TrimmedField(*earlier, "Rechnungsnummer");
            const double net = earlier->Field("NettoRechnung").ToDouble() + earlier->Field("MehrwertsteuerFreierbetrag").ToDouble();
            const double gross = earlier->Field("Brutto").ToDouble();
            z.net = WholeCents(net);
            z.gross = WholeCents(gross);
            z.vat = z.gross - z.net;
            const std::string id2 = dao::SqlNumber(earlier->Field("ID_Rechnungsnummer"));
            auto t = FirstRow(db, "SELECT * FROM Termine WHERE ID_Rechnungsnummer = " + id2 + " AND ID_Terminart = 8");
            if (!t || t->Field("Datum").IsNull()) {
                a.missing.push_back("Termine.Datum (Rechnungsdatum der Abschlagsrechnung " + z.number + ")");
                continue;
            }
            z.date = t->Field("Datum").ToDate();
            b.prepaid += z.gross;
            remainingNet -= z.net;
            b.advances.push_back(z);
        }
        b.payable = b.gross - b.prepaid;
    }
    const Cent recordNet = WholeCents(invoice->Field("NettoRechnung").ToDouble());
    const Cent recordVatFree = WholeCents(invoice->Field("MehrwertsteuerFreierbetrag").ToDouble());
    const Cent recordGross = WholeCents(invoice->Field("Brutto").ToDouble());
    std::vector<std::string> deviation;
    auto compare = [&](const std::string& was, Cent actual, Cent expected) {
        if (actual != expected) deviation.push_back(was + " " + Euro(expected) + ", aus den Gebührentabellen " + Euro(actual));
    };
    compare("Rechnung.Brutto", b.payable, recordGross);
    if (b.art == 4) {
        compare("Rechnung.NettoRechnung", remainingNet, recordNet + recordVatFree);
    } else {
        compare("Rechnung.NettoRechnung", Cents(taxedNet), recordNet);
        compare("Rechnung.MehrwertsteuerFreierbetrag", Cents(netDue - taxedNet), recordVatFree);
    }
    const TotalsRead tabelle = ReadTotalsTable(doc);
    if (!tabelle.sum || !tabelle.betrag) {
        deviation.push_back("das Dokument hat keine Summentabelle");
    } else {
        compare("Summentabelle, Summe", Cents(g.net), *tabelle.sum);
        compare("Summentabelle, Rechnungsbetrag", b.payable, *tabelle.betrag);
        for (const auto& k : b.rateGroups) {
            if (k.rate <= 0) continue;
            const auto it = tabelle.rates.find(WholeCents(k.rate * 100));
            if (it == tabelle.rates.end()) deviation.push_back("Summentabelle ohne Mehrwertsteuer " + com::NumberToText(k.rate) + " %");
            else compare("Summentabelle, Mehrwertsteuer " + com::NumberToText(k.rate) + " %, Nettobetrag", k.basis, it->second.first);
        }
    }
    if (!deviation.empty() && a.missing.empty()) {
        a.reason = "Rechnung und Dokument stimmen nicht überein: ";
        for (size_t i = 0; i < deviation.size(); ++i) a.reason += (i ? "; " : "") + deviation[i];
    }
    if (!a.missing.empty() || !a.reason.empty()) {
        e.refusal = a;
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
    std::string collapsed;
    for (char c : Trim(text))
        if (c != ' ' || collapsed.empty() || collapsed.back() != ' ') collapsed += c;
    if (box && !collapsed.empty()) {
        b.paymentTerms = collapsed;
        if (auto version = FirstRow(db, "Version")) {
            if (const auto days = PaymentDays(TrimmedField(*version, "Zahlungsziel"))) b.due = com::Date{b.date.serial + *days};
        }
    } else {
        // Without a payment term the invoice is due on receipt.
        b.paymentTerms = "Zahlbar sofort ohne Abzug.";
    }
    e.einvoice = b;
    return e;
}

std::optional<Refusal> ExportFile(dao::Database& db, const word::Document& doc, int invoice,
                                     const std::filesystem::path& target, int user) {
    BuildResult e = BuildEInvoice(db, doc, invoice, user);
    if (e.refusal) return e.refusal;
    com::WriteFileAtomically(target, WriteUbl(*e.einvoice));
    return std::nullopt;
}

}  // namespace kado::host::einvoicing
