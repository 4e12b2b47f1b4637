#include "host/session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "host/invoice_commit.h"
#include "host/invoice_figures.h"
#include "platform/com/atomic_file.h"
#include "platform/com/component_library.h"
#include "platform/com/component_registry.h"
#include "platform/com/error_log.h"
#include "platform/com/numtext.h"
#include "platform/settings/settings.h"
#include "platform/word/content_print.h"
#include "platform/word/error.h"
#include "platform/word/package.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;
using com::Variant;

// Writable for this process, and meant to be: root passes access() on any file,
// so a file or folder without any write bit counts as read-only as well.
bool Writable(const fs::path& p) {
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::access(p.c_str(), W_OK) == 0;
}

fs::path FolderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

// The columns the component reads or writes, by table.
const std::pair<const char*, std::vector<const char*>> kHostColumns[] = {
    {"TempDoc",
     {"ID_Benutzer", "ID_Auftragsnummer", "MeßtruppZusammenfassen", "ID_Lieferschein", "AbschlagAbsolut",
      "AbschlagProzent", "Zahlungsziel", "Mehrwertsteuersatz", "Preisgruppe1", "Preisgruppe2", "Preisgruppe3",
      "Preisgruppe4", "Mehrwertsteuer", "MwStErmäßigt", "Rabatt"}},
    {"Rechnung",
     {"ID_Rechnungsnummer", "Rechnungsnummer", "ID_Auftragsnummer", "Rechnungsart", "NettoRechnung", "Brutto",
      "MehrwertsteuerFreierbetrag", "Mehrwertsteuersatz"}},
    {"Termine", {"ID_Rechnungsnummer", "ID_Terminart", "Datum"}},
    {"Version", {"Zahlungsziel"}},
};

}  // namespace

std::string DocumentFingerprint(const word::Document& doc) {
    // A digest, not the text: the print is taken at every opening and save of a long invoice.
    const word::TextDigest text = word::TextDigestOf(doc);
    return std::to_string(text.a) + "." + std::to_string(text.b) + "/" + std::to_string(text.tables) + "/" +
           std::to_string(text.shapes);
}

std::string Quote(const com::Error& e) {
    return "Fehler " + std::to_string(e.Number()) + ": \"" + e.Description() + "\"";
}

std::optional<long long> DocumentGrossCents(const word::Document& doc) {
    const auto tables = doc.GetTables();
    for (int t = tables.Count(); t >= 1; --t) {
        const auto table = tables.Item(t);
        try {
            if (table.GetCell(1, 2).GetRange().Text().rfind("Summe", 0) != 0) continue;
            // The last "Rechnungsbetrag" row: after a final invoice's deductions, what is due.
            for (int r = table.GetRows().Count(); r >= 1; --r) {
                for (int c = 1; c <= 2; ++c) {
                    if (table.GetCell(r, c).GetRange().Text().rfind("Rechnungsbetrag", 0) != 0) continue;
                    std::string amount = table.GetCell(r, 4).GetRange().Text();
                    // The cell's text: the amount, " €", the end-of-cell mark.
                    while (!amount.empty() && (amount.back() == '\a' || amount.back() == '\r')) amount.pop_back();
                    if (const size_t euro = amount.rfind(" €"); euro != std::string::npos) amount.erase(euro);
                    const auto value = com::ParseGermanNumber(amount);
                    if (!value) return std::nullopt;
                    return std::llround(*value * 100);
                }
            }
        } catch (const com::Error&) {
            // A table without a second or fourth column is no totals table.
        }
    }
    return std::nullopt;
}

std::optional<Problem> HostSession::Unwritable(const fs::path& db, const fs::path& given) {
    std::error_code ec;
    const fs::path target = com::ResolveLinks(given);  // a link is written through
    const fs::path folder = FolderOf(target);
    if (!fs::is_directory(folder, ec)) return Problem{"Zielordner nicht gefunden: " + folder.string(), true, {}};
    if (!Writable(folder)) return Problem{"Zielordner nicht beschreibbar: " + folder.string(), true, {}};
    if (fs::exists(target, ec) && (!fs::is_regular_file(target, ec) || !Writable(target)))
        return Problem{"Ziel nicht beschreibbar: " + target.string(), true, {}};
    // SQLite writes its journal beside the file; a server database's rights are the server's to check.
    if (!dao::IsServerUri(db.string()) && (!Writable(db) || !Writable(FolderOf(db))))
        return Problem{"Datenbank nicht beschreibbar: " + db.string() + " (die Rechnung ließe sich nicht eintragen)",
                       true, {}};
    return std::nullopt;
}

std::optional<Problem> HostSession::NotADocument(const fs::path& db, const fs::path& target) {
    std::error_code ec;
    const fs::path resolved = com::ResolveLinks(target);
    if (!fs::exists(resolved, ec)) return std::nullopt;
    const auto same = [&](const fs::path& other) {
        std::error_code e;
        return !other.empty() && fs::equivalent(resolved, other, e);
    };
    std::string what;
    if (!dao::IsServerUri(db.string()) && same(db)) {
        what = "die Datenbank";
    } else if (same(com::DefaultRegistryPath())) {
        what = "das Komponentenregister";
    } else if (same(settings::StorePath("KadoVerwaltung"))) {
        what = "die Einstellungen";
    } else {
        try {
            // A package whose relations name a main document is one a save may
            // replace; loading it whole would cost as much as the run's own load.
            const auto p = word::pkg::Package::FromBytes(word::pkg::ReadFileBounded(resolved));
            if (!p.Has("[Content_Types].xml") || !p.Has("_rels/.rels") ||
                p.Read("_rels/.rels").find("relationships/officeDocument\"") == std::string::npos)
                com::Raise(word::err::BadPackage, "Das Dokument ist beschädigt: kein Hauptdokument");
            return std::nullopt;
        } catch (const com::Error& e) {
            what = "kein Rechnungsdokument (" + Quote(e) + ")";
        }
    }
    return Problem{"Ziel ist " + what + ": " + target.string() + "; nicht überschrieben", true, {}};
}

int Fail(const Problem& problem, std::ostream& err) {
    // Messages quote URIs and server texts: no password leaves the process.
    err << "kado-host: " << dao::WithoutPasswords(problem.message) << "\n";
    return problem.input ? 2 : 1;
}

std::optional<Problem> HostSession::Missing(const fs::path& db, const fs::path& doc) {
    std::error_code ec;
    if (!dao::IsServerUri(db.string()) && !fs::is_regular_file(db, ec))
        return Problem{"Datenbankdatei nicht gefunden: " + db.string(), true, {}};
    if (!doc.empty() && !fs::is_regular_file(doc, ec)) return Problem{"Dokument nicht gefunden: " + doc.string(), true, {}};
    return std::nullopt;
}

std::optional<Problem> HostSession::Open(const fs::path& db, const fs::path& doc, int user) {
    if (auto missing = Missing(db, doc)) return missing;
    try {
        doc_ = doc.empty() ? word::Document::New() : word::Document::Open(doc);
    } catch (const com::Error& e) {
        // The engine's limits guard against zip bombs: a document beyond them is too large, not broken.
        const bool large = e.Description().find("zu groß") != std::string::npos;
        return Problem{std::string(large ? "Dokument zu groß zum Bearbeiten: " : "Dokument lässt sich nicht lesen: ") +
                           doc.string() + ": " + Quote(e),
                       true, e};
    }
    printEdits_ = ~0ull;   // a new document: the last fingerprint was another's
    saved_ = Fingerprint();
    savedEdits_ = doc_->Edits();
    ws_ = std::make_shared<dao::Workspace>();
    try {
        db_ = ws_->OpenDatabase(db.string());
    } catch (const com::Error& e) {
        return Problem{"Datenbank lässt sich nicht öffnen: " + db.string() + ": " + Quote(e), true, e};
    }
    if (auto problem = CheckHostDatabase(*db_, db, user)) return problem;
    // The component opens its dialogs on the desktop the process has.
    if (desktop_) forms::InstallDesktop(desktop_);
    std::optional<Problem> problem;
    go_ = CreateComponent(problem);
    if (!go_) return problem;
    go_->LetDoc(Variant(com::ObjectPtr(doc_)));
    go_->LetID_Benutzer(Variant(static_cast<int32_t>(user)));
    go_->LetDatenbankPfad(db.string());
    go_->LetKadoWorkspace(Variant(com::ObjectPtr(ws_)));
    go_->LetNeueAbfrage(Variant(com::ObjectPtr(db_)));
    return std::nullopt;
}

std::optional<Problem> HostSession::CheckHostDatabase(dao::Database& database, const fs::path& file, int user) {
    std::string missing;
    for (const auto& [table, columns] : kHostColumns) {
        try {
            const auto none = database.OpenRecordset(std::string("SELECT * FROM ") + table + " WHERE 0 = 1");
            for (const char* column : columns) {
                // On no row a known field fails with 3021, an unknown one with 3265 (names as the engine folds them).
                try {
                    none->Field(column);
                } catch (const com::Error& e) {
                    if (e.Number() == dao::err::ItemNotFound.number) {
                        missing += (missing.empty() ? "" : ", ") + std::string(table) + "." + column;
                    } else if (e.Number() != dao::err::NoCurrentRecord.number) {
                        throw;
                    }
                }
            }
        } catch (const com::Error& e) {
            if (e.Number() != dao::err::TableNotFound.number && e.Number() != dao::err::SyntaxErrorInQuery.number) throw;
            missing += (missing.empty() ? "" : ", ") + std::string(table);
        }
    }
    if (!missing.empty())
        return Problem{"Datenbank ist keine vollständige Host-Datenbank: " + file.string() + " (es fehlt: " + missing + ")",
                       true, {}};
    auto settings = database.OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = " + std::to_string(user));
    const std::string where = "TempDoc von Benutzer " + std::to_string(user) + " in " + file.string();
    if (settings->EOF_())
        return Problem{"Benutzer " + std::to_string(user) + " hat keine Rechnungseinstellungen (TempDoc) in " +
                           file.string(),
                       true, {}};
    // Read as they stand, a null in these gives a failed session start, and a
    // rate that is no percentage an invoice at the wrong rate.
    for (const char* field : {"ID_Auftragsnummer", "MeßtruppZusammenfassen"})
        if (settings->Field(field).IsNull()) return Problem{where + ": " + field + " ist leer (NULL)", true, {}};
    for (const char* field : {"Mehrwertsteuersatz", "Mehrwertsteuer", "MwStErmäßigt"}) {
        const Variant v = settings->Field(field);
        if (v.IsNull()) return Problem{where + ": Steuersatz " + field + " ist leer (NULL)", true, {}};
        const bool number = v.Type() == com::VarType::Integer || v.Type() == com::VarType::Long ||
                            v.Type() == com::VarType::Double || v.Type() == com::VarType::Single;
        if (!number) return Problem{where + ": Steuersatz " + field + " ist keine Zahl: \"" + v.ToString() + "\"", true, {}};
        const double tenths = v.ToDouble();
        if (!(tenths >= 0 && tenths <= 1000))
            return Problem{where + ": Steuersatz " + field + " = " + v.ToString() +
                               " (Zehntelprozent) liegt nicht zwischen 0 und 100 %",
                           true, {}};
    }
    return std::nullopt;
}

std::shared_ptr<honora::IGO> HostSession::CreateComponent(std::optional<Problem>& problem) {
    const std::string install =
        "; die Erweiterung mit ModulSetup aus ihrem Ordner (build/extension/) installieren "
        "oder mit kado-regsvr PROGRAMMORDNER/libhonora.so registrieren";
    try {
        const com::ComponentRegistry registry;
        if (!registry.Find(honora::kProgIdGO)) {
            problem = Problem{std::string(honora::kProgIdGO) + " ist nicht registriert (Komponentenregister " +
                                  registry.File().string() + ")" + install,
                              true, {}};
            return nullptr;
        }
        if (auto go = honora::GOFrom(com::CreateObject(honora::kProgIdGO, registry))) return go;
        problem = Problem{std::string(honora::kProgIdGO) + " lässt sich nicht erzeugen" + install, true, {}};
    } catch (const com::Error& e) {
        problem = Problem{std::string(honora::kProgIdGO) + " lässt sich nicht erzeugen: " + Quote(e) + install, true, e};
    }
    return nullptr;
}

std::shared_ptr<dao::Recordset> HostSession::Invoice(int id) const {
    auto rs = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(id));
    return rs->EOF_() ? nullptr : rs;
}

void HostSession::Show(int16_t category, std::shared_ptr<dao::Recordset> invoice, forms::WindowHandle documentArea) {
    if (const auto* report = dynamic_cast<const honora::ISessionReport*>(go_.get())) log_ = report->LogFile();
    logMark_ = com::EntriesWritten();
    confirmMark_.reset();
    // Text not edited since it was opened or saved has the fingerprint taken then.
    before_ = doc_->Edits() == savedEdits_ ? saved_ : Fingerprint();
    beforeEdits_ = doc_->Edits();
    // The record the dialog writes on OK waits for the document (Confirm).
    db_->HoldWrites();
    go_->Show(category, invoice, documentArea);
}

std::string HostSession::Figures(int invoice) const {
    auto rs = Invoice(invoice);
    return rs ? CentFigures(*rs, WithRate::Yes) : "-";
}

void HostSession::Discard() {
    if (db_) db_->RollbackHeld();
    confirmMark_.reset();
}

void HostSession::MarkConfirmation() { confirmMark_ = com::EntriesWritten(); }

std::vector<std::string> HostSession::RecoverSaves(const fs::path& target) {
    return Recover(target, dao::WithoutPasswords(db_->Name()), [this](int invoice) { return Figures(invoice); });
}

std::optional<std::string> WhyNotEntered(dao::Database& db, const word::Document& doc, std::optional<int> invoice,
                                         int logged, std::optional<com::Error>* cause) {
    const std::string name = invoice ? "Rechnung " + std::to_string(*invoice) : std::string("die Rechnung");
    const auto held = db.Held();
    if (held.failure) {
        const auto& e = *held.failure;
        if (cause) *cause = e;
        if (e.Number() == dao::err::WriteConflict.number)
            return "verloren: eine andere Bestätigung hat " + name + " inzwischen geändert (" + Quote(e) +
                   "); dieses Dokument ist nicht die Rechnung";
        if (e.Number() == dao::err::Locked.number)
            return name + " nicht eingetragen: die Datenbank ist von einem anderen Programm gesperrt (" + Quote(e) + ")";
        return name + " nicht eingetragen: " + Quote(e);
    }
    if (logged > 0) return "die Komponente meldete " + std::to_string(logged) + " Fehler in Verw.log";
    if (!invoice) return std::nullopt;
    if (held.updates == 0) return name + " nicht eingetragen: die Komponente schrieb keine Summen zurück";
    auto rs = db.OpenRecordset("SELECT * FROM Rechnung WHERE ID_Rechnungsnummer = " + std::to_string(*invoice));
    const auto gross = DocumentGrossCents(doc);
    const long long recorded = rs->EOF_() ? 0 : std::llround(rs->Field("Brutto").ToDouble());
    // An invoice of kind 7 is written back negated.
    const bool negated = !rs->EOF_() && !rs->Field("Rechnungsart").IsNull() && rs->Field("Rechnungsart").ToLong() == 7;
    if (!gross || (negated ? -*gross : *gross) != recorded)
        return name + ": der Rechnungsbetrag des Dokuments (" +
               (gross ? std::to_string(*gross) + " Cent" : std::string("keine Summentabelle")) +
               ") ist nicht der des Datensatzes (" + std::to_string(recorded) + " Cent)";
    return std::nullopt;
}

std::optional<Problem> HostSession::Confirm(const fs::path& target, std::optional<int> invoice) {
    const std::string both = "; nichts gespeichert: Rechnungsdatensatz und Dokument " +
                             target.string() + " sind beide wie vor dem Lauf";
    const auto refuse = [&](std::string message, std::optional<com::Error> cause) {
        Discard();
        return Problem{std::move(message) + both, false, std::move(cause)};
    };
    const auto logged = com::EntriesWrittenSince(confirmMark_.value_or(com::EntriesWritten()));
    std::optional<com::Error> cause;
    try {
        if (auto why = WhyNotEntered(*db_, *doc_, invoice && (Unsaved() || db_->Held().updates > 0) ? invoice : std::nullopt,
                                     logged.count, &cause)) {
            if (logged.count > 0 && !cause) *why += " (" + log_.string() + ", der erste: " + logged.first.front() + ")";
            return refuse(*why, cause);
        }
    } catch (const com::Error& e) {
        return refuse((invoice ? "Rechnung " + std::to_string(*invoice) : std::string("die Rechnung")) +
                          " nicht eingetragen: " + Quote(e),
                      e);
    }
    Journal journal;
    try {
        if (invoice) {
            journal.invoice = *invoice;
            journal.after = Figures(*invoice);
        }
    } catch (const com::Error& e) {
        return refuse("Rechnung " + std::to_string(*invoice) + " nicht eingetragen: " + Quote(e), e);
    }
    journal.database = dao::WithoutPasswords(db_->Name());
    const SavePaths paths = SavePaths::For(target, static_cast<long>(::getpid()));
    std::error_code ec;
    journal.hadTarget = fs::exists(paths.target, ec);
    try {
        SaveWithRecord(paths, journal, {[this](const fs::path& p) { doc_->SaveAs(p); }, [this] { db_->CommitHeld(); }});
    } catch (const com::Error& e) {
        Discard();
        return Problem{"Speichern nach " + target.string() + " fehlgeschlagen: " + Quote(e) + both, false, e};
    }
    MarkSaved();
    confirmMark_.reset();
    return std::nullopt;
}

// Text not edited since is the text then; edits that restore it are no change either.
bool HostSession::DocumentChanged() const { return doc_->Edits() != beforeEdits_ && Fingerprint() != before_; }

bool HostSession::Unsaved() const { return doc_ && doc_->Edits() != savedEdits_ && Fingerprint() != saved_; }

const std::string& HostSession::Fingerprint() const {
    if (doc_->Edits() != printEdits_) {
        print_ = DocumentFingerprint(*doc_);
        printEdits_ = doc_->Edits();
    }
    return print_;
}

std::optional<Problem> HostSession::Save(const fs::path& target) {
    try {
        doc_->SaveAs(target);
    } catch (const com::Error& e) {
        return Problem{"Speichern nach " + target.string() + " fehlgeschlagen: " + Quote(e), false, e};
    }
    MarkSaved();
    return std::nullopt;
}

void HostSession::MarkSaved() {
    if (doc_->Edits() != savedEdits_) saved_ = Fingerprint();
    savedEdits_ = doc_->Edits();
}


void HostSession::End() {
    if (db_) db_->RollbackHeld();  // what no Confirm saved is not kept
    if (!go_) return;
    go_.reset();
    // The installed desktop would otherwise outlive the host's own.
    if (desktop_ && forms::InstalledDesktop() == desktop_) forms::InstallDesktop(nullptr);
}

std::vector<std::pair<std::string, std::string>> HostSession::SessionValues() const {
    const auto* report = dynamic_cast<const honora::ISessionReport*>(go_.get());
    return report ? report->SessionValues() : std::vector<std::pair<std::string, std::string>>{};
}

int HostSession::Logged() const { return com::EntriesWrittenSince(logMark_).count; }

std::string HostSession::FirstLogged() const {
    const auto entries = com::EntriesWrittenSince(logMark_);
    return entries.first.empty() ? std::string() : entries.first.front();
}

}  // namespace kado::host
