// Small readers shared by the e-invoice's units: trimmed texts and the
// fields of a query's first row.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/dao/dao.h"

namespace kado::host::einvoicing::fields {

inline std::string Trim(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r\n\a\v");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n\a\v");
    return std::string(s.substr(b, e - b + 1));
}

// A field of the current row as trimmed text; "" for Null.
inline std::string TrimmedField(dao::Recordset& rs, std::string_view name) {
    const auto v = rs.Field(name);
    return v.IsNull() || v.IsEmpty() ? std::string() : Trim(v.ToString());
}

// The first row of a query, or null when it has none.
inline std::shared_ptr<dao::Recordset> FirstRow(dao::Database& db, const std::string& sql) {
    auto rs = db.OpenRecordset(sql);
    return rs->EOF_() ? nullptr : rs;
}

}  // namespace kado::host::einvoicing::fields
