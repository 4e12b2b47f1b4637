#include "host/invoice_commit.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/com/atomic_file.h"
#include "platform/com/error.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;

constexpr const char* kJournalMark = ".kado-journal.";
constexpr size_t kJournalLimit = 64 * 1024;

fs::path FolderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

[[noreturn]] void RaiseFile(const std::string& what, const fs::path& path, const std::error_code& ec) {
    com::Raise(com::err::PathFileAccess, what + ": " + path.string() + " (" + ec.message() + ")");
}

// The old document kept under `backup`: a hard link, or a copy where links are not had.
void Keep(const fs::path& target, const fs::path& backup) {
    std::error_code ec;
    fs::remove(backup, ec);
    fs::create_hard_link(target, backup, ec);
    if (!ec) return;
    ec.clear();
    fs::copy_file(target, backup, fs::copy_options::overwrite_existing, ec);
    if (ec) RaiseFile("altes Dokument nicht zu sichern", backup, ec);
}

// Puts the old document back (or removes a target the save created).
void Restore(const SavePaths& p, bool hadTarget) {
    std::error_code ec;
    if (hadTarget) {
        fs::rename(p.backup, p.target, ec);
    } else {
        fs::remove(p.target, ec);
    }
}

std::string ReadSmall(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text(kJournalLimit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

// What a killed save left without a journal: its new document (whole, or the
// temporary file of its write) and a kept old one. The pid follows the prefix.
void SweepLeftovers(const fs::path& dir, const std::string& hidden) {
    const std::string prefixes[] = {hidden + ".kado-neu.", "." + hidden + ".kado-neu.", hidden + ".kado-alt."};
    std::error_code ec;
    std::vector<fs::path> gone;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        for (const auto& prefix : prefixes) {
            const auto pid = com::DeadWriter(name, prefix);
            if (pid && !fs::exists(dir / (hidden + kJournalMark + std::to_string(*pid)), ec)) gone.push_back(it->path());
        }
    }
    for (const auto& file : gone) fs::remove(file, ec);
}

}  // namespace

SavePaths SavePaths::For(const fs::path& target, long pid) {
    SavePaths p;
    p.target = com::ResolveLinks(target);
    const fs::path dir = FolderOf(p.target);
    const std::string hidden = "." + p.target.filename().string();
    const std::string id = std::to_string(pid);
    p.staged = dir / (hidden + ".kado-neu." + id);
    p.backup = dir / (hidden + ".kado-alt." + id);
    p.journal = dir / (hidden + kJournalMark + id);
    return p;
}

std::string Journal::Text() const {
    return "kado-journal 1\ndatabase=" + database + "\ninvoice=" + std::to_string(invoice) + "\nbefore=" + before +
           "\nafter=" + after + "\nhadTarget=" + (hadTarget ? "1" : "0") + "\n";
}

std::optional<Journal> Journal::Parse(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != "kado-journal 1") return std::nullopt;
    Journal j;
    int seen = 0;
    while (std::getline(in, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) return std::nullopt;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "database") {
            j.database = value;
        } else if (key == "invoice") {
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), j.invoice);
            if (ec != std::errc() || end != value.data() + value.size()) return std::nullopt;
        } else if (key == "before") {
            j.before = value;
        } else if (key == "after") {
            j.after = value;
        } else if (key == "hadTarget") {
            if (value != "0" && value != "1") return std::nullopt;
            j.hadTarget = value == "1";
        } else {
            return std::nullopt;
        }
        ++seen;
    }
    if (seen != 5) return std::nullopt;
    return j;
}

void SaveWithRecord(const SavePaths& p, const Journal& journal, const SaveSteps& steps) {
    std::error_code ec;
    try {
        steps.writeDocument(p.staged);
    } catch (...) {
        fs::remove(p.staged, ec);
        throw;
    }
    try {
        com::WriteFileAtomically(p.journal, journal.Text());
    } catch (const com::WriteFailure& f) {
        fs::remove(p.staged, ec);
        RaiseFile("Journal nicht schreibbar", p.journal, f.code());
    }
    const auto undo = [&] {
        fs::remove(p.staged, ec);
        fs::remove(p.backup, ec);
        fs::remove(p.journal, ec);
    };
    try {
        if (journal.hadTarget) Keep(p.target, p.backup);
    } catch (...) {
        undo();
        throw;
    }
    fs::rename(p.staged, p.target, ec);
    if (ec) {
        const std::error_code why = ec;
        undo();
        RaiseFile("Dokument nicht an seinen Platz zu bringen", p.target, why);
    }
    com::CrashPoint("before-commit");
    try {
        steps.commit();
    } catch (...) {
        Restore(p, journal.hadTarget);
        undo();
        throw;
    }
    com::CrashPoint("after-commit");
    fs::remove(p.backup, ec);
    fs::remove(p.journal, ec);
}

std::vector<std::string> Recover(const fs::path& target, const std::string& database,
                                 const std::function<std::string(int)>& figures) {
    std::vector<std::string> said;
    const fs::path resolved = com::ResolveLinks(target);
    const fs::path dir = FolderOf(resolved);
    const std::string prefix = "." + resolved.filename().string() + kJournalMark;
    std::vector<std::pair<fs::path, long>> journals;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string_view rest;
        const auto pid = com::DeadWriter(it->path().filename().string(), prefix, &rest);
        if (pid && rest.empty()) journals.emplace_back(it->path(), *pid);
    }
    for (const auto& [file, pid] : journals) {
        const SavePaths p = SavePaths::For(resolved, pid);
        const auto journal = Journal::Parse(ReadSmall(file));
        const std::string where = "unterbrochene Speicherung von " + resolved.string();
        if (!journal) {
            said.push_back(where + ": Journal " + file.string() + " unlesbar, nicht angerührt");
            continue;
        }
        if (journal->database != database) {
            said.push_back(where + " gehört zur Datenbank " + journal->database + ", nicht angerührt");
            continue;
        }
        const std::string now = figures(journal->invoice);
        const std::string invoice = "Rechnung " + std::to_string(journal->invoice);
        if (now == journal->after && !fs::exists(p.staged, ec)) {
            fs::remove(p.backup, ec);
            said.push_back(where + " abgeschlossen: " + invoice +
                           " und das Dokument zeigen beide die neue Rechnung (" + now + ")");
        } else {
            if (fs::exists(p.staged, ec)) {
                fs::remove(p.staged, ec);  // never renamed: the target is the old document
                fs::remove(p.backup, ec);
            } else {
                Restore(p, journal->hadTarget);
            }
            said.push_back(where + " zurückgenommen: " + invoice +
                           " war nicht eingetragen, das Dokument ist wieder das alte (" + now + ")");
        }
        fs::remove(file, ec);
    }
    SweepLeftovers(dir, "." + resolved.filename().string());
    return said;
}

}  // namespace kado::host
