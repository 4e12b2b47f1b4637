// kado-host: the stand-in host office program. "init" lays out a demo
// database, "session" creates GO the way the host does and calls Show.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "platform/com/error.h"
#include "platform/com/variant.h"
#include "platform/dao/dao.h"
#include "platform/dao/host_schema.h"
#include "plugin/component/honora.h"
#include "plugin/component/session_context.h"

namespace {

namespace fs = std::filesystem;
using kado::com::Variant;

int Init(const std::string& dir) {
    fs::create_directories(dir);
    const auto file = (fs::path(dir) / "kado.sqlite").string();
    if (fs::exists(file)) {
        std::cerr << "kado-host: " << file << " already exists\n";
        return 2;
    }
    auto ws = std::make_shared<kado::dao::Workspace>();
    auto db = ws->CreateDatabase(file);
    kado::dao::ApplyHostSchema(*db);
    db->Execute(
        "INSERT INTO TempDoc (ID_Benutzer, ID_Auftragsnummer, Mehrwertsteuersatz, AbschlagProzent, "
        "Zahlungsziel) VALUES (1, 1, 190, 100, 1)");
    std::cout << file << "\n";
    return 0;
}

int Session(const std::string& file, int user, int invoice, int category) {
    if (!fs::is_regular_file(file)) {
        std::cerr << "kado-host: database file not found: " << file << "\n";
        return 2;
    }
    auto go = honora::CreateObject(honora::kProgIdGO);
    auto ws = std::make_shared<kado::dao::Workspace>();
    auto db = ws->OpenDatabase(file);
    go->LetID_Benutzer(Variant(static_cast<int32_t>(user)));
    go->LetDatenbankPfad(file);
    go->LetKadoWorkspace(Variant(kado::com::ObjectPtr(ws)));
    go->LetNeueAbfrage(Variant(kado::com::ObjectPtr(db)));
    auto rechnung = db->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(invoice));
    go->Show(static_cast<int16_t>(category), rechnung, 0);

    const auto& c = honora::Session();
    std::cout << "SQL=" << (c.SQL ? "True" : "False") << "\n"
              << "RecordsetOptionen=" << c.RecordsetOptionen << "\n"
              << "ID_Auftragsnummer=" << c.ID_Auftragsnummer << "\n"
              << "MeßtruppZusammenfassen=" << (c.MeßtruppZusammenfassen ? "True" : "False") << "\n"
              << "ID_Lieferschein=" << c.ID_Lieferschein << "\n"
              << "AbschlagAbsolut=" << Variant(c.AbschlagAbsolut).ToString() << "\n"
              << "AbschlagProzent=" << c.AbschlagProzent << "\n"
              << "Zahlungsziel=" << (c.Zahlungsziel ? "True" : "False") << "\n"
              << "Mehrwertsteuersatz=" << c.Mehrwertsteuersatz << "\n"
              << "Preisgruppe1=" << c.Preisgruppe1 << "\n"
              << "Preisgruppe2=" << c.Preisgruppe2 << "\n"
              << "Preisgruppe3=" << c.Preisgruppe3 << "\n"
              << "Preisgruppe4=" << c.Preisgruppe4 << "\n"
              << "Mehrwertsteuer=" << c.Mehrwertsteuer << "\n"
              << "MwStErmäßigt=" << c.MwStErmäßigt << "\n"
              << "Rabatt=" << c.Rabatt << "\n";
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
        std::cerr << "kado-host: error " << e.Number() << ": " << e.Description() << "\n";
        return 1;
    }
}
