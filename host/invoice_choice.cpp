#include "host/invoice_choice.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "host/invoice_figures.h"

namespace kado::host {
namespace {

std::string KindName(int kind) {
    switch (kind) {
        case 4: return "Schlussrechnung";
        case 5: return "Abschlagsrechnung";
        case 7: return "Gutschrift";
        default: return "Rechnung";
    }
}

// Pads to `width` code points on the left (right-aligned) or the right.
std::string Pad(const std::string& text, int width, bool right) {
    const auto shown = static_cast<int>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    const std::string fill(static_cast<size_t>(std::max(0, width - shown)), ' ');
    return right ? fill + text : text + fill;
}

}  // namespace

std::vector<InvoiceRecord> InvoiceRecords(dao::Database& db) {
    std::vector<InvoiceRecord> records;
    auto rs = db.OpenRecordset(
        "SELECT ID_Rechnungsnummer, Rechnungsnummer, Rechnungsart, NettoRechnung, Brutto FROM Rechnung "
        "ORDER BY ID_Rechnungsnummer");
    for (; !rs->EOF_(); rs->MoveNext()) {
        const auto number = rs->Field("Rechnungsnummer");
        const auto kind = rs->Field("Rechnungsart");
        records.push_back({static_cast<int>(rs->Field("ID_Rechnungsnummer").ToLong()),
                           number.IsNull() ? std::string() : number.ToString(), {},
                           kind.IsNull() || kind.IsEmpty() ? 0 : static_cast<int>(kind.ToLong()),
                           Cents(rs->Field("NettoRechnung")), Cents(rs->Field("Brutto"))});
    }
    // The invoice date is its appointment of kind 8; the ids are numbers we read ourselves.
    for (auto& r : records) {
        auto dates = db.OpenRecordset("SELECT Datum FROM Termine WHERE ID_Terminart = 8 AND ID_Rechnungsnummer = " +
                                      std::to_string(r.id));
        if (dates->EOF_()) continue;
        const auto d = dates->Field("Datum");
        if (d.IsNull() || d.IsEmpty()) continue;
        int y = 0, m = 0, day = 0;
        d.ToDate().ToYmd(y, m, day);
        char text[16];
        std::snprintf(text, sizeof text, "%02d.%02d.%04d", day, m, y);
        r.date = text;
    }
    return records;
}

std::string InvoiceLine(const InvoiceRecord& r) {
    return Pad(std::to_string(r.id), 4, true) + "  " + Pad(r.number, 14, false) + "  " + Pad(r.date, 10, false) +
           "  " + Pad(KindName(r.kind), 17, false) + "  netto " + Pad(Euros(r.net), 14, true) + "  brutto " +
           Pad(Euros(r.gross), 14, true);
}

bool MatchesSearch(const std::string& line, const std::string& search) {
    // Case is folded for ASCII letters; numbers, dates and amounts are what clerks search for.
    auto fold = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string text = fold(line);
    const std::string words = fold(search);
    for (size_t at = 0; at < words.size();) {
        const size_t end = std::min(words.find(' ', at), words.size());
        if (end > at && text.find(words.substr(at, end - at)) == std::string::npos) return false;
        at = end + 1;
    }
    return true;
}

std::optional<int> ChooseInvoice(const std::shared_ptr<forms::Desktop>& desktop, const std::string& database,
                                 const std::vector<InvoiceRecord>& records, std::optional<int> current) {
    std::optional<int> chosen;
    std::vector<size_t> shown;  // indexes into records, as the list holds them
    forms::Subscription typing;
    auto form = forms::Form::Create(desktop, "frmRechnungWahl", [&](forms::Form& f) {
        f.SetCaption("Rechnung wählen");
        f.Add<forms::Label>("lblDatenbank", {0, 0, 1, 3}).SetCaption("Datenbank: " + database);
        f.Add<forms::Label>("lblSuche", {1, 0}).SetCaption("&Suchen:");
        auto& search = f.Add<forms::TextBox>("txtSuche", {1, 1, 1, 2});
        search.SetWidthChars(32);
        f.Add<forms::Label>("lblRechnung", {2, 0}).SetCaption("&Rechnung:");
        auto& list = f.Add<forms::ComboBox>("cmbRechnung", {2, 1, 1, 2});
        list.SetFixedPitch(true);
        auto& ok = f.Add<forms::CommandButton>("cmdOK", {3, 1});
        ok.SetCaption("&OK");
        f.Add<forms::CommandButton>("cmdAbbruch", {3, 2}).SetCaption("&Abbrechen");
        auto fill = [&list, &ok, &records, &shown, &search](std::optional<int> keep) {
            std::vector<std::string> lines;
            std::vector<size_t> now;
            for (size_t i = 0; i < records.size(); ++i) {
                std::string line = InvoiceLine(records[i]);
                if (!MatchesSearch(line, search.Text())) continue;
                now.push_back(i);
                lines.push_back(std::move(line));
            }
            if (lines.empty()) lines.push_back("keine passende Rechnung");
            shown = std::move(now);
            list.Clear();
            for (const auto& line : lines) list.AddItem(line);
            int at = -1;
            for (size_t k = 0; k < shown.size(); ++k) {
                if (at < 0 || (keep && records[shown[k]].id == *keep)) at = static_cast<int>(k);
                if (keep && records[shown[k]].id == *keep) break;
            }
            list.SetListIndex(shown.empty() ? 0 : at);
            ok.SetEnabled(!shown.empty());
        };
        f.OnLoad([&f, &search, &list, &shown, &records, &typing, fill, current] {
            fill(current);
            // The list narrows with every change of the search text, kept choice and all.
            typing = f.Subscribe([&search, &list, &shown, &records, fill](forms::Form&, forms::Control* c,
                                                                          forms::Change change) {
                if (c != &search || change != forms::Change::Text) return;
                const int at = list.ListIndex();
                std::optional<int> keep;
                if (at >= 0 && static_cast<size_t>(at) < shown.size()) keep = records[shown[static_cast<size_t>(at)]].id;
                fill(keep);
            });
        });
        ok.OnClick([&f, &list, &records, &shown, &chosen] {
            const int at = list.ListIndex();
            if (at >= 0 && static_cast<size_t>(at) < shown.size()) chosen = records[shown[static_cast<size_t>(at)]].id;
            f.Unload();
        });
        f.Item("cmdAbbruch").OnClick([&f] { f.Unload(); });
    });
    form->Show(true);
    typing.Reset();
    form->Unload();
    return chosen;
}

}  // namespace kado::host
