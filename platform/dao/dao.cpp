// Workspace, Database and Recordset over either engine (engine.h).
//
// A recordset is a keyset: the rows it holds are fixed when it opens. Without
// dbSeeChanges it keeps the values it read then. With dbSeeChanges a row is
// read again from the database each time it becomes the current row
// (MoveFirst, MoveNext), so it shows what other users have committed since;
// a row they deleted reads as error 3167. Re-reading needs the row's key, so
// recordsets that cannot be edited read once, either way.
//
// Editable are recordsets on one table with a one-column primary key: the
// table by name (its rows in key order), or a SELECT of its columns alone (no
// expressions, no joins, not DISTINCT, no alias). Update is optimistic: in one transaction it locks the row,
// compares it with the values this recordset last read, and writes only when
// they are the same; otherwise error 3197 and nothing is written.
#include "platform/dao/dao.h"

#include <cctype>
#include <cmath>
#include <filesystem>

#include "platform/com/fault_plan.h"
#include "platform/dao/engine.h"
#include "platform/dao/fold.h"

namespace kado::dao {
namespace {

using com::Raise;
using com::Variant;
using engine::Column;
using engine::Kind;
using engine::QuoteIdent;

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

// The one table every column is read from, or empty.
std::string SingleTable(const std::vector<Column>& columns) {
    std::string table;
    for (const auto& c : columns) {
        if (c.table.empty() || (!table.empty() && c.table != table)) return {};
        table = c.table;
    }
    return table;
}

// A value as the column stores it: numbers into numeric columns (text read
// the German way), so both engines get the same typed value.
Variant Coerce(const Variant& v, Kind kind) {
    if (v.IsNull() || v.IsEmpty()) return Variant::Null();
    if (v.IsObject()) Raise(com::err::TypeMismatch);
    switch (kind) {
    case Kind::Long: return Variant(v.ToLong());
    case Kind::Double: return Variant(v.ToDouble());
    case Kind::Boolean: return Variant(v.ToBool());
    case Kind::Date: return Variant(v.ToDate());
    case Kind::Text:
    case Kind::Untyped: break;
    }
    return v;
}

bool SameValue(const Variant& a, const Variant& b) {
    if (a.Type() != b.Type()) return false;
    switch (a.Type()) {
    case com::VarType::Empty:
    case com::VarType::Null: return true;
    case com::VarType::Boolean: return a.ToBool() == b.ToBool();
    case com::VarType::Integer:
    case com::VarType::Long: return a.ToLong() == b.ToLong();
    case com::VarType::Single:
    case com::VarType::Double: {
        const double x = a.ToDouble(), y = b.ToDouble();
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    case com::VarType::Date: return a.ToDate() == b.ToDate();
    case com::VarType::String: return a.ToString() == b.ToString();
    case com::VarType::Object: return false;
    }
    return false;
}

bool SameRow(const std::vector<Variant>& a, const std::vector<Variant>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameValue(a[i], b[i])) return false;
    return true;
}

}  // namespace

struct Database::Impl {
    std::unique_ptr<engine::Connection> conn;
    std::string name;
    bool holding = false;
    bool inTransaction = false;  // holding, and the first update began it
    Database::HeldState held;

    // A failed write while holding: everything held goes, the failure stays.
    void Failed(const com::Error& e) {
        if (!holding) return;
        if (!held.failure) held.failure = e;
        if (inTransaction) conn->Rollback();
        inTransaction = false;
    }
};

namespace {

// Runs a write call, keeping its failure (an injected one too) for the holder.
template <class Body>
void Watched(Database::Impl& db, Body&& body) {
    try {
        body();
    } catch (const com::Error& e) {
        db.Failed(e);
        throw;
    }
}

}  // namespace

struct Recordset::Impl {
    std::shared_ptr<Database::Impl> db;
    std::vector<Column> columns;
    std::vector<std::vector<Variant>> rows;
    std::vector<bool> deleted;  // found gone when read again
    // Editable recordsets only: the table, its key column and each row's key.
    std::string table;
    std::string key;
    std::vector<Variant> keys;
    bool seeChanges = false;
    size_t pos = 0;
    bool editing = false;
    std::vector<Variant> buffer;
    std::vector<bool> changed;

    bool HasCurrent() const { return pos < rows.size(); }
    void RequireCurrent() const {
        if (!HasCurrent()) Raise(err::NoCurrentRecord);
        if (deleted[pos]) Raise(err::RecordDeleted);
    }
    size_t IndexOf(std::string_view name) const {
        for (size_t i = 0; i < columns.size(); ++i)
            if (NamesEqual(columns[i].name, name)) return i;
        Raise(err::ItemNotFound);
    }

    // The current row as the table holds it now; nothing when it is gone.
    std::optional<std::vector<Variant>> ReadCurrent(bool lock) {
        std::string list;
        for (const auto& c : columns) list += (list.empty() ? "" : ", ") + QuoteIdent(c.origin);
        auto& conn = *db->conn;
        auto now = conn.Query("SELECT " + list + " FROM " + table + " WHERE " + QuoteIdent(key) + " = " +
                                  conn.Param(1) + (lock ? conn.LockSuffix() : ""),
                              {keys[pos]});
        if (now.values.empty()) return std::nullopt;
        return std::move(now.values.front());
    }

    // dbSeeChanges: a row that becomes current is read again.
    void Arrive() {
        editing = false;
        if (!seeChanges || table.empty() || !HasCurrent()) return;
        auto now = ReadCurrent(false);
        deleted[pos] = !now;
        if (now) rows[pos] = std::move(*now);
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
    impl_->pos = 0;
    impl_->Arrive();
}

void Recordset::MoveNext() {
    KADO_FAULT_PROBE(Dao);
    if (!impl_->HasCurrent()) Raise(err::NoCurrentRecord);
    ++impl_->pos;
    impl_->Arrive();
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
    Watched(*impl_->db, [&] {
        KADO_FAULT_PROBE(Dao);
        impl_->RequireCurrent();
        if (impl_->table.empty()) Raise(err::ReadOnly);
        impl_->buffer = impl_->rows[impl_->pos];
        impl_->changed.assign(impl_->columns.size(), false);
        impl_->editing = true;
    });
}

void Recordset::SetField(std::string_view name, const Variant& value) {
    Watched(*impl_->db, [&] {
        KADO_FAULT_PROBE(Dao);
        size_t i = impl_->IndexOf(name);
        if (!impl_->editing) Raise(err::UpdateWithoutEdit);
        impl_->buffer[i] = Coerce(value, impl_->columns[i].kind);
        impl_->changed[i] = true;
    });
}

void Recordset::Update() {
    Watched(*impl_->db, [&] { Write(); });
}

void Recordset::Write() {
    KADO_FAULT_PROBE(Dao);
    auto& m = *impl_;
    if (!m.editing) Raise(err::UpdateWithoutEdit);
    m.editing = false;
    auto& conn = *m.db->conn;
    std::string set;
    std::vector<Variant> params;
    std::optional<Variant> newKey;
    for (size_t i = 0; i < m.columns.size(); ++i) {
        if (!m.changed[i]) continue;
        params.push_back(m.buffer[i]);
        set += (set.empty() ? "" : ", ") + QuoteIdent(m.columns[i].origin) + " = " +
               conn.Param(static_cast<int>(params.size()));
        if (m.columns[i].origin == m.key) newKey = m.buffer[i];
    }
    if (params.empty()) return;
    params.push_back(m.keys[m.pos]);
    const std::string sql = "UPDATE " + m.table + " SET " + set + " WHERE " + QuoteIdent(m.key) + " = " +
                            conn.Param(static_cast<int>(params.size()));
    auto& db = *m.db;
    if (db.holding && db.held.failure) throw *db.held.failure;  // the held transaction is gone
    const bool begin = !db.inTransaction;
    if (begin) conn.BeginWrite();
    if (db.holding) db.inTransaction = true;
    try {
        auto now = m.ReadCurrent(true);
        if (!now) {
            m.deleted[m.pos] = true;
            Raise(err::RecordDeleted);
        }
        if (!SameRow(*now, m.rows[m.pos])) {
            // The recordset shows the row as the other user left it, so a
            // new Edit starts from there.
            m.rows[m.pos] = std::move(*now);
            Raise(err::WriteConflict);
        }
        // A trigger or rule can still take the row away under the update.
        if (conn.Change(sql, params) == 0) {
            m.deleted[m.pos] = true;
            Raise(err::RecordDeleted);
        }
        if (newKey) m.keys[m.pos] = *newKey;
        // What the table now holds, typed as a fresh read types it.
        if (auto written = m.ReadCurrent(false)) m.rows[m.pos] = std::move(*written);
        if (db.holding) {
            ++db.held.updates;
        } else {
            conn.Commit();
        }
    } catch (...) {
        // Held: Failed rolls back everything held, once the error has been kept.
        if (!db.holding) conn.Rollback();
        throw;
    }
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

void Database::HoldWrites() { impl_->holding = true; }

Database::HeldState Database::Held() const { return impl_->held; }

void Database::CommitHeld() {
    auto& m = *impl_;
    m.held = {};
    if (!m.inTransaction) return;
    m.inTransaction = false;
    try {
        m.conn->Commit();
    } catch (...) {
        m.conn->Rollback();
        throw;
    }
}

void Database::RollbackHeld() noexcept {
    auto& m = *impl_;
    if (m.inTransaction) m.conn->Rollback();
    m.inTransaction = false;
    m.held = {};
}

void Database::Execute(std::string_view sql) {
    KADO_FAULT_PROBE(Dao);
    impl_->conn->Execute(std::string(sql));
}

std::shared_ptr<Recordset> Database::OpenRecordset(std::string_view source, int type, int options) {
    KADO_FAULT_PROBE(Dao);
    if (type != dbOpenDynaset) Raise(err::InvalidArgument);
    if (options != 0 && options != dbSeeChanges) Raise(err::InvalidArgument);
    auto& conn = *impl_->conn;
    const std::string src(source);
    const bool byName = IsIdentifier(src);
    std::string sql = byName ? "SELECT * FROM " + conn.TableRef(src) : src;
    const auto columns = conn.Describe(sql);
    if (columns.empty()) Raise(err::InvalidArgument);

    auto impl = std::make_unique<Recordset::Impl>();
    impl->db = impl_;
    impl->seeChanges = options == dbSeeChanges;
    // Editable: read the rows with their key in front.
    const std::string table = SingleTable(columns);
    const std::string key = table.empty() ? std::string() : conn.PrimaryKey(table);
    // A table by name in key order: a server keeps no order of its own.
    if (byName && !key.empty()) sql += " ORDER BY " + QuoteIdent(key);
    const size_t at = AfterSelect(sql);
    engine::Rows rows;
    if (!key.empty() && at != std::string::npos) {
        try {
            rows = conn.Query(sql.substr(0, at) + " " + table + "." + QuoteIdent(key) + "," + sql.substr(at));
            if (rows.columns.size() == columns.size() + 1 && rows.columns[0].table == table &&
                rows.columns[0].origin == key) {
                impl->table = table;
                impl->key = key;
                for (auto& row : rows.values) {
                    impl->keys.push_back(row.front());
                    row.erase(row.begin());
                }
                rows.columns.erase(rows.columns.begin());
            }
        } catch (const com::Error&) {
            // The query names the table differently (an alias): read-only.
        }
    }
    if (impl->table.empty()) rows = conn.Query(sql);
    impl->columns = std::move(rows.columns);
    impl->rows = std::move(rows.values);
    impl->deleted.assign(impl->rows.size(), false);
    return std::make_shared<Recordset>(std::move(impl));
}

bool IsServerUri(std::string_view path) {
    return path.rfind("postgresql://", 0) == 0 || path.rfind("postgres://", 0) == 0;
}

std::string WithoutPasswords(std::string_view text) {
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t uri = std::string_view::npos;
        for (std::string_view scheme : {"postgresql://", "postgres://"}) {
            const size_t p = text.find(scheme, at);
            if (p < uri) uri = p;
        }
        if (uri == std::string_view::npos) break;
        size_t end = uri;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != '"' &&
               text[end] != '\'' && text[end] != ')')
            ++end;
        // A colon or full stop after it belongs to the sentence.
        while (end > uri && (text[end - 1] == ':' || text[end - 1] == '.' || text[end - 1] == ',' || text[end - 1] == ';'))
            --end;
        out += text.substr(at, uri - at);
        out += engine::Redacted(text.substr(uri, end - uri));
        at = end;
    }
    out += text.substr(at);
    return out;
}

namespace {

std::shared_ptr<Database> Open(std::string_view path, bool create) {
    auto impl = std::make_shared<Database::Impl>();
    impl->name = std::string(path);
    impl->conn = IsServerUri(path) ? engine::OpenPostgres(impl->name, create) : engine::OpenSqlite(impl->name, create);
    return std::make_shared<Database>(impl);
}

}  // namespace

std::shared_ptr<Database> Workspace::OpenDatabase(std::string_view path) {
    KADO_FAULT_PROBE(Dao);
    std::error_code ec;
    if (!IsServerUri(path) && !std::filesystem::is_regular_file(std::filesystem::path(std::string(path)), ec))
        Raise(err::FileNotFound, "Could not find file '" + std::string(path) + "'.");
    return Open(path, false);
}

std::shared_ptr<Database> Workspace::CreateDatabase(std::string_view path) {
    KADO_FAULT_PROBE(Dao);
    std::error_code ec;
    if (!IsServerUri(path) && std::filesystem::exists(std::filesystem::path(std::string(path)), ec))
        Raise(err::DatabaseExists);
    return Open(path, true);
}

}  // namespace kado::dao
