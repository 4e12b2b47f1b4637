// The host's side of one session with the component, for kado-host's commands
// and a host window alike: files opened and handed to GO, Show, the save.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/error.h"
#include "platform/dao/dao.h"
#include "platform/forms/forms.h"
#include "platform/word/word.h"
#include "plugin/component/honora.h"

namespace kado::host {

// A step that failed, in the words kado-host prints after "kado-host: ".
struct Problem {
    std::string message;
    bool input = false;               // the arguments or files were at fault, not the run
    std::optional<com::Error> cause;  // the platform's error behind it
};

// Prints the problem as kado-host does; gives its exit code (2 input, 1 run).
int Fail(const Problem& problem, std::ostream& err);

// A platform error in the host's words, its text quoted as it stands: Fehler 730: "...".
std::string Quote(const com::Error& e);

// What tells whether a dialog wrote to the document: its text, comments, tables and shapes.
std::string DocumentFingerprint(const word::Document& doc);

// The amount due the document's totals table shows ("Rechnungsbetrag", in
// cents); none without a totals table.
std::optional<long long> DocumentGrossCents(const word::Document& doc);

// Why a confirmation's held record must not be entered with its document:
// the record's write failed (`cause` gets the error), the component logged
// `logged` failures since the confirmation began, or, for an invoice, nothing
// was written back or the document's amount due is not the record's. None
// when record and document agree.
std::optional<std::string> WhyNotEntered(dao::Database& db, const word::Document& doc, std::optional<int> invoice,
                                         int logged, std::optional<com::Error>* cause = nullptr);

class HostSession {
public:
    // Dialogs live on the desktop; null leaves the component its own headless one.
    explicit HostSession(std::shared_ptr<forms::Desktop> desktop = nullptr) : desktop_(std::move(desktop)) {}
    ~HostSession() { End(); }
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // A database without the host's tables, or without the user's invoice
    // settings: refused before the component sees it, so nothing is written.
    static std::optional<Problem> CheckHostDatabase(dao::Database& database, const std::filesystem::path& file, int user);
    // honora.GO made through the component registry; a problem naming how to
    // install the extension when it is not registered or cannot be loaded.
    static std::shared_ptr<honora::IGO> CreateComponent(std::optional<Problem>& problem);

    // The database file or the named document is not there (a server database
    // given by its URI is looked for when it is opened).
    static std::optional<Problem> Missing(const std::filesystem::path& db, const std::filesystem::path& doc);
    // The save target or the database file cannot be written: refused before Show,
    // since the component writes the invoice record on OK and the host saves after it.
    static std::optional<Problem> Unwritable(const std::filesystem::path& db, const std::filesystem::path& target);
    // A target that exists and is no invoice document (the database, the
    // component registry, the settings store, the log, any file that does not
    // open as a document): refused, so it is never written over.
    static std::optional<Problem> NotADocument(const std::filesystem::path& db, const std::filesystem::path& target);
    // Opens the document (a new one when `doc` is empty) and the database and hands
    // GO the document, the user, the database path, the workspace and the database.
    std::optional<Problem> Open(const std::filesystem::path& db, const std::filesystem::path& doc, int user);
    // The Rechnung record as it is now; null when there is none with that id.
    std::shared_ptr<dao::Recordset> Invoice(int id) const;
    // The dialog opens inside the host's document area registered under `documentArea`;
    // 0 makes it a window of its own.
    void Show(int16_t category, std::shared_ptr<dao::Recordset> invoice, forms::WindowHandle documentArea = 0);
    // Whether text, comments, tables or shapes of the document changed since Show.
    bool DocumentChanged() const;
    // Whether they changed since the document was opened or last saved.
    bool Unsaved() const;
    std::optional<Problem> Save(const std::filesystem::path& target);
    // After a confirmation: the document saved to `target` and the record's
    // writes committed as one, or neither (the problem then says which holds
    // what). Refused when the component's write of the record failed, when it
    // logged a failure since MarkConfirmation, or when the document's amount due
    // is not the record's. Without an invoice only the document is saved.
    std::optional<Problem> Confirm(const std::filesystem::path& target, std::optional<int> invoice);
    // The confirmation begins (the host presses OK): what the component logs from
    // here on is a failure of it, and Confirm refuses to save it.
    void MarkConfirmation();
    // Undoes what the session held back (after cancel, or when nothing is saved).
    void Discard();
    // Finishes or undoes saves of `target` that a kill interrupted; one line each.
    std::vector<std::string> RecoverSaves(const std::filesystem::path& target);
    // The figures of a record as one text (for messages and the journal); "-" when there is none.
    std::string Figures(int invoice) const;
    // The host releases its GO: with the last one the component ends, its lasting
    // forms unload and store their placement.
    void End();

    // The component as the host holds it (after a successful Open).
    honora::IGO& Component() const { return *go_; }
    // What Show read into the component's session, name and display text.
    std::vector<std::pair<std::string, std::string>> SessionValues() const;

    word::Document& Document() const { return *doc_; }
    dao::Database& Database() const { return *db_; }
    const std::filesystem::path& LogFile() const { return log_; }
    int Logged() const;  // entries this process appended to Verw.log since Show
    std::string FirstLogged() const;  // the first of them, its lines joined by " | "

    // DocumentFingerprint of the open document now, built at most once per edit count.
    const std::string& Fingerprint() const;

private:
    // The fingerprint of what was just saved, built anew only when the text was edited since.
    void MarkSaved();
    std::shared_ptr<forms::Desktop> desktop_;
    std::shared_ptr<word::Document> doc_;
    std::shared_ptr<dao::Workspace> ws_;
    std::shared_ptr<dao::Database> db_;
    std::shared_ptr<honora::IGO> go_;
    std::filesystem::path log_;
    int logMark_ = 0;      // entries this process had logged at Show
    std::optional<int> confirmMark_;  // and when the confirmation began (MarkConfirmation)
    std::string before_;  // the document's fingerprint at Show
    std::string saved_;   // and as it was opened or last saved
    uint64_t beforeEdits_ = 0;  // the document's edit count when before_ was taken
    uint64_t savedEdits_ = 0;   // and when saved_ was
    mutable std::string print_;  // the last fingerprint built, at printEdits_
    mutable uint64_t printEdits_ = ~0ull;
};

}  // namespace kado::host
