#include "host/batch_action.h"

#include <charconv>
#include <utility>

#include "platform/com/utf8.h"

namespace kado::host {
namespace {

bool NameChar(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

std::optional<int> Number(std::string_view s) {
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

std::string Excerpt(std::string_view text, size_t chars) {
    const std::u32string all = com::DecodeUtf8(text);
    if (all.size() <= chars) return std::string(text);
    return com::EncodeUtf8(all.substr(0, chars)) + "… (" + std::to_string(all.size()) + " Zeichen)";
}

bool IsControlKey(std::string_view key) {
    if (key.size() > kMaxControlKey) return false;
    size_t i = 0;
    while (i < key.size() && NameChar(static_cast<unsigned char>(key[i]))) ++i;
    if (i == 0 || (key[0] >= '0' && key[0] <= '9')) return false;
    if (i == key.size()) return true;
    if (key[i] != '(' || key.back() != ')') return false;
    const auto index = Number(key.substr(i + 1, key.size() - i - 2));
    return index && *index >= 0;
}

std::optional<Action> ParseAction(std::string_view text, std::string& error) {
    const auto blank = text.find(' ');
    const std::string_view verb = text.substr(0, blank);
    const std::string_view rest = blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
    using K = Action::Kind;
    const std::pair<std::string_view, K> verbs[] = {{"set", K::Set},       {"text", K::Text}, {"click", K::Click},
                                                    {"select", K::Select}, {"key", K::Key},   {"choose", K::Choose},
                                                    {"cursor", K::Cursor}, {"ok", K::Ok},     {"cancel", K::Cancel}};
    std::optional<K> kind;
    for (const auto& [name, k] : verbs)
        if (verb == name) kind = k;
    if (!kind) {
        error = "unbekannte Aktion \"" + std::string(verb) + "\" (set, text, click, select, key, choose, cursor, ok, cancel)";
        return std::nullopt;
    }
    Action a;
    a.kind = *kind;
    const auto needKey = [&](std::string_view key) {
        if (IsControlKey(key)) return true;
        error = std::string(verb) + ": \"" + Excerpt(key) + "\" ist kein Steuerelementname";
        return false;
    };
    switch (a.kind) {
        case K::Ok:
        case K::Cancel:
            if (!rest.empty()) {
                error = std::string(verb) + " erwartet nichts weiter";
                return std::nullopt;
            }
            return a;
        case K::Click:
        case K::Choose:
            if (!needKey(rest)) return std::nullopt;
            a.control = rest;
            return a;
        case K::Cursor: {
            const auto k = Number(rest);
            if (!k || *k < 1) {
                error = "cursor erwartet eine Tabellennummer ab 1";
                return std::nullopt;
            }
            a.number = *k;
            return a;
        }
        case K::Set:
        case K::Text:
        case K::Select:
        case K::Key: {
            const auto eq = rest.find('=');
            if (eq == std::string_view::npos) {
                error = std::string(verb) + " erwartet NAME=WERT";
                return std::nullopt;
            }
            if (!needKey(rest.substr(0, eq))) return std::nullopt;
            a.control = rest.substr(0, eq);
            const std::string_view value = rest.substr(eq + 1);
            if (a.kind == K::Select) {
                const auto i = Number(value);
                if (!i || *i < -1) {
                    error = "select erwartet einen Eintrag ab 0 (oder -1 für keinen)";
                    return std::nullopt;
                }
                a.number = *i;
            } else if (a.kind == K::Key) {
                const auto chars = com::DecodeUtf8Strict(value);
                if (!chars || chars->size() != 1) {
                    error = "key erwartet genau ein Zeichen";
                    return std::nullopt;
                }
                a.text = value;
            } else {
                a.text = value;
            }
            return a;
        }
    }
    error = "unbekannte Aktion";
    return std::nullopt;
}

}  // namespace kado::host
