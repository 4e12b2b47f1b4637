// Database engine interface of the host (workspace, database, recordset):
// over an SQLite file, or over a PostgreSQL database when the path is a
// connection URI (postgresql://... or postgres://...). Failures throw
// com::Error with the engine's numbers.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/object.h"
#include "platform/com/variant.h"
#include "platform/dao/error.h"

namespace kado::dao {

inline constexpr int dbOpenDynaset = 2;
inline constexpr int dbSeeChanges = 512;

class Recordset;
class Database;

// A recordset on the rows of one query, positioned on the first row when
// there is one. Field values are typed from the columns' declared types.
// The rows are fixed when it opens; with dbSeeChanges each row is read again
// when it becomes current (see dao.cpp).
class Recordset : public com::Object {
public:
    ~Recordset() override;
    std::string TypeName() const override { return "Recordset"; }

    bool BOF() const;
    bool EOF_() const;  // EOF is a macro of <cstdio>
    void MoveFirst();   // 3021 on an empty recordset
    void MoveNext();    // 3021 when already past the end
    int RecordCount() const;

    // Value of a field of the current row; 3265 for an unknown field,
    // 3021 without a current row. Null-aware.
    com::Variant Field(std::string_view name) const;
    std::vector<std::string> FieldNames() const;

    // Edit, assign, Update: saves the current row back to its table. Only
    // recordsets on one table with a one-column primary key (the table by name
    // or a SELECT of its columns) can be edited; 3027 otherwise.
    void Edit();
    void SetField(std::string_view name, const com::Variant& value);  // 3020 without Edit
    // 3197, nothing written, when another user changed the row since this
    // recordset read it; 3167 when the row is gone. Ends the edit either way.
    void Update();
    void CancelUpdate();

    struct Impl;
    explicit Recordset(std::unique_ptr<Impl> impl);

private:
    void Write();
    std::unique_ptr<Impl> impl_;
};

class Database : public com::Object {
public:
    ~Database() override;
    std::string TypeName() const override { return "Database"; }

    // A query text (run unchanged) or a table name; type 2, options 0 or 512.
    std::shared_ptr<Recordset> OpenRecordset(std::string_view source, int type = dbOpenDynaset,
                                             int options = 0);
    // Runs a statement that returns no rows (schema, inserts in tests and the demo).
    void Execute(std::string_view sql);
    const std::string& Name() const;

    // Held writes: from HoldWrites on, the updates of every recordset on this
    // database go into one transaction that stays open (its row locks and, on
    // SQLite, the file's write lock held) until CommitHeld or RollbackHeld,
    // after which the next update opens the next one. A failed edit,
    // assignment or update rolls the whole transaction back and is kept as the
    // first failure, so the holder learns of it even when the caller
    // swallowed the error.
    void HoldWrites();
    struct HeldState {
        int updates = 0;                  // updates that wrote a row
        std::optional<com::Error> failure;  // the first failed edit, assignment or update
    };
    HeldState Held() const;
    void CommitHeld();             // throws when the commit fails (nothing is then written)
    void RollbackHeld() noexcept;

    struct Impl;
    explicit Database(std::shared_ptr<Impl> impl);

private:
    std::shared_ptr<Impl> impl_;
};

class Workspace : public com::Object {
public:
    std::string TypeName() const override { return "Workspace"; }
    // Opens an existing database file (not exclusive, read-write) or server database.
    // 3024 for a missing file, 3343 for a file that is no database, 3049 when
    // the server or its database cannot be reached.
    std::shared_ptr<Database> OpenDatabase(std::string_view path);
    // Creates a new database file (for the demo host and tests); on a server,
    // takes the existing database when it holds no table yet (3204 otherwise).
    std::shared_ptr<Database> CreateDatabase(std::string_view path);
};

// Whether a database path names a server database rather than a file.
bool IsServerUri(std::string_view path);

// The text with the password of every server URI in it replaced by "***"
// (user:password@, password= and its percent-encoded form), for messages.
std::string WithoutPasswords(std::string_view text);

// Renders a value read from a record for use inside a query text: the number
// in decimal digits with "." as decimal separator. A value that is no number
// (text that does not read as one, Null, an object) throws error 13 instead
// of being spliced into SQL.
std::string SqlNumber(const com::Variant& value);

}  // namespace kado::dao
