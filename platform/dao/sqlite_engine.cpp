// The embedded engine: a database file opened with SQLite.
#include <sqlite3.h>

#include "platform/dao/engine.h"
#include "platform/dao/error.h"
#include "platform/dao/fold.h"

namespace kado::dao::engine {
namespace {

using com::Raise;
using com::Variant;

struct Stmt {
    sqlite3_stmt* p = nullptr;
    ~Stmt() { sqlite3_finalize(p); }
};

// Closed even when the connection's constructor throws.
struct Handle {
    sqlite3* p = nullptr;
    ~Handle() { sqlite3_close(p); }
};

Variant ReadColumn(sqlite3_stmt* st, int i, Kind kind) {
    int storage = sqlite3_column_type(st, i);
    if (storage == SQLITE_NULL) return Variant::Null();
    auto text = [&] {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        return std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, i)));
    };
    switch (kind) {
    case Kind::Boolean:
        if (storage == SQLITE_TEXT) {
            std::string t = FoldAscii(text());
            if (t == "TRUE") return Variant(true);
            if (t == "FALSE") return Variant(false);
            return Variant(text());
        }
        return Variant(sqlite3_column_double(st, i) != 0.0);
    case Kind::Date:
        if (storage == SQLITE_TEXT) {
            if (auto d = ParseIsoDate(text())) return Variant(*d);
            return Variant(text());
        }
        return Variant(com::Date{sqlite3_column_double(st, i)});
    case Kind::Long:
        if (storage == SQLITE_INTEGER) return FromInt64(sqlite3_column_int64(st, i));
        break;
    case Kind::Double:
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) return Variant(sqlite3_column_double(st, i));
        break;
    case Kind::Text:
        return Variant(text());
    case Kind::Untyped:
        break;
    }
    switch (storage) {
    case SQLITE_INTEGER: return FromInt64(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT: return Variant(sqlite3_column_double(st, i));
    default: return Variant(text());
    }
}

void Bind(sqlite3_stmt* st, int idx, const Variant& v) {
    switch (v.Type()) {
    case com::VarType::Empty:
    case com::VarType::Null: sqlite3_bind_null(st, idx); return;
    case com::VarType::Boolean: sqlite3_bind_int(st, idx, v.ToBool() ? 1 : 0); return;
    case com::VarType::Integer:
    case com::VarType::Long: sqlite3_bind_int64(st, idx, v.ToLong()); return;
    case com::VarType::Single:
    case com::VarType::Double: sqlite3_bind_double(st, idx, v.ToDouble()); return;
    case com::VarType::Date: {
        std::string t = IsoDate(v.ToDate());
        sqlite3_bind_text(st, idx, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        return;
    }
    case com::VarType::String: {
        std::string t = v.ToString();
        sqlite3_bind_text(st, idx, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        return;
    }
    case com::VarType::Object: Raise(com::err::TypeMismatch);
    }
}

class SqliteConnection final : public Connection {
public:
    SqliteConnection(const std::string& path, int flags) {
        if (sqlite3_open_v2(path.c_str(), &handle_.p, flags, nullptr) != SQLITE_OK)
            Raise(err::CannotOpenDatabase, "Cannot open database '" + path + "': " + sqlite3_errmsg(handle_.p));
        db_ = handle_.p;
        sqlite3_busy_timeout(db_, 5000);
        // Reading the schema proves the file is a database.
        char* msg = nullptr;
        if (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &msg) != SQLITE_OK) {
            std::string why = msg ? msg : "";
            sqlite3_free(msg);
            // Another program holding the file's lock is no fault of the file.
            const int code = sqlite3_errcode(db_);
            if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
                Raise(err::Locked, "Could not open '" + path + "'; currently locked by another user. (" + why + ")");
            Raise(err::FileNotDatabase, "Unrecognized database format '" + path + "'. (" + why + ")");
        }
    }
    std::vector<Column> Describe(const std::string& sql) override {
        Stmt st = Prepare(sql);
        return Columns(st.p);
    }

    Rows Query(const std::string& sql, const std::vector<Variant>& params) override {
        Stmt st = Prepare(sql);
        BindAll(st.p, params);
        Rows rows;
        rows.columns = Columns(st.p);
        const int n = static_cast<int>(rows.columns.size());
        int rc = 0;
        while ((rc = sqlite3_step(st.p)) == SQLITE_ROW) {
            std::vector<Variant> row;
            row.reserve(rows.columns.size());
            for (int i = 0; i < n; ++i) row.push_back(ReadColumn(st.p, i, rows.columns[static_cast<size_t>(i)].kind));
            rows.values.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) Fail(err::SyntaxErrorInQuery, "Query failed");
        return rows;
    }

    int64_t Change(const std::string& sql, const std::vector<Variant>& params) override {
        Stmt st;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.p, nullptr) != SQLITE_OK) Fail(err::ReadOnly, "Cannot update");
        BindAll(st.p, params);
        if (sqlite3_step(st.p) != SQLITE_DONE) Fail(err::ReadOnly, "Cannot update");
        return sqlite3_changes(db_);
    }

    void Execute(const std::string& sql) override {
        char* msg = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
            std::string why = msg ? msg : "error";
            sqlite3_free(msg);
            Raise(why.find("no such table") != std::string::npos ? err::TableNotFound : err::SyntaxErrorInQuery, why);
        }
    }

    std::string PrimaryKey(const std::string& table) override {
        Rows info = Query("PRAGMA table_info(" + table + ")", {});
        std::string key;
        int keys = 0;
        for (const auto& row : info.values) {
            if (row.size() > 5 && row[5].ToLong() > 0) {
                key = row[1].ToString();
                ++keys;
            }
        }
        return keys == 1 ? key : std::string();
    }

    std::string TableRef(std::string_view name) const override { return QuoteIdent(name); }
    std::string Param(int n) const override { return "?" + std::to_string(n); }

    // Takes the write lock at once, so the row read next cannot change before the update.
    void BeginWrite() override {
        if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
            const int code = sqlite3_errcode(db_);
            if (code == SQLITE_BUSY || code == SQLITE_LOCKED) Fail(err::Locked, "Could not update; currently locked");
            Fail(err::ReadOnly, "Cannot update");
        }
    }
    std::string LockSuffix() const override { return {}; }
    void Commit() override {
        if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) Fail(err::ReadOnly, "Cannot update");
    }
    void Rollback() noexcept override { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

private:
    [[noreturn]] void Fail(com::ErrorCode code, const std::string& what) const {
        Raise(code, what + ": " + sqlite3_errmsg(db_));
    }

    Stmt Prepare(const std::string& sql) {
        Stmt st;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st.p, nullptr) != SQLITE_OK) {
            const std::string why = sqlite3_errmsg(db_);
            RaiseQueryError(why.find("no such table") != std::string::npos, sql, why);
        }
        if (!st.p) Raise(err::InvalidArgument);
        return st;
    }

    static void BindAll(sqlite3_stmt* st, const std::vector<Variant>& params) {
        for (size_t i = 0; i < params.size(); ++i) Bind(st, static_cast<int>(i + 1), params[i]);
    }

    static std::vector<Column> Columns(sqlite3_stmt* st) {
        std::vector<Column> columns;
        const int n = sqlite3_column_count(st);
        for (int i = 0; i < n; ++i) {
            Column c;
            c.name = sqlite3_column_name(st, i);
            const char* decl = sqlite3_column_decltype(st, i);
            c.kind = decl ? KindOfDeclared(decl) : Kind::Untyped;
            const char* t = sqlite3_column_table_name(st, i);
            const char* o = sqlite3_column_origin_name(st, i);
            if (t && o) {
                c.table = QuoteIdent(t);
                c.origin = o;
            }
            columns.push_back(std::move(c));
        }
        return columns;
    }

    Handle handle_;
    sqlite3* db_ = nullptr;
};

}  // namespace

std::unique_ptr<Connection> OpenSqlite(const std::string& path, bool create) {
    return std::make_unique<SqliteConnection>(path, SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0));
}

}  // namespace kado::dao::engine
