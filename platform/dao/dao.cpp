#include "platform/dao/dao.h"

#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/com/fault_plan.h"
#include "platform/dao/fold.h"

namespace kado::dao {
namespace {

using com::Raise;
using com::Variant;

enum class Kind { Long, Double, Text, Boolean, Date, Untyped };

Kind KindOf(const char* decl) {
    if (!decl) return Kind::Untyped;
    std::string d = FoldAscii(decl);
    if (d.find("BOOL") != std::string::npos) return Kind::Boolean;
    if (d.find("DATE") != std::string::npos || d.find("TIME") != std::string::npos) return Kind::Date;
    if (d.find("INT") != std::string::npos) return Kind::Long;
    if (d.find("CHAR") != std::string::npos || d.find("TEXT") != std::string::npos || d.find("CLOB") != std::string::npos)
        return Kind::Text;
    if (d.find("REAL") != std::string::npos || d.find("FLOA") != std::string::npos || d.find("DOUB") != std::string::npos ||
        d.find("NUM") != std::string::npos || d.find("DEC") != std::string::npos)
        return Kind::Double;
    return Kind::Untyped;
}

Variant FromInt64(sqlite3_int64 v) {
    if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
    return Variant(static_cast<double>(v));
}

std::optional<com::Date> ParseIsoDate(const std::string& s) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    int n = std::sscanf(s.c_str(), "%4d-%2d-%2d%*1[ T]%2d:%2d:%2d", &y, &mo, &d, &h, &mi, &se);
    if (n != 3 && n != 6) return std::nullopt;
    com::Date date = com::Date::FromYmd(y, mo, d);
    if (n == 6) date.serial += (h * 3600 + mi * 60 + se) / 86400.0;
    return date;
}

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

std::string IsoDate(const com::Date& d) {
    int y = 0, m = 0, day = 0;
    d.ToYmd(y, m, day);
    char buf[64];
    if (!d.HasTime()) {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, day);
    } else {
        double frac = d.serial - std::floor(d.serial);
        long secs = std::lround(frac * 86400.0);
        if (secs >= 86400) secs = 86399;
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02ld:%02ld:%02ld", y, m, day, secs / 3600, secs / 60 % 60,
                      secs % 60);
    }
    return buf;
}

void Bind(sqlite3_stmt* st, int idx, const Variant& v, Kind kind) {
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
        if (kind == Kind::Long || kind == Kind::Double) {
            // The column is numeric: store the number the text stands for.
            if (kind == Kind::Long) sqlite3_bind_int64(st, idx, v.ToLong());
            else sqlite3_bind_double(st, idx, v.ToDouble());
            return;
        }
        sqlite3_bind_text(st, idx, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
        return;
    }
    case com::VarType::Object: Raise(com::err::TypeMismatch);
    }
}

struct Stmt {
    sqlite3_stmt* p = nullptr;
    ~Stmt() { sqlite3_finalize(p); }
};

std::string QuoteIdent(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace

struct Database::Impl {
    sqlite3* db = nullptr;
    std::string name;
    ~Impl() { sqlite3_close(db); }

    [[noreturn]] void Fail(com::ErrorCode code, const std::string& what) const {
        Raise(code, what + ": " + sqlite3_errmsg(db));
    }
};

struct Column {
    std::string name;
    Kind kind = Kind::Untyped;
    std::string origin;  // column of the edited table, empty for an expression
};

struct Recordset::Impl {
    std::shared_ptr<Database::Impl> db;
    std::vector<Column> columns;
    std::vector<std::vector<Variant>> rows;
    std::vector<sqlite3_int64> rowids;
    std::string table;  // empty: read-only
    size_t pos = 0;
    bool editing = false;
    std::vector<Variant> buffer;
    std::vector<bool> changed;

    bool HasCurrent() const { return pos < rows.size(); }
    void RequireCurrent() const {
        if (!HasCurrent()) Raise(err::NoCurrentRecord);
    }
    size_t IndexOf(std::string_view name) const {
        for (size_t i = 0; i < columns.size(); ++i)
            if (NamesEqual(columns[i].name, name)) return i;
        Raise(err::ItemNotFound);
    }
};

Recordset::Recordset(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Recordset::~Recordset() = default;

bool Recordset::BOF() const {
    KADO_FAULT_PROBE(Dao);
    return impl_->rows.empty();
}
bool Recordset::EOF_() const {
    KADO_FAULT_PROBE(Dao);
    return !impl_->HasCurrent();
}
int Recordset::RecordCount() const {
    KADO_FAULT_PROBE(Dao);
    return static_cast<int>(impl_->rows.size());
}

void Recordset::MoveFirst() {
    KADO_FAULT_PROBE(Dao);
    if (impl_->rows.empty()) Raise(err::NoCurrentRecord);
    impl_->editing = false;
    impl_->pos = 0;
}

void Recordset::MoveNext() {
    KADO_FAULT_PROBE(Dao);
    impl_->RequireCurrent();
    impl_->editing = false;
    ++impl_->pos;
}

Variant Recordset::Field(std::string_view name) const {
    KADO_FAULT_PROBE(Dao);
    size_t i = impl_->IndexOf(name);
    impl_->RequireCurrent();
    return impl_->editing ? impl_->buffer[i] : impl_->rows[impl_->pos][i];
}

std::vector<std::string> Recordset::FieldNames() const {
    KADO_FAULT_PROBE(Dao);
    std::vector<std::string> out;
    for (const auto& c : impl_->columns) out.push_back(c.name);
    return out;
}

void Recordset::Edit() {
    KADO_FAULT_PROBE(Dao);
    impl_->RequireCurrent();
    if (impl_->table.empty()) Raise(err::ReadOnly);
    impl_->buffer = impl_->rows[impl_->pos];
    impl_->changed.assign(impl_->columns.size(), false);
    impl_->editing = true;
}

void Recordset::SetField(std::string_view name, const Variant& value) {
    KADO_FAULT_PROBE(Dao);
    size_t i = impl_->IndexOf(name);
    if (!impl_->editing) Raise(err::UpdateWithoutEdit);
    if (impl_->columns[i].origin.empty()) Raise(err::ReadOnly);
    if (value.IsObject()) Raise(com::err::TypeMismatch);
    impl_->buffer[i] = value;
    impl_->changed[i] = true;
}

void Recordset::Update() {
    KADO_FAULT_PROBE(Dao);
    auto& m = *impl_;
    if (!m.editing) Raise(err::UpdateWithoutEdit);
    std::string sql;
    std::vector<size_t> cols;
    for (size_t i = 0; i < m.columns.size(); ++i) {
        if (!m.changed[i]) continue;
        sql += sql.empty() ? "" : ", ";
        sql += QuoteIdent(m.columns[i].origin) + " = ?";
        cols.push_back(i);
    }
    if (!cols.empty()) {
        sql = "UPDATE " + QuoteIdent(m.table) + " SET " + sql + " WHERE rowid = ?";
        Stmt st;
        if (sqlite3_prepare_v2(m.db->db, sql.c_str(), -1, &st.p, nullptr) != SQLITE_OK)
            m.db->Fail(err::ReadOnly, "Cannot update");
        int idx = 1;
        for (size_t i : cols) Bind(st.p, idx++, m.buffer[i], m.columns[i].kind);
        sqlite3_bind_int64(st.p, idx, m.rowids[m.pos]);
        if (sqlite3_step(st.p) != SQLITE_DONE) m.db->Fail(err::ReadOnly, "Cannot update");
        // Show what the table now holds, typed as a fresh read would type it.
        std::string back;
        for (size_t i : cols) back += (back.empty() ? "" : ", ") + QuoteIdent(m.columns[i].origin);
        back = "SELECT " + back + " FROM " + QuoteIdent(m.table) + " WHERE rowid = ?";
        Stmt rd;
        if (sqlite3_prepare_v2(m.db->db, back.c_str(), -1, &rd.p, nullptr) == SQLITE_OK) {
            sqlite3_bind_int64(rd.p, 1, m.rowids[m.pos]);
            if (sqlite3_step(rd.p) == SQLITE_ROW) {
                int k = 0;
                for (size_t i : cols) m.buffer[i] = ReadColumn(rd.p, k++, m.columns[i].kind);
            }
        }
    }
    m.rows[m.pos] = m.buffer;
    m.editing = false;
}

void Recordset::CancelUpdate() {
    KADO_FAULT_PROBE(Dao);
    if (!impl_->editing) Raise(err::UpdateWithoutEdit);
    impl_->editing = false;
}

Database::Database(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::~Database() = default;
const std::string& Database::Name() const {
    KADO_FAULT_PROBE(Dao);
    return impl_->name;
}

void Database::Execute(std::string_view sql) {
    KADO_FAULT_PROBE(Dao);
    std::string text(sql);
    char* msg = nullptr;
    if (sqlite3_exec(impl_->db, text.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
        std::string why = msg ? msg : "error";
        sqlite3_free(msg);
        Raise(why.find("no such table") != std::string::npos ? err::TableNotFound : err::SyntaxErrorInQuery,
              why);
    }
}

namespace {

bool IsIdentifier(std::string_view s) {
    if (s.empty()) return false;
    for (unsigned char c : s)
        if (!(std::isalnum(c) || c == '_' || c >= 0x80)) return false;
    return true;
}

// Offset just after a leading SELECT keyword (not SELECT DISTINCT), or npos.
size_t AfterSelect(const std::string& q) {
    size_t i = 0;
    while (i < q.size() && std::isspace(static_cast<unsigned char>(q[i]))) ++i;
    if (q.size() < i + 7 || FoldAscii(q.substr(i, 6)) != "SELECT" || !std::isspace(static_cast<unsigned char>(q[i + 6])))
        return std::string::npos;
    size_t j = i + 6;
    while (j < q.size() && std::isspace(static_cast<unsigned char>(q[j]))) ++j;
    if (FoldAscii(q.substr(j, 8)) == "DISTINCT") return std::string::npos;
    return i + 6;
}

// The one table every column comes from, or empty.
std::string SingleOrigin(sqlite3_stmt* st, int from) {
    std::string table;
    int n = sqlite3_column_count(st);
    for (int i = from; i < n; ++i) {
        const char* t = sqlite3_column_table_name(st, i);
        if (!t) continue;
        if (table.empty()) table = t;
        else if (table != t) return {};
    }
    return table;
}

}  // namespace

std::shared_ptr<Recordset> Database::OpenRecordset(std::string_view source, int type, int options) {
    KADO_FAULT_PROBE(Dao);
    if (type != dbOpenDynaset) Raise(err::InvalidArgument);
    if (options != 0 && options != dbSeeChanges) Raise(err::InvalidArgument);
    sqlite3* db = impl_->db;
    std::string src(source);
    std::string sql;
    std::string table;
    bool isTable = IsIdentifier(src);
    if (isTable) {
        sql = "SELECT rowid, * FROM " + QuoteIdent(src);
        table = src;
    } else {
        sql = src;
    }

    Stmt st;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st.p, &tail) != SQLITE_OK) {
        std::string why = sqlite3_errmsg(db);
        if (why.find("no such table") != std::string::npos) {
            Raise(err::TableNotFound, "The database engine cannot find the input table or query '" +
                                               src + "'. (" + why + ")");
        }
        Raise(err::SyntaxErrorInQuery, "Syntax error in query expression '" + src + "': " + why);
    }
    if (!st.p || sqlite3_column_count(st.p) == 0) Raise(err::InvalidArgument);

    int first = isTable ? 1 : 0;
    if (!isTable) {
        // A single-table SELECT stays editable: read its rows with their rowid.
        std::string t = SingleOrigin(st.p, 0);
        size_t at = AfterSelect(src);
        bool all = !t.empty();
        for (int i = 0; all && i < sqlite3_column_count(st.p); ++i)
            if (!sqlite3_column_table_name(st.p, i)) all = false;
        if (all && at != std::string::npos) {
            std::string withId = src.substr(0, at) + " " + QuoteIdent(t) + ".rowid," + src.substr(at);
            Stmt st2;
            if (sqlite3_prepare_v2(db, withId.c_str(), -1, &st2.p, nullptr) == SQLITE_OK &&
                SingleOrigin(st2.p, 0) == t) {
                std::swap(st.p, st2.p);
                table = t;
                first = 1;
            }
        }
    }

    auto impl = std::make_unique<Recordset::Impl>();
    impl->db = impl_;
    impl->table = table;
    int n = sqlite3_column_count(st.p);
    for (int i = first; i < n; ++i) {
        Column c;
        c.name = sqlite3_column_name(st.p, i);
        c.kind = KindOf(sqlite3_column_decltype(st.p, i));
        const char* t = sqlite3_column_table_name(st.p, i);
        const char* o = sqlite3_column_origin_name(st.p, i);
        if (!table.empty() && t && o && table == t) c.origin = o;
        impl->columns.push_back(std::move(c));
    }
    int rc = 0;
    while ((rc = sqlite3_step(st.p)) == SQLITE_ROW) {
        std::vector<Variant> row;
        row.reserve(impl->columns.size());
        for (int i = first; i < n; ++i) row.push_back(ReadColumn(st.p, i, impl->columns[i - first].kind));
        impl->rows.push_back(std::move(row));
        impl->rowids.push_back(first ? sqlite3_column_int64(st.p, 0) : 0);
    }
    if (rc != SQLITE_DONE) impl_->Fail(err::SyntaxErrorInQuery, "Query failed");
    return std::make_shared<Recordset>(std::move(impl));
}

namespace {

std::shared_ptr<Database> Open(std::string_view path, int flags) {
    auto impl = std::make_shared<Database::Impl>();
    impl->name = std::string(path);
    if (sqlite3_open_v2(impl->name.c_str(), &impl->db, flags, nullptr) != SQLITE_OK)
        Raise(err::CannotOpenDatabase, "Cannot open database '" + impl->name + "': " + sqlite3_errmsg(impl->db));
    sqlite3_busy_timeout(impl->db, 5000);
    // Reading the schema proves the file is a database.
    char* msg = nullptr;
    if (sqlite3_exec(impl->db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &msg) != SQLITE_OK) {
        std::string why = msg ? msg : "";
        sqlite3_free(msg);
        Raise(err::FileNotDatabase, "Unrecognized database format '" + impl->name + "'. (" + why + ")");
    }
    return std::make_shared<Database>(impl);
}

}  // namespace

std::shared_ptr<Database> Workspace::OpenDatabase(std::string_view path) {
    KADO_FAULT_PROBE(Dao);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::path(std::string(path)), ec))
        Raise(err::FileNotFound, "Could not find file '" + std::string(path) + "'.");
    return Open(path, SQLITE_OPEN_READWRITE);
}

std::shared_ptr<Database> Workspace::CreateDatabase(std::string_view path) {
    KADO_FAULT_PROBE(Dao);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(std::string(path)), ec))
        Raise(err::DatabaseExists);
    return Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

}  // namespace kado::dao
