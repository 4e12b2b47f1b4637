#include <CLI/CLI.hpp>

#include "host/erechnung/export.h"

namespace kado::host::einvoicing {

CLI::App* AddExportCommand(CLI::App& app, ExportRequest& a) {
    auto* cmd = app.add_subcommand("erechnung", "Eine fertige Rechnung als E-Rechnung (XRechnung 3.0, UBL) ausgeben");
    cmd->add_option("--db", a.db, "Datenbankdatei des Hosts oder eine PostgreSQL-URI (postgresql://...)")->required();
    cmd->add_option("--doc", a.doc, "fertiges Rechnungsdokument (DOCX)")->required();
    cmd->add_option("--invoice", a.invoice, "ID_Rechnungsnummer des Rechnung-Datensatzes")->required();
    cmd->add_option("--out", a.out, "Ziel, die XML-Datei der E-Rechnung")->required();
    cmd->add_option("--user", a.user, "ID_Benutzer, dessen Rechnungseinstellungen (TempDoc) galten");
    cmd->footer("Stammdaten: Tabelle Büro (erste Zeile) und Auftraggeber über Auftrag.ID_Auftraggeber.\n"
                "Fehlen Stammdaten oder stimmen Rechnung und Dokument nicht überein: Exit 2, nichts geschrieben.\n");
    return cmd;
}

}  // namespace kado::host::einvoicing
