// Database engine interface of the host (workspace, database, recordset)
// over SQLite files. Failures throw com::Error with the engine's numbers.
#pragma once

#include <memory>
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

    // Edit, assign, Update: saves the current row back to its table.
    // Only recordsets on one table (a table name or a single-table SELECT) can be edited.
    void Edit();
    void SetField(std::string_view name, const com::Variant& value);  // 3020 without Edit
    void Update();
    void CancelUpdate();

    struct Impl;
    explicit Recordset(std::unique_ptr<Impl> impl);

private:
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

    struct Impl;
    explicit Database(std::shared_ptr<Impl> impl);

private:
    std::shared_ptr<Impl> impl_;
};

class Workspace : public com::Object {
public:
    std::string TypeName() const override { return "Workspace"; }
    // Opens an existing database file (not exclusive, read-write).
    // 3024/3044 style errors for a missing file, 3343 for a file that is no database.
    std::shared_ptr<Database> OpenDatabase(std::string_view path);
    // Creates a new database file (for the demo host and tests).
    std::shared_ptr<Database> CreateDatabase(std::string_view path);
};

// Renders a value read from a record for use inside a query text: the number
// in decimal digits with "." as decimal separator. A value that is no number
// (text that does not read as one, Null, an object) throws error 13 instead
// of being spliced into SQL.
std::string SqlNumber(const com::Variant& value);

}  // namespace kado::dao
