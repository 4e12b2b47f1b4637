// The server engine: a database on a PostgreSQL server, reached with libpq.
// Built as a module of its own (libkado_dao_pg.so) that the database layer
// loads on the first server connection, so a process on SQLite files never
// loads libpq and the libraries it pulls in.
//
// Names: the host's tables are created from the same unquoted schema text as
// on SQLite, so the server stores their names folded to lower case, and the
// host's query texts, unquoted as they are, fold the same way. Field names
// match case-insensitively above this layer; a recordset reports the names
// as the server stores them (lower case).
#include <libpq-fe.h>

#include <cstdlib>
#include <map>

#include "platform/com/numtext.h"
#include "platform/dao/engine.h"
#include "platform/dao/error.h"

namespace kado::dao::engine {
namespace {

using com::Raise;
using com::Variant;

// Oids of the server's built-in types; fixed since they were assigned.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kFloat4 = 700, kFloat8 = 701,
              kBpchar = 1042, kVarchar = 1043, kDate = 1082, kTimestamp = 1114, kTimestampTz = 1184,
              kNumeric = 1700;

Kind KindOf(Oid type) {
    switch (type) {
    case kBool: return Kind::Boolean;
    case kInt2:
    case kInt4:
    case kInt8: return Kind::Long;
    case kFloat4:
    case kFloat8:
    case kNumeric: return Kind::Double;
    case kDate:
    case kTimestamp:
    case kTimestampTz: return Kind::Date;
    case kText:
    case kVarchar:
    case kBpchar: return Kind::Text;
    default: return Kind::Untyped;
    }
}

Variant ReadValue(const std::string& text, Oid type) {
    switch (type) {
    case kBool: return Variant(text == "t");
    case kInt2:
    case kInt4:
    case kInt8: return FromInt64(std::strtoll(text.c_str(), nullptr, 10));
    case kFloat4:
    case kFloat8:
    case kNumeric:
        if (auto d = com::ReadDotNumber(text)) return Variant(*d);
        break;
    case kDate:
    case kTimestamp:
    case kTimestampTz:
        if (auto d = ParseIsoDate(text)) return Variant(*d);
        break;
    default: break;
    }
    return Variant(text);
}

// Parameters go as text of unspecified type: the server reads them as the
// column they are compared with or assigned to.
std::optional<std::string> ParamText(const Variant& v) {
    switch (v.Type()) {
    case com::VarType::Empty:
    case com::VarType::Null: return std::nullopt;
    case com::VarType::Boolean: return v.ToBool() ? "true" : "false";
    case com::VarType::Integer:
    case com::VarType::Long: return std::to_string(v.ToLong());
    case com::VarType::Single:
    case com::VarType::Double: return com::DotText(v.ToDouble(), 17);
    case com::VarType::Date: return IsoDate(v.ToDate());
    case com::VarType::String: return v.ToString();
    case com::VarType::Object: break;
    }
    Raise(com::err::TypeMismatch);
}

std::string Trimmed(const char* message) {
    std::string s = message ? message : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

struct Result {
    PGresult* p = nullptr;
    explicit Result(PGresult* r) : p(r) {}
    Result(Result&& o) noexcept : p(o.p) { o.p = nullptr; }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    Result& operator=(Result&&) = delete;
    ~Result() { PQclear(p); }
    bool Ok() const {
        const auto s = PQresultStatus(p);
        return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_EMPTY_QUERY;
    }
    std::string State() const {
        const char* s = PQresultErrorField(p, PG_DIAG_SQLSTATE);
        return s ? s : "";
    }
};

struct Handle {
    PGconn* p = nullptr;
    ~Handle() { PQfinish(p); }
};

struct TableInfo {
    std::string ref;                       // schema.table, quoted where needed
    std::map<int, std::string> columns;    // by column number
    std::string key;                       // one-column primary key, or empty
};

class PgConnection final : public Connection {
public:
    PgConnection(const std::string& uri, bool create) : name_(Redacted(uri)) {
        handle_.p = PQconnectdb(uri.c_str());
        conn_ = handle_.p;
        if (!conn_ || PQstatus(conn_) != CONNECTION_OK)
            Raise(err::CannotOpenDatabase,
                  "Cannot open database '" + name_ + "': " + Trimmed(conn_ ? PQerrorMessage(conn_) : "out of memory"));
        // Notices would otherwise go to standard error.
        PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
        // Dates as the ISO text this layer reads, floats exact on any server
        // version, and a lock wait as long as the embedded engine's.
        Execute("SET client_encoding = 'UTF8'; SET DateStyle = ISO, YMD; SET extra_float_digits = 3; "
                "SET lock_timeout = '5s'");
        if (create) {
            Rows tables =
                Fetch("SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema()", {}, false);
            if (tables.values.at(0).at(0).ToLong() > 0)
                Raise(err::DatabaseExists, "Database already exists: '" + name_ + "' holds tables.");
        }
    }

    std::vector<Column> Describe(const std::string& sql) override {
        Result prepared(PQprepare(conn_, "", sql.c_str(), 0, nullptr));
        if (!prepared.Ok()) FailQuery(prepared, sql);
        Result described(PQdescribePrepared(conn_, ""));
        if (!described.Ok()) FailQuery(described, sql);
        return Columns(described.p, true);
    }

    Rows Query(const std::string& sql, const std::vector<Variant>& params) override { return Fetch(sql, params, true); }

    int64_t Change(const std::string& sql, const std::vector<Variant>& params) override {
        Result r = Run(sql, params);
        if (!r.Ok()) Fail(r, err::ReadOnly, "Cannot update");
        return std::strtoll(PQcmdTuples(r.p), nullptr, 10);
    }

    void Execute(const std::string& sql) override {
        tables_.clear();  // the statements may change tables
        Result r(PQexec(conn_, sql.c_str()));
        if (!r.Ok()) Fail(r, r.State() == "42P01" ? err::TableNotFound : err::SyntaxErrorInQuery, "Statement failed");
    }

    std::string PrimaryKey(const std::string& table) override {
        for (const auto& [oid, info] : tables_)
            if (info.ref == table) return info.key;
        Rows r = Fetch("SELECT $1::regclass::oid", {Variant(table)}, false);
        return Table(static_cast<Oid>(std::strtoul(r.values.at(0).at(0).ToString().c_str(), nullptr, 10))).key;
    }

    // Unquoted names fold to lower case on the server (ASCII letters only).
    std::string TableRef(std::string_view name) const override {
        std::string lower(name);
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return QuoteIdent(lower);
    }
    std::string Param(int n) const override { return "$" + std::to_string(n); }

    void BeginWrite() override { Execute("BEGIN"); }
    std::string LockSuffix() const override { return " FOR UPDATE"; }
    void Commit() override {
        Result r(PQexec(conn_, "COMMIT"));
        if (!r.Ok()) Fail(r, err::ReadOnly, "Cannot update");
    }
    void Rollback() noexcept override { PQclear(PQexec(conn_, "ROLLBACK")); }

private:
    // `origins`: which table each column comes from; off for the catalogue queries that find it out.
    Rows Fetch(const std::string& sql, const std::vector<Variant>& params, bool origins) {
        Result r = Run(sql, params);
        if (!r.Ok()) FailQuery(r, sql);
        Rows rows;
        rows.columns = Columns(r.p, origins);
        const int n = PQntuples(r.p), m = PQnfields(r.p);
        rows.values.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            std::vector<Variant> row;
            row.reserve(static_cast<size_t>(m));
            for (int j = 0; j < m; ++j) {
                row.push_back(PQgetisnull(r.p, i, j) ? Variant::Null()
                                                     : ReadValue(PQgetvalue(r.p, i, j), PQftype(r.p, j)));
            }
            rows.values.push_back(std::move(row));
        }
        return rows;
    }

    Result Run(const std::string& sql, const std::vector<Variant>& params) {
        std::vector<std::optional<std::string>> texts;
        texts.reserve(params.size());
        for (const auto& p : params) texts.push_back(ParamText(p));
        std::vector<const char*> values;
        for (const auto& t : texts) values.push_back(t ? t->c_str() : nullptr);
        return Result(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                   nullptr, nullptr, 0));
    }

    [[noreturn]] void Fail(const Result& r, com::ErrorCode code, const std::string& what) const {
        const std::string why = Why(r);
        if (PQstatus(conn_) != CONNECTION_OK) Raise(err::ServerCallFailed, what + " on '" + name_ + "': " + why);
        const std::string state = r.State();
        // Lock wait timed out, deadlock, serialisation failure.
        if (state == "55P03" || state == "40P01" || state == "40001") Raise(err::Locked, what + ": " + why);
        Raise(code, what + ": " + why);
    }

    [[noreturn]] void FailQuery(const Result& r, const std::string& sql) const {
        const std::string state = r.State();
        if (PQstatus(conn_) == CONNECTION_OK && state != "55P03" && state != "40P01" && state != "40001")
            RaiseQueryError(state == "42P01", sql, Why(r));
        Fail(r, err::SyntaxErrorInQuery, "Query failed");
    }

    std::string Why(const Result& r) const { return Trimmed(r.p ? PQresultErrorMessage(r.p) : PQerrorMessage(conn_)); }

    std::vector<Column> Columns(const PGresult* r, bool origins) {
        std::vector<Column> columns;
        const int n = PQnfields(r);
        for (int i = 0; i < n; ++i) {
            Column c;
            c.name = PQfname(r, i);
            c.kind = KindOf(PQftype(r, i));
            if (const Oid table = origins ? PQftable(r, i) : InvalidOid; table != InvalidOid) {
                const TableInfo& info = Table(table);
                if (auto it = info.columns.find(PQftablecol(r, i)); it != info.columns.end()) {
                    c.table = info.ref;
                    c.origin = it->second;
                }
            }
            columns.push_back(std::move(c));
        }
        return columns;
    }

    const TableInfo& Table(Oid oid) {
        if (auto it = tables_.find(oid); it != tables_.end()) return it->second;
        Rows r = Fetch(
            "SELECT quote_ident(n.nspname) || '.' || quote_ident(c.relname), a.attnum, a.attname, "
            "EXISTS (SELECT 1 FROM pg_catalog.pg_index i WHERE i.indrelid = c.oid AND i.indisprimary "
            "AND i.indnatts = 1 AND i.indkey[0] = a.attnum) "
            "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
            "WHERE c.oid = $1",
            {Variant(std::to_string(oid))}, false);
        TableInfo info;
        for (const auto& row : r.values) {
            info.ref = row[0].ToString();
            info.columns[row[1].ToLong()] = row[2].ToString();
            if (row[3].ToBool()) info.key = row[2].ToString();
        }
        return tables_[oid] = std::move(info);
    }

    std::string name_;
    Handle handle_;
    PGconn* conn_ = nullptr;
    std::map<Oid, TableInfo> tables_;
};

}  // namespace

}  // namespace kado::dao::engine

// Failures throw com::Error, as the engine interface says; the caller owns the connection.
extern "C" __attribute__((visibility("default"))) kado::dao::engine::Connection* kado_dao_pg_open(const char* uri,
                                                                                                   bool create) {
    return new kado::dao::engine::PgConnection(uri, create);
}
