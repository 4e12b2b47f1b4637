// kado-host: the stand-in host office program. "init" lays out demo data,
// "session" creates GO and calls Show, "run" plays a user's dialog session,
// "gui" (the default when a display is there) opens the host's window.
#include <CLI/CLI.hpp>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "host/batch_run.h"
#include "host/cli_german.h"
#include "host/demo.h"
#include "host/heap.h"
#include "host/erechnung/export.h"
#include "host/session.h"
#include "host/session_command.h"
#include "platform/com/error.h"
#include "platform/dao/dao.h"
#include "plugin/component/honora.h"
#ifdef KADO_HOST_GUI
#include "host/window_loader.h"
#include "platform/qt/display.h"
#endif

namespace {

// The categories for --help, as the component publishes them.
std::string CategoryList() {
    std::string list = "Kategorien (--category):\n";
    for (size_t i = 0; i < honora::kCategories.size(); ++i)
        list += "  " + std::to_string(i) + "  " + honora::kCategories[i] + "\n";
    return list;
}

constexpr const char* kDbHelp = "Datenbankdatei des Hosts oder eine PostgreSQL-URI (postgresql://...)";

// The categories Show opens, as the published header lists them.
const std::string kLastCategory = std::to_string(honora::kCategories.size() - 1);
const CLI::Validator kCategory(
    [](std::string& text) -> std::string {
        for (size_t i = 0; i < honora::kCategories.size(); ++i)
            if (text == std::to_string(i)) return {};
        return "Kategorie \"" + text + "\" gibt es nicht, gültig sind 0 bis " + kLastCategory;
    },
    "0.." + kLastCategory, "Kategorie");

}  // namespace

int main(int argc, char** argv) {
    kado::host::PrepareHeap();
    CLI::App app{"kado-host: Stand-in-Host für die Komponente honora.GO"};
    // Without a command: the window when a display is there, else the one-line refusal.
    app.require_subcommand(0, 1);
    app.footer("kado-host help [BEFEHL] zeigt die Hilfe eines Befehls.");

    std::string dir, initDb;
    int invoices = 1;
    auto* init = app.add_subcommand("init", "DIR/kado.sqlite und DIR/Rechnung.docx mit Demodaten anlegen");
    init->add_option("DIR", dir, "Zielordner")->required();
    init->add_option("--db", initDb,
                     "statt DIR/kado.sqlite die Host-Tabellen in dieser PostgreSQL-Datenbank anlegen "
                     "(postgresql://BENUTZER@HOST:PORT/DATENBANK; sie muss leer sein)")
        ->type_name("URI")
        ->check([](const std::string& uri) -> std::string {
            return kado::dao::IsServerUri(uri) ? "" : "keine postgresql://-URI: \"" + uri + "\"";
        });
    init->add_option("--invoices", invoices, "Rechnungen 1 bis N zu Auftrag 1 anlegen")
        ->check(CLI::Range(1, 100000))
        ->type_name("N");

    kado::host::SessionOptions sessionOptions;
    auto* session = app.add_subcommand("session", "GO erzeugen und Show aufrufen");
    session->add_option("--db", sessionOptions.db, kDbHelp)->required();
    session->add_option("--user", sessionOptions.user, "ID_Benutzer");
    session->add_option("--invoice", sessionOptions.invoice, "ID_Rechnungsnummer des Rechnung-Datensatzes");
    session->add_option("--category", sessionOptions.category, "Kategorie 0 bis " + kLastCategory)
        ->check(kCategory)
        ->type_name("INDEX");
    session->footer(CategoryList());

    kado::host::RunOptions run;
    std::string runDb, runDoc, runOut;
    int runInvoice = 0;
    std::vector<std::string> actions;
    auto* runCmd = app.add_subcommand("run", "Den Dialog einer Kategorie auf einem Dokument öffnen und bedienen");
    runCmd->add_option("--db", runDb, kDbHelp)->required();
    runCmd->add_option("--doc", runDoc, "Rechnungsdokument (DOCX)")->required();
    runCmd->add_option("--out", runOut, "Ziel beim Speichern (ohne: das Dokument selbst)");
    runCmd->add_option("--user", run.user, "ID_Benutzer");
    auto* invoiceOpt = runCmd->add_option("--invoice", runInvoice, "ID_Rechnungsnummer des Rechnung-Datensatzes");
    runCmd->add_option("--category", run.category, "Kategorie 0 bis " + kLastCategory)
        ->required()
        ->check(kCategory)
        ->type_name("INDEX");
    runCmd->add_option("--do", actions, "Aktion, in dieser Reihenfolge (siehe unten)")->type_name("AKTION");
    runCmd->add_flag("--strict", run.strict, "jede Warnung ist ein Fehler (Exit 2, nichts geschrieben)");
    runCmd->footer(CategoryList() +
                   "Aktionen (--do):\n"
                   "  set NAME=TEXT      Feld betreten, TEXT Taste für Taste tippen, Feld verlassen\n"
                   "  text NAME=TEXT     Text des Feldes direkt zuweisen\n"
                   "  click NAME         Kontrollkästchen, Option oder Schaltfläche klicken, z. B. optNr(3)\n"
                   "  select NAME=INDEX  Eintrag eines Kombinationsfelds wählen\n"
                   "  key NAME=ZEICHEN   eine Taste in das Feld tippen\n"
                   "  choose OPTION      die nächste Tabellenwahl beantworten (optNeu, optTabelle(0) ... "
                   "optTabelle(4), optAktTabelle)\n"
                   "  cursor K           vor Show den Cursor in die K-te Tabelle setzen\n"
                   "  ok, cancel         bestätigen oder abbrechen (letzte Aktion)\n");

    std::string guiDb, guiDoc;
    int guiUser = 1, guiInvoice = 0;
    auto* gui = app.add_subcommand("gui", "Das Fenster des Hosts: Rechnung, Gebührendialoge, Vorschau");
    auto* guiDbOpt = gui->add_option("--db", guiDb, "Datenbankdatei des Hosts");
    gui->add_option("--doc", guiDoc, "Rechnungsdokument (DOCX); ohne: ein neues Dokument")->needs(guiDbOpt);
    gui->add_option("--user", guiUser, "ID_Benutzer");
    auto* guiInvoiceOpt =
        gui->add_option("--invoice", guiInvoice, "ID_Rechnungsnummer des Rechnung-Datensatzes")->needs(guiDbOpt);
    gui->footer("Ohne --db öffnet das Fenster leer; Datei > Datenbank wählen und Rechnung öffnen.\n"
                "Braucht eine Anzeige (DISPLAY oder WAYLAND_DISPLAY).\n");

    // E-invoice of a finished invoice (self-contained: options, then the run).
    kado::host::einvoicing::ExportRequest einvoiceCommand;
    auto* einvoiceCmd = kado::host::einvoicing::AddExportCommand(app, einvoiceCommand);

    std::string topic;
    auto* help = app.add_subcommand("help", "Hilfe zu kado-host oder einem Befehl");
    help->add_option("BEFEHL", topic, "init, session, run oder gui");
    kado::host::UseGerman(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help on standard output, exit 0; a fault is one German line and exit 2.
        return app.exit(e) == 0 ? 0 : 2;
    }
    try {
        if (*help) {
            if (topic.empty()) {
                // app.help() would hand over to the selected "help" command and show its own help.
                std::cout << app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal);
                return 0;
            }
            for (auto* sub : {init, session, runCmd, gui, einvoiceCmd})
                if (sub->get_name() == topic) {
                    std::cout << sub->help();
                    return 0;
                }
            std::cerr << "kado-host: Fehler in den Argumenten: Befehl \"" << topic << "\" gibt es nicht\n";
            return 2;
        }
        if (*einvoiceCmd) return kado::host::einvoicing::RunExport(einvoiceCommand, std::cout, std::cerr);
        if (*init) return kado::host::Init(dir, initDb, invoices);
        if (*session) return kado::host::RunSession(sessionOptions, std::cout, std::cerr);
        const bool defaultWindow = app.get_subcommands().empty();
        if (*gui || defaultWindow) {
#ifdef KADO_HOST_GUI
            if (!kado::qtview::DisplayAvailable()) {
                std::cerr << (defaultWindow ? "kado-host: Fehler in den Argumenten: kein Befehl angegeben "
                                              "(ohne Anzeige; mit einer öffnet kado-host sein Fenster)\n"
                                            : "kado-host: gui braucht eine Anzeige (DISPLAY oder WAYLAND_DISPLAY, "
                                              "nicht QT_QPA_PLATFORM=offscreen)\n");
                return 2;
            }
            if (auto missing = kado::host::HostSession::Missing(guiDb, guiDoc); missing && !guiDb.empty())
                return kado::host::Fail(*missing, std::cerr);
            kado::host::gui::GuiStart start{guiDb, guiDoc, guiUser, std::nullopt};
            if (*guiInvoiceOpt) start.invoice = guiInvoice;
            return kado::host::OpenWindow(start, argc, argv, std::cerr);
#else
            std::cerr << "kado-host: Fehler in den Argumenten: kein Befehl angegeben (ohne Fenster gebaut)\n";
            return 2;
#endif
        }
        run.db = runDb;
        run.doc = runDoc;
        run.out = runOut;
        if (*invoiceOpt) run.invoice = runInvoice;
        for (const auto& text : actions) {
            std::string error;
            auto action = kado::host::ParseAction(text, error);
            if (!action) {
                std::cerr << "kado-host: Fehler in den Argumenten: --do \"" << text << "\": " << error << "\n";
                return 2;
            }
            run.actions.push_back(*action);
        }
        return kado::host::Run(run, std::cout, std::cerr);
    } catch (const kado::com::Error& e) {
        std::cerr << "kado-host: " << kado::dao::WithoutPasswords(kado::host::Quote(e)) << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "kado-host: Fehler: \"" << kado::dao::WithoutPasswords(e.what()) << "\"\n";
        return 1;
    }
}
