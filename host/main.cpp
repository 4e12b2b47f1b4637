// kado-host: the stand-in host office program. "init" lays out a demo
// database, "session" creates GO the way the host does and calls Show.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/com/error.h"
#include "platform/com/variant.h"
#include "platform/dao/dao.h"
#include "platform/dao/host_schema.h"
#include "platform/settings/settings.h"
#include "platform/word/word.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/component/honora.h"
#include "plugin/component/session_context.h"

namespace {

namespace fs = std::filesystem;
using kado::com::Variant;

// One job (order 1) with its invoice 1, dated today, and the office's
// payment-term template; user 1's invoice settings: 19 % VAT, no discount.
constexpr std::string_view kDemoRows[] = {
    "INSERT INTO TempDoc (ID_Benutzer, ID_Auftragsnummer, MeßtruppZusammenfassen, ID_Lieferschein, AbschlagAbsolut, "
    "AbschlagProzent, Zahlungsziel, Mehrwertsteuersatz, Preisgruppe1, Preisgruppe2, Preisgruppe3, Preisgruppe4, "
    "Mehrwertsteuer, MwStErmäßigt, Rabatt) VALUES (1, 1, 0, NULL, 0, 100, 1, 190, 1, 0, 0, 0, 190, 70, 0)",
    "INSERT INTO Rechnung (ID_Rechnungsnummer, Rechnungsnummer, ID_Auftragsnummer, Rechnungsart, NettoRechnung, Brutto, "
    "MehrwertsteuerFreierbetrag, Mehrwertsteuersatz) VALUES (1, 'RE-2026-0001', 1, 1, 0, 0, 0, 190)",
    "INSERT INTO Termine (ID_Termin, ID_Terminart, ID_Rechnungsnummer, Datum) VALUES (1, 8, 1, date('now', 'localtime'))",
    "INSERT INTO Version (Zahlungsziel, AbstandZahlungsziel, BundZahlungsziel, FontZahlungsZiel) "
    "VALUES ('Zahlbar bis <14> ohne Abzug.', 25.5, 0, 10)",
};

int Init(const std::string& dir) {
    fs::create_directories(dir);
    const auto file = (fs::path(dir) / "kado.sqlite").string();
    if (fs::exists(file)) {
        std::cerr << "kado-host: " << file << " gibt es schon\n";
        return 2;
    }
    auto ws = std::make_shared<kado::dao::Workspace>();
    try {
        auto db = ws->CreateDatabase(file);
        kado::dao::ApplyHostSchema(*db);
        db->Execute("BEGIN");
        for (auto row : kDemoRows) db->Execute(row);
        db->Execute("COMMIT");
    } catch (...) {
        // No half-filled demo database left behind for the next session.
        std::error_code ec;
        fs::remove(file, ec);
        throw;
    }
    std::cout << "Demo-Datenbank angelegt: " << file << "\n"
              << "  Benutzer 1 (TempDoc): Auftrag 1, Mehrwertsteuersatz 19 %, kein Abschlag, Zahlungsziel an\n"
              << "  Rechnung 1 \"RE-2026-0001\" zu Auftrag 1, Rechnungsdatum heute (Termine, Art 8)\n"
              << "  Zahlungsziel-Vorlage (Version): Zahlbar bis <14> ohne Abzug.\n";
    return 0;
}

// Where the plug-in's Verw.log lies: the host's program directory when set, else temp.
fs::path LogFile() {
    std::string dir;
    try {
        dir = kado::settings::GetSetting("KadoVerwaltung", "Pfade", "Programm");
    } catch (const kado::com::Error&) {
    }
    std::error_code ec;
    if (!dir.empty() && fs::is_directory(dir, ec)) return fs::path(dir) / "Verw.log";
    return fs::temp_directory_path() / "Verw.log";
}

int LogEntries(const fs::path& log) {
    std::ifstream in(log);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Ort  : ", 0) == 0) ++n;
    return n;
}

const char* Dialog(int category) {
    switch (category) {
        case 0: return "frmKat5, Grenzfeststellung nach Nr. 30.6";
        case 1: return "frmKat4, Gebäudeaufnahme nach Nr. 30.4";
        case 2: return "frmKat3, lang gestreckte Anlagen nach Nr. 30.3";
        case 3: return "frmKat2, Baulandumlegung nach Nr. 30.2";
        case 4: return "frmKat1, Zerlegung nach Nr. 30.1";
        default: return nullptr;
    }
}

// A field of the first row as text, or "-" when it cannot be read.
std::string FirstValue(kado::dao::Database& db, const std::string& query, std::string_view field) {
    try {
        auto rs = db.OpenRecordset(query);
        if (rs->EOF_()) return "-";
        return rs->Field(field).ToString();
    } catch (const kado::com::Error&) {
        return "-";
    }
}

int Session(const std::string& file, int user, int invoice, int category) {
    if (!fs::is_regular_file(file)) {
        std::cerr << "kado-host: Datenbankdatei nicht gefunden: " << file << "\n";
        return 2;
    }
    auto go = honora::CreateObject(honora::kProgIdGO);
    if (!go) {
        std::cerr << "kado-host: honora.GO lässt sich nicht erzeugen\n";
        return 1;
    }
    auto ws = std::make_shared<kado::dao::Workspace>();
    auto db = ws->OpenDatabase(file);
    go->LetDoc(Variant(kado::com::ObjectPtr(kado::word::Document::New())));
    go->LetID_Benutzer(Variant(static_cast<int32_t>(user)));
    go->LetDatenbankPfad(file);
    go->LetKadoWorkspace(Variant(kado::com::ObjectPtr(ws)));
    go->LetNeueAbfrage(Variant(kado::com::ObjectPtr(db)));

    const std::string where = " WHERE ID_Rechnungsnummer = " + std::to_string(invoice);
    std::shared_ptr<kado::dao::Recordset> rechnung = db->OpenRecordset("SELECT * FROM Rechnung" + where);
    if (rechnung->EOF_()) {
        std::cerr << "kado-host: Rechnung " << invoice << " nicht gefunden; Show bekommt keine Rechnung\n";
        rechnung.reset();
    } else {
        std::cout << "Rechnung " << invoice << " \"" << rechnung->Field("Rechnungsnummer").ToString() << "\", Auftrag "
                  << rechnung->Field("ID_Auftragsnummer").ToString() << ", Rechnungsart "
                  << rechnung->Field("Rechnungsart").ToString() << ", Rechnungsdatum "
                  << FirstValue(*db, "SELECT * FROM Termine" + where + " AND ID_Terminart = 8", "Datum") << "\n";
    }
    std::cout << "Zahlungsziel-Vorlage: " << FirstValue(*db, "Version", "Zahlungsziel") << "\n";

    const fs::path log = LogFile();
    const int logBefore = LogEntries(log);
    const bool dialog = honora::HasDialog(static_cast<int16_t>(category));
    go->Show(static_cast<int16_t>(category), rechnung, 0);

    std::cout << "Show(Index " << category << ", Benutzer " << user << "): ";
    if (const char* name = Dialog(category)) {
        std::cout << name << (dialog ? ": Dialog geöffnet\n" : ": Dialog noch nicht eingebaut, nichts geöffnet\n");
    } else {
        std::cout << "kein Dialog für diesen Index, nichts geöffnet\n";
    }

    const auto& c = honora::Session();
    const auto yes = [](bool b) { return b ? "Ja" : "Nein"; };
    const auto row = [](std::string_view name, const auto& value) {
        // Pad by characters, not bytes: the names carry umlauts.
        size_t chars = 0;
        for (unsigned char ch : name) chars += (ch & 0xC0) != 0x80;
        std::cout << "  " << name << std::string(chars < 24 ? 24 - chars : 1, ' ') << value << "\n";
    };
    std::cout << "Sitzungswerte nach Show:\n";
    row("SQL", yes(c.SQL));
    row("RecordsetOptionen", c.RecordsetOptionen);
    row("ID_Auftragsnummer", c.ID_Auftragsnummer);
    row("MeßtruppZusammenfassen", yes(c.MeßtruppZusammenfassen));
    row("ID_Lieferschein", c.ID_Lieferschein);
    row("AbschlagAbsolut", Variant(c.AbschlagAbsolut).ToString() + " €");
    row("AbschlagProzent", std::to_string(c.AbschlagProzent) + " %");
    row("Zahlungsziel", yes(c.Zahlungsziel));
    row("Mehrwertsteuersatz", std::to_string(c.Mehrwertsteuersatz) + " %");
    row("Preisgruppe1..4", std::to_string(c.Preisgruppe1) + " " + std::to_string(c.Preisgruppe2) + " " +
                               std::to_string(c.Preisgruppe3) + " " + std::to_string(c.Preisgruppe4));
    row("Mehrwertsteuer", std::to_string(c.Mehrwertsteuer) + " %");
    row("MwStErmäßigt", std::to_string(c.MwStErmäßigt) + " %");
    row("Rabatt", std::to_string(c.Rabatt) + " %");
    row("Rechnung", c.Rechnung ? "übergeben" : "keine");

    const int logged = LogEntries(log) - logBefore;
    if (logged > 0) {
        std::cout << "Verw.log: " << logged << " neue Einträge in " << log.string() << "\n";
    } else {
        std::cout << "Verw.log: keine neuen Einträge (" << log.string() << ")\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Stand-in host for the honora component"};
    app.require_subcommand(1);

    std::string dir;
    auto* init = app.add_subcommand("init", "Create DIR/kado.sqlite with demo rows");
    init->add_option("DIR", dir, "target directory")->required();

    std::string db;
    int user = 1, invoice = 1, category = 0;
    auto* session = app.add_subcommand("session", "Create GO and call Show");
    session->add_option("--db", db, "host database file")->required();
    session->add_option("--user", user, "ID_Benutzer");
    session->add_option("--invoice", invoice, "invoice record");
    session->add_option("--category", category, "category index 0..4")->check(CLI::Range(-32768, 32767));

    CLI11_PARSE(app, argc, argv);
    try {
        if (*init) return Init(dir);
        return Session(db, user, invoice, category);
    } catch (const kado::com::Error& e) {
        std::cerr << "kado-host: Fehler " << e.Number() << ": " << e.Description() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "kado-host: " << e.what() << "\n";
        return 1;
    }
}
