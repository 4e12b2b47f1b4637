#include <cctype>
#include <cmath>

#include "platform/com/numtext.h"
#include "platform/dao/dao.h"

namespace kado::dao {
namespace {

[[noreturn]] void Mismatch() { com::Raise(com::err::TypeMismatch, "Type mismatch"); }

std::string FromDouble(double d) {
    if (!std::isfinite(d)) Mismatch();
    return com::DotText(d);
}

// Text that holds only a plain decimal number (optional sign, digits,
// optional "." or "," fraction) passes; anything else could change the query.
std::string FromText(const std::string& t) {
    size_t b = 0, e = t.size();
    while (b < e && t[b] == ' ') ++b;
    while (e > b && t[e - 1] == ' ') --e;
    std::string out;
    size_t i = b;
    if (i < e && (t[i] == '-' || t[i] == '+')) {
        if (t[i] == '-') out += '-';
        ++i;
    }
    bool digits = false, point = false;
    for (; i < e; ++i) {
        auto c = static_cast<unsigned char>(t[i]);
        if (std::isdigit(c)) {
            out += static_cast<char>(c);
            digits = true;
        } else if ((c == '.' || c == ',') && !point) {
            out += '.';
            point = true;
        } else {
            Mismatch();
        }
    }
    if (!digits) Mismatch();
    if (out.back() == '.') out.pop_back();
    return out;
}

}  // namespace

std::string SqlNumber(const com::Variant& value) {
    switch (value.Type()) {
    case com::VarType::Null:
    case com::VarType::Object: Mismatch();
    case com::VarType::Empty: return "0";
    case com::VarType::Boolean: return value.ToBool() ? "-1" : "0";
    case com::VarType::Integer:
    case com::VarType::Long: return std::to_string(value.ToLong());
    case com::VarType::String: return FromText(value.ToString());
    default: return FromDouble(value.ToDouble());
    }
}

}  // namespace kado::dao
