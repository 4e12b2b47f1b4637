#include "host/demo.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/com/utf8.h"
#include "platform/com/variant.h"
#include "platform/dao/dao.h"
#include "platform/dao/host_schema.h"
#include "plugin/component/honora.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;

std::string InvoiceNumber(int i) {
    char text[32];
    std::snprintf(text, sizeof text, "RE-2026-%04d", i);
    return text;
}

// One job (order 1) with its invoices, dated today, and the office's
// payment-term template; user 1's invoice settings: 19 % VAT, no discount.
// Literals both engines read alike: TRUE/FALSE, an ISO date.
std::vector<std::string> DemoRows(int invoices) {
    std::vector<std::string> rows = {
        "INSERT INTO TempDoc (ID_Benutzer, ID_Auftragsnummer, MeßtruppZusammenfassen, ID_Lieferschein, "
        "AbschlagAbsolut, AbschlagProzent, Zahlungsziel, Mehrwertsteuersatz, Preisgruppe1, Preisgruppe2, Preisgruppe3, "
        "Preisgruppe4, Mehrwertsteuer, MwStErmäßigt, Rabatt) VALUES (1, 1, FALSE, NULL, 0, 100, TRUE, 190, 1, 0, 0, 0, "
        "190, 70, 0)",
        "INSERT INTO Version (Zahlungsziel, AbstandZahlungsziel, BundZahlungsziel, FontZahlungsZiel) "
        "VALUES ('Zahlbar bis <14> ohne Abzug.', 25.5, 0, 10)",
        // The e-invoice's master data: the office as seller, order 1's client as buyer.
        "INSERT INTO Büro (ID_Büro, Name, Straße, PLZ, Ort, Land, UStIdNr, Steuernummer, Ansprechpartner, Telefon, "
        "EMail, ElektronischeAdresse, ElektronischeAdresseArt, IBAN, BIC, Kontoinhaber) VALUES (1, "
        "'Vermessungsbüro Beispiel', 'Am Markt 1', '12345', 'Musterstadt', 'DE', 'DE123456789', '123/456/78901', "
        "'Erika Beispiel', '+49 1234 56780', 'rechnung@vermessung-beispiel.de', 'rechnung@vermessung-beispiel.de', "
        "'EM', 'DE75512108001245126199', 'SOBKDEBBXXX', 'Vermessungsbüro Beispiel')",
        "INSERT INTO Auftraggeber (ID_Auftraggeber, Name, Straße, PLZ, Ort, Land, LeitwegID, ElektronischeAdresse, "
        "ElektronischeAdresseArt) VALUES (1, 'Stadt Musterstadt, Bauverwaltung', 'Rathausplatz 2', '12345', "
        "'Musterstadt', 'DE', '04011000-12345-03', 'eingang@musterstadt.example', 'EM')",
        "INSERT INTO Auftrag (ID_Auftragsnummer, Auftragsnummer, ID_Auftraggeber) VALUES (1, 'A-2026-0001', 1)",
    };
    int y = 0, m = 0, d = 0;
    com::Date::Today().ToYmd(y, m, d);
    char today[16];
    std::snprintf(today, sizeof today, "%04d-%02d-%02d", y, m, d);
    for (int i = 1; i <= invoices; ++i) {
        const std::string id = std::to_string(i);
        rows.push_back("INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart, "
                       "NettoRechnung, Brutto, MehrwertsteuerFreierbetrag, Mehrwertsteuersatz) VALUES (" +
                       id + ", '" + InvoiceNumber(i) + "', 1, 1, 0, 0, 0, 190)");
        rows.push_back("INSERT INTO Termine (ID_Termin, ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (" + id + ", 8, " +
                       id + ", '" + today + "')");
    }
    return rows;
}

// Text pieces; a piece with a marker gets a point comment right after it.
struct Piece {
    std::string_view text;
    std::string_view marker;
};

constexpr Piece kTemplate[] = {
    {"Vermessungsbüro Beispiel, Am Markt 1, 12345 Musterstadt\r\r", {}},
    {"Rechnung RE-2026-0001\r\r", {}},
    // The fee tables go before the word ahead of "kadoStart" and the totals at
    // it: on an empty paragraph both stand under the lead-in, in that order.
    {"Für die Liegenschaftsvermessung berechnen wir nach der Gebührenordnung:\r", honora::marke::kStart},
    {"\rRechnungsbetrag: ", honora::marke::kGesamt},
    {"0,00 € \r", {}},
    {"Nettobetrag ", honora::marke::kNetto},
    {"0,00 € zuzüglich Umsatzsteuer ", honora::marke::kMwSt},
    {"0,00 € ergibt ", honora::marke::kBrutto},
    {"0,00 € ; darin umsatzsteuerfreie Auslagen ", honora::marke::kAuslagen},
    {"0,00 € .\r\rMit freundlichen Grüßen", {}},
};

}  // namespace

std::vector<Action> DemoJob(const fs::path& jobs, int category) {
    std::ifstream in(jobs);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    const std::string head = std::to_string(category) + ") job=(";
    const size_t at = text.find(head);
    const size_t end = at == std::string::npos ? at : text.find(";;", at);
    if (end == std::string::npos)
        throw std::runtime_error("no demo job for category " + std::to_string(category) + " in " + jobs.string());
    std::vector<Action> job;
    for (size_t q = text.find('\'', at); q < end; q = text.find('\'', q + 1)) {
        const size_t close = text.find('\'', q + 1);
        std::string error;
        auto action = ParseAction(text.substr(q + 1, close - q - 1), error);
        if (!action) throw std::runtime_error(jobs.string() + ": " + error);
        job.push_back(*action);
        q = close;
    }
    return job;
}

std::shared_ptr<word::Document> DemoInvoice() {
    auto doc = word::Document::New();
    // The fee tables are 17.5 cm wide; A4 leaves that between these margins.
    const auto app = doc->GetApplication();
    doc->GetPageSetup().SetLeftMargin(app->CentimetersToPoints(kLeftMarginCm));
    doc->GetPageSetup().SetRightMargin(app->CentimetersToPoints(kRightMarginCm));
    // Arial (or a font of its metrics) at this size keeps "30.22.1" in the 1.5 cm
    // first column and a five-digit amount with its "€" in a 2.5 cm one.
    doc->GetDefaultFont().SetName(kBodyFont);
    doc->GetDefaultFont().SetSize(kBodyFontSize);
    std::string text;
    std::vector<std::pair<long, std::string_view>> marks;
    for (const auto& p : kTemplate) {
        text += p.text;
        if (!p.marker.empty()) marks.emplace_back(com::CodePoints(text), p.marker);
    }
    doc->Content().InsertBefore(text);
    // Later marks first, so the reference characters do not shift earlier positions.
    for (auto it = marks.rbegin(); it != marks.rend(); ++it)
        doc->GetComments().Add(doc->GetRange(it->first, it->first), it->second, honora::kCommentAuthor);
    return doc;
}

int Init(const fs::path& dir, const std::string& server, int invoices) {
    // Only the last folder is made: a mistyped parent is refused, not laid out.
    {
        const fs::path folder = dir.has_filename() ? dir : dir.parent_path();
        std::error_code ec;
        if (fs::exists(folder, ec) && !fs::is_directory(folder, ec)) {
            std::cerr << "kado-host: init: " << folder.string() << " ist kein Ordner\n";
            return 2;
        }
        const fs::path parent = folder.has_parent_path() ? folder.parent_path() : fs::path(".");
        if (!fs::is_directory(folder, ec) && !fs::is_directory(parent, ec)) {
            std::cerr << "kado-host: init: den Ordner " << parent.string() << " gibt es nicht; angelegt wird nur der "
                      << "letzte Ordner eines Pfades (" << folder.filename().string() << ")\n";
            return 2;
        }
        fs::create_directory(folder, ec);
        if (ec) {
            std::cerr << "kado-host: init: der Ordner " << folder.string() << " kann nicht angelegt werden: "
                      << ec.message() << "\n";
            return 2;
        }
    }
    const bool onServer = !server.empty();
    const fs::path file = dir / "kado.sqlite";
    const std::string db = onServer ? server : file.string();
    const fs::path invoice = dir / "Rechnung.docx";
    for (const auto& f : onServer ? std::vector<fs::path>{invoice} : std::vector<fs::path>{file, invoice}) {
        if (fs::exists(f)) {
            std::cerr << "kado-host: " << f.string() << " gibt es schon\n";
            return 2;
        }
    }
    auto ws = std::make_shared<dao::Workspace>();
    std::shared_ptr<dao::Database> created;
    try {
        created = ws->CreateDatabase(db);
    } catch (const com::Error& e) {
        if (e.Number() != dao::err::DatabaseExists) throw;
        std::cerr << "kado-host: " << dao::WithoutPasswords(db) << " enthält schon Tabellen\n";
        return 2;
    }
    try {
        // One transaction: a failure leaves no half-made demo on a server.
        created->Execute("BEGIN");
        dao::ApplyHostSchema(*created);
        for (const auto& row : DemoRows(invoices)) created->Execute(row);
        created->Execute("COMMIT");
        created.reset();
        DemoInvoice()->SaveAs(invoice);
    } catch (...) {
        // No half-made demo left behind for the next session.
        std::error_code ec;
        if (!onServer) fs::remove(file, ec);
        fs::remove(invoice, ec);
        throw;
    }
    std::cout << "Demo-Datenbank angelegt: " << dao::WithoutPasswords(db) << "\n"
              << "  Benutzer 1 (TempDoc): Auftrag 1, Mehrwertsteuersatz 19 %, kein Abschlag, Zahlungsziel an\n";
    if (invoices == 1) {
        std::cout << "  Rechnung 1 \"" << InvoiceNumber(1) << "\" zu Auftrag 1, Rechnungsdatum heute (Termine, Art 8)\n";
    } else {
        std::cout << "  Rechnungen 1 bis " << invoices << " (\"" << InvoiceNumber(1) << "\" bis \"" << InvoiceNumber(invoices)
                  << "\") zu Auftrag 1, Rechnungsdatum heute (Termine, Art 8)\n";
    }
    std::cout << "  Zahlungsziel-Vorlage (Version): Zahlbar bis <14> ohne Abzug.\n"
              << "  E-Rechnung: Büro \"Vermessungsbüro Beispiel\", Auftraggeber von Auftrag 1 \"Stadt Musterstadt, "
                 "Bauverwaltung\" (Leitweg-ID 04011000-12345-03)\n"
              << "Rechnungsvorlage angelegt: " << invoice.string() << "\n"
              << "  Marken: kadoStart, kadoGesamt, kadoNetto, kadoMwSt, kadoBrutto, kadoAuslagen\n";
    return 0;
}

}  // namespace kado::host
