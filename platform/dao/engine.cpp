#include "platform/dao/engine.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/dao/error.h"
#include "platform/dao/fold.h"

namespace kado::dao::engine {

Kind KindOfDeclared(std::string_view type) {
    const std::string d = FoldAscii(type);
    auto has = [&](const char* part) { return d.find(part) != std::string::npos; };
    if (has("BOOL")) return Kind::Boolean;
    if (has("DATE") || has("TIME")) return Kind::Date;
    if (has("INT")) return Kind::Long;
    if (has("CHAR") || has("TEXT") || has("CLOB")) return Kind::Text;
    if (has("REAL") || has("FLOA") || has("DOUB") || has("NUM") || has("DEC")) return Kind::Double;
    return Kind::Untyped;
}

com::Variant FromInt64(int64_t v) {
    if (v >= INT32_MIN && v <= INT32_MAX) return com::Variant(static_cast<int32_t>(v));
    return com::Variant(static_cast<double>(v));
}

std::optional<com::Date> ParseIsoDate(const std::string& s) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    int n = std::sscanf(s.c_str(), "%4d-%2d-%2d%*1[ T]%2d:%2d:%2d", &y, &mo, &d, &h, &mi, &se);
    if (n != 3 && n != 6) return std::nullopt;
    com::Date date = com::Date::FromYmd(y, mo, d);
    if (n == 6) date.serial += (h * 3600 + mi * 60 + se) / 86400.0;
    return date;
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

std::string QuoteIdent(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

void RaiseQueryError(bool unknownTable, const std::string& sql, const std::string& why) {
    if (unknownTable)
        com::Raise(err::TableNotFound,
                   "The database engine cannot find the input table or query '" + sql + "'. (" + why + ")");
    com::Raise(err::SyntaxErrorInQuery, "Syntax error in query expression '" + sql + "': " + why);
}

std::string Redacted(std::string_view uri) {
    std::string out(uri);
    const size_t scheme = out.find("://");
    if (scheme != std::string::npos) {
        const size_t start = scheme + 3;
        const size_t at = out.find('@', start);
        const size_t slash = out.find('/', start);
        if (at != std::string::npos && (slash == std::string::npos || at < slash)) {
            const size_t colon = out.find(':', start);
            if (colon != std::string::npos && colon < at) out.replace(colon + 1, at - colon - 1, "***");
        }
    }
    // password=, any case, or percent-encoded as password%3D inside options.
    std::string folded = out;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::string_view key : {"password=", "password%3d"}) {
        for (size_t p = folded.find(key); p != std::string::npos; p = folded.find(key, p + 1)) {
            const size_t from = p + key.size();
            size_t end = from;
            while (end < folded.size() && folded[end] != '&' && folded[end] != ' ') ++end;
            if (end == from || folded.compare(from, end - from, "***") == 0) continue;
            out.replace(from, end - from, "***");
            folded.replace(from, end - from, "***");
        }
    }
    return out;
}

}  // namespace kado::dao::engine
