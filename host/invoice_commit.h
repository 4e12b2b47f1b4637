// The invoice record and the invoice document saved as one: the document is
// made complete beside its target, a journal names both states, and only then
// the record's transaction commits. A kill in between is finished or undone
// by the next start (Recover).
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kado::host {

// The files of one save of `target` by the process `pid`, all beside the
// target (after its symbolic links): the new document, the old one kept while
// the save is open, and the journal.
struct SavePaths {
    std::filesystem::path target;
    std::filesystem::path staged;
    std::filesystem::path backup;
    std::filesystem::path journal;
    static SavePaths For(const std::filesystem::path& target, long pid);
};

// What a journal records: which invoice of which database, and its figures
// before and after the save.
struct Journal {
    std::string database;  // without its password
    int invoice = 0;
    std::string before, after;
    bool hadTarget = false;
    std::string Text() const;
    static std::optional<Journal> Parse(const std::string& text);
};

// Steps of the save, each a callable the host fills: write the document to a
// path, commit the record.
struct SaveSteps {
    std::function<void(const std::filesystem::path&)> writeDocument;  // throws com::Error
    std::function<void()> commit;                                      // throws com::Error
};

// Saves and commits; on a failure before the commit the target is as it was
// and the error is rethrown (the caller rolls the record back); a failed
// commit puts the old document back before it rethrows.
// Test mode: KADO_CRASH_AT=before-commit or after-commit kills the process there.
void SaveWithRecord(const SavePaths& paths, const Journal& journal, const SaveSteps& steps);

// Journals of `target` whose process is gone: each is finished when the
// record holds its new figures (the document stays new), else undone (the
// old document comes back). `figures(invoice)` reads the record now. Gives
// one line per journal saying what it did.
std::vector<std::string> Recover(const std::filesystem::path& target, const std::string& database,
                                 const std::function<std::string(int)>& figures);

}  // namespace kado::host
