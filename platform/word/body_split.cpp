#include "body_split.h"

#include <cctype>

namespace kado::word::detail {
namespace {

bool NameEnd(char c) { return c == '>' || c == '/' || std::isspace(static_cast<unsigned char>(c)); }

// The name of the tag whose name starts at `from`.
std::string_view NameAt(std::string_view x, size_t from) {
    size_t e = from;
    while (e < x.size() && !NameEnd(x[e])) ++e;
    return x.substr(from, e - from);
}

// Its local part, as the reader compares names.
std::string_view Local(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Whether an XML declaration names an encoding other than UTF-8; the parser
// converts such parts, and offsets into them are not offsets into the bytes read.
bool OtherEncoding(std::string_view decl) {
    const size_t at = decl.find("encoding");
    if (at == std::string_view::npos) return false;
    const size_t q = decl.find_first_of("\"'", at);
    if (q == std::string_view::npos) return true;
    const size_t e = decl.find(decl[q], q + 1);
    if (e == std::string_view::npos) return true;
    const std::string_view v = decl.substr(q + 1, e - q - 1);
    if (v.size() != 5) return true;
    static constexpr std::string_view kUtf8 = "utf-8";
    for (size_t i = 0; i < v.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(v[i])) != kUtf8[i]) return true;
    return false;
}

}  // namespace

std::optional<BodySplit> SplitBody(std::string_view x) {
    const size_t n = x.size();
    size_t i = 0;
    if (x.starts_with("\xEF\xBB\xBF")) i = 3;
    else if (n >= 2 && (x[0] == '\0' || x[1] == '\0' || static_cast<unsigned char>(x[0]) >= 0xFE)) return std::nullopt;
    BodySplit s;
    bool inBody = false;
    // Names of the open elements: an end tag that closes another leaves the
    // part to the whole parse, whose error names the place.
    std::vector<std::string_view> open;
    for (;;) {
        i = x.find('<', i);
        if (i == std::string_view::npos) return std::nullopt;
        const std::string_view at = x.substr(i);
        if (at.starts_with("<!--")) {
            const size_t e = x.find("-->", i + 4);
            if (e == std::string_view::npos) return std::nullopt;
            i = e + 3;
        } else if (at.starts_with("<![CDATA[")) {
            const size_t e = x.find("]]>", i + 9);
            if (open.empty() || e == std::string_view::npos) return std::nullopt;
            i = e + 3;
        } else if (at.starts_with("<?")) {
            const size_t e = x.find("?>", i + 2);
            if (e == std::string_view::npos) return std::nullopt;
            const std::string_view pi = x.substr(i, e - i);
            if (pi.size() > 5 && pi.substr(2, 3) == "xml" && std::isspace(static_cast<unsigned char>(pi[5])) &&
                OtherEncoding(pi))
                return std::nullopt;
            i = e + 2;
        } else if (at.starts_with("<!")) {
            return std::nullopt;
        } else if (at.starts_with("</")) {
            const size_t e = x.find('>', i);
            if (e == std::string_view::npos || open.size() < 2 || NameAt(x, i + 2) != open.back()) return std::nullopt;
            open.pop_back();
            if (inBody && open.size() == 1) {
                s.close = i;
                return s;
            }
            i = e + 1;
        } else {
            // The tag ends at the first '>' outside a quoted attribute value.
            size_t j = i + 1;
            char quote = 0;
            for (; j < n; ++j) {
                const char c = x[j];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                } else if (c == '<') {
                    return std::nullopt;
                }
            }
            if (j >= n) return std::nullopt;
            const bool empty = x[j - 1] == '/';
            const std::string_view name = NameAt(x, i + 1);
            if (name.empty()) return std::nullopt;
            if (inBody && open.size() == 2) s.children.push_back(i);
            if (!inBody && open.size() == 1 && Local(name) == "body") {
                if (empty) return std::nullopt;
                inBody = true;
                s.open = j + 1;
            }
            if (!empty) open.push_back(name);
            i = j + 1;
        }
    }
}

}  // namespace kado::word::detail
