// The engine behind Workspace, Database and Recordset: one connection to an
// SQLite file or to a PostgreSQL database. What a recordset does with rows
// (keys, re-reading with dbSeeChanges, the check before an update) is written
// once above this interface; an engine only runs statements and types values.
// Private to platform/dao.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/variant.h"

namespace kado::dao::engine {

enum class Kind { Long, Double, Text, Boolean, Date, Untyped };

struct Column {
    std::string name;  // as the query names it
    Kind kind = Kind::Untyped;
    std::string table;   // the table it is read from, as a quoted reference; empty for an expression
    std::string origin;  // its name in that table
};

struct Rows {
    std::vector<Column> columns;
    std::vector<std::vector<com::Variant>> values;
};

// Failures throw com::Error: 3078 for an unknown table, 3075 for any other
// fault of a query, 3260 when a lock could not be had in time.
class Connection {
public:
    virtual ~Connection() = default;

    // The columns a query would deliver, without running it.
    virtual std::vector<Column> Describe(const std::string& sql) = 0;
    // Parameters are numbered as Param(n) writes them; their values are
    // already of the target column's kind (see Coerce).
    virtual Rows Query(const std::string& sql, const std::vector<com::Variant>& params = {}) = 0;
    // A statement that changes rows; gives how many it changed.
    virtual int64_t Change(const std::string& sql, const std::vector<com::Variant>& params) = 0;
    // Statements without rows, several at once (schema, demo data).
    virtual void Execute(const std::string& sql) = 0;

    // The one-column primary key of a table named as Column::table names it; empty when it has none.
    virtual std::string PrimaryKey(const std::string& table) = 0;
    // A table name as an unquoted query text would name it, quoted.
    virtual std::string TableRef(std::string_view name) const = 0;
    virtual std::string Param(int n) const = 0;

    // A transaction for one update: rows read with LockSuffix() stay as read until Commit.
    virtual void BeginWrite() = 0;
    virtual std::string LockSuffix() const = 0;
    virtual void Commit() = 0;
    virtual void Rollback() noexcept = 0;
};

std::unique_ptr<Connection> OpenSqlite(const std::string& path, bool create);
// `create`: the database must hold no table yet (3204 otherwise). The server
// engine is the module kServerModule beside the platform libraries, loaded
// with the first call; when it or libpq cannot be loaded, 3049.
std::unique_ptr<Connection> OpenPostgres(const std::string& uri, bool create);
inline constexpr const char* kServerModule = "libkado_dao_pg.so";
// The module's one entry point: a connection the caller owns; throws com::Error.
inline constexpr const char* kServerOpen = "kado_dao_pg_open";
using ServerOpenFn = Connection* (*)(const char* uri, bool create);

// Shared by both engines.
Kind KindOfDeclared(std::string_view type);  // from an SQL type name
com::Variant FromInt64(int64_t v);
std::optional<com::Date> ParseIsoDate(const std::string& text);
std::string IsoDate(const com::Date& d);
std::string QuoteIdent(std::string_view name);
// The failure of a query that did not compile: 3078 for an unknown table, else 3075.
[[noreturn]] void RaiseQueryError(bool unknownTable, const std::string& sql, const std::string& why);
// A URI without its password, for messages.
std::string Redacted(std::string_view uri);

}  // namespace kado::dao::engine
