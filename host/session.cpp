#include "host/session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <system_error>

#include "platform/com/component_library.h"
#include "platform/com/component_registry.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;
using com::Variant;

std::uintmax_t LogSize(const fs::path& log) {
    std::error_code ec;
    const auto size = fs::file_size(log, ec);
    return ec ? 0 : size;
}

// Entries after the first `from` bytes, so a run counts only what it appended.
int LogEntries(const fs::path& log, std::uintmax_t from) {
    std::ifstream in(log, std::ios::binary);
    // A log that shrank since (removed, rotated) is counted whole.
    if (from > 0 && LogSize(log) >= from) in.seekg(static_cast<std::streamoff>(from));
    int n = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Ort  : ", 0) == 0) ++n;
    return n;
}

// Writable for this process, and meant to be: root passes access() on any file,
// so a file or folder without any write bit counts as read-only as well.
bool Writable(const fs::path& p) {
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return ::access(p.c_str(), W_OK) == 0;
}

fs::path FolderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

}  // namespace

std::string DocumentFingerprint(const word::Document& doc) {
    std::string f = doc.Content().Text();
    const auto comments = doc.GetComments();
    for (int i = 1; i <= comments.Count(); ++i) f += "\x1f" + comments.Item(i).Text();
    f += "\x1e" + std::to_string(doc.GetTables().Count()) + "/" + std::to_string(doc.GetShapes().Count());
    return f;
}

std::string Quote(const com::Error& e) {
    return "Fehler " + std::to_string(e.Number()) + ": \"" + e.Description() + "\"";
}

fs::path RecoveryPath(const fs::path& doc) {
    return FolderOf(doc) / (doc.stem().string() + ".wiederhergestellt" + doc.extension().string());
}

std::optional<Problem> HostSession::Unwritable(const fs::path& db, const fs::path& target) {
    std::error_code ec;
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

int Fail(const Problem& problem, std::ostream& err) {
    err << "kado-host: " << problem.message << "\n";
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
        return Problem{"Dokument lässt sich nicht lesen: " + doc.string() + ": " + Quote(e), true, e};
    }
    saved_ = DocumentFingerprint(*doc_);
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
    for (const char* table : {"TempDoc", "Rechnung", "Termine", "Version"}) {
        try {
            database.OpenRecordset(std::string("SELECT * FROM ") + table + " WHERE 0 = 1");
        } catch (const com::Error&) {
            missing += (missing.empty() ? "" : ", ") + std::string(table);
        }
    }
    if (!missing.empty())
        return Problem{"Datenbank ist keine vollständige Host-Datenbank: " + file.string() + " (es fehlt: " + missing + ")",
                       true, {}};
    if (database.OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = " + std::to_string(user))->EOF_())
        return Problem{"Benutzer " + std::to_string(user) + " hat keine Rechnungseinstellungen (TempDoc) in " +
                           file.string(),
                       true, {}};
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

void HostSession::Show(int16_t category, std::shared_ptr<dao::Recordset> rechnung, forms::WindowHandle documentArea) {
    if (const auto* report = dynamic_cast<const honora::ISessionReport*>(go_.get())) log_ = report->LogFile();
    logBefore_ = LogSize(log_);
    // Text not edited since it was opened or saved has the fingerprint taken then.
    before_ = doc_->Edits() == savedEdits_ ? saved_ : DocumentFingerprint(*doc_);
    go_->Show(category, rechnung, documentArea);
}

bool HostSession::DocumentChanged() const { return DocumentFingerprint(*doc_) != before_; }

bool HostSession::Unsaved() const { return doc_ && DocumentFingerprint(*doc_) != saved_; }

std::optional<Problem> HostSession::Save(const fs::path& target) {
    try {
        doc_->SaveAs(target);
    } catch (const com::Error& e) {
        return Problem{"Speichern nach " + target.string() + " fehlgeschlagen: " + Quote(e), false, e};
    }
    if (doc_->Edits() != savedEdits_) saved_ = DocumentFingerprint(*doc_);
    savedEdits_ = doc_->Edits();
    return std::nullopt;
}

std::optional<Problem> HostSession::SaveOrRecover(const fs::path& target, const fs::path& doc) {
    auto problem = Save(target);
    if (!problem) return std::nullopt;
    const fs::path recovery = RecoveryPath(doc);
    const std::string saved = saved_;  // a copy beside it does not save the target
    if (recovery != target && !Save(recovery)) {
        saved_ = saved;
        problem->message += "; die Rechnung ist eingetragen, das fertige Dokument liegt in " + recovery.string();
    } else {
        problem->message += "; die Rechnung ist eingetragen, das fertige Dokument ließ sich nirgends speichern";
    }
    return problem;
}

void HostSession::End() {
    if (!go_) return;
    go_.reset();
    // The installed desktop would otherwise outlive the host's own.
    if (desktop_ && forms::InstalledDesktop() == desktop_) forms::InstallDesktop(nullptr);
}

std::vector<std::pair<std::string, std::string>> HostSession::SessionValues() const {
    const auto* report = dynamic_cast<const honora::ISessionReport*>(go_.get());
    return report ? report->SessionValues() : std::vector<std::pair<std::string, std::string>>{};
}

int HostSession::Logged() const { return LogEntries(log_, logBefore_); }

std::string HostSession::FirstLogged() const {
    std::ifstream in(log_, std::ios::binary);
    if (logBefore_ > 0 && LogSize(log_) >= logBefore_) in.seekg(static_cast<std::streamoff>(logBefore_));
    std::string entry;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) {
            if (!entry.empty()) break;
            continue;
        }
        entry += (entry.empty() ? "" : " | ") + line;
    }
    return entry;
}

}  // namespace kado::host
