#include "body_split.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace kado::word::detail {
namespace {

// Bytes a scan stops at: 1 ends a name (XML white space, '/', '>'), 2 matters
// inside a tag ('"', '\'', '>', '<', and the string's terminating NUL). The
// scan sees every byte of the part, so a table instead of a chain of tests.
struct Classes {
    unsigned char of[256] = {};
    constexpr Classes() {
        for (unsigned char c : {' ', '\t', '\n', '\r', '/'}) of[c] = 1;
        of[static_cast<unsigned char>('>')] = 3;
        of[0] = 3;
        for (unsigned char c : {'"', '\'', '<'}) of[c] = 2;
    }
};
constexpr Classes kClass;
bool NameEnd(char c) { return kClass.of[static_cast<unsigned char>(c)] & 1; }
bool InTag(char c) { return kClass.of[static_cast<unsigned char>(c)] & 2; }

// x.find(c, from) for what usually stands a few bytes on (the next tag, the
// end of an attribute value): a library call per tag would cost more than the bytes.
size_t FindNear(std::string_view x, char c, size_t from) {
    for (size_t end = std::min(x.size(), from + 16); from < end; ++from)
        if (x[from] == c) return from;
    return x.find(c, from);
}

bool Space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Whether t is end tags and white space only.
bool OnlyEndTags(std::string_view t) {
    size_t i = 0;
    while (i < t.size()) {
        if (Space(t[i])) {
            ++i;
            continue;
        }
        if (t.substr(i, 2) != "</") return false;
        i += 2;
        const size_t from = i;
        while (i < t.size() && !NameEnd(t[i]) && !InTag(t[i]) && t[i] != '!' && t[i] != '?') ++i;
        if (i == from) return false;
        while (i < t.size() && Space(t[i])) ++i;
        if (i >= t.size() || t[i] != '>') return false;
        ++i;
    }
    return true;
}

// The local part of a name, as the reader compares names.
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

std::optional<BodySplit> SplitBody(const std::string& xml) {
    const std::string_view x = xml;
    const size_t n = x.size();
    size_t i = 0;
    if (x.starts_with("\xEF\xBB\xBF")) i = 3;
    else if (n >= 2 && (x[0] == '\0' || x[1] == '\0' || static_cast<unsigned char>(x[0]) >= 0xFE)) return std::nullopt;
    BodySplit s;
    // Names of the open elements before the body: an end tag that closes
    // another leaves the part to the whole parse, whose error names the place.
    std::vector<std::string_view> open;
    for (;;) {
        i = FindNear(x, '<', i);
        if (i == std::string_view::npos) return std::nullopt;
        const std::string_view at = x.substr(i);
        const char kind = at.size() > 1 ? at[1] : '\0';
        if (kind != '!' && kind != '?' && kind != '/') {
            // A start tag: its name, then up to the first '>' outside a quoted
            // attribute value. The string's NUL stops both loops at its end.
            const char* p = x.data();
            size_t j = i + 1;
            while (!NameEnd(p[j])) ++j;
            const std::string_view name = x.substr(i + 1, j - i - 1);
            for (;;) {
                while (!InTag(p[j])) ++j;
                if (p[j] != '"' && p[j] != '\'') break;
                const size_t e = FindNear(x, p[j], j + 1);
                if (e == std::string_view::npos) return std::nullopt;
                j = e + 1;
            }
            if (j >= n || p[j] != '>' || name.empty()) return std::nullopt;
            const bool empty = p[j - 1] == '/';
            if (open.size() == 1 && Local(name) == "body") {
                if (empty) return std::nullopt;
                s.open = j + 1;
                // Its end is the last end tag of its name when only end tags
                // follow it: such a tag cannot stand in a comment, CDATA, an
                // instruction or an attribute value, which would close later.
                const size_t close = x.rfind("</" + std::string(name));
                if (close == std::string_view::npos || close < s.open || !OnlyEndTags(x.substr(close))) return std::nullopt;
                if (x.compare(close + 2, name.size(), name) != 0 || !NameEnd(x[close + 2 + name.size()])) return std::nullopt;
                s.close = close;
                return s;
            }
            if (!empty) open.push_back(name);
            i = j + 1;
        } else if (at.starts_with("<!--")) {
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
        } else {
            // An end tag: it has to close the element open last.
            if (open.size() < 2) return std::nullopt;
            const std::string_view top = open.back();
            const size_t after = i + 2 + top.size();
            if (x.compare(i + 2, top.size(), top) != 0 || after >= n || !NameEnd(x[after])) return std::nullopt;
            const size_t e = FindNear(x, '>', after);
            if (e == std::string_view::npos) return std::nullopt;
            open.pop_back();
            i = e + 1;
        }
    }
}

}  // namespace kado::word::detail
