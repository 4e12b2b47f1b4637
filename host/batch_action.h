// The actions of a batch run, as typed on kado-host's command line
// ("set mskX=12", "click optNr(3)", "ok"), parsed into values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kado::host {

struct Action {
    enum class Kind { Set, Text, Click, Select, Key, Choose, Cursor, Ok, Cancel };
    Kind kind = Kind::Ok;
    std::string control;  // control key: "mskBezug" or "optTabelle(3)"
    std::string text;     // Set/Text: the text; Key: one character (UTF-8)
    int number = 0;       // Select: entry index; Cursor: table number (from 1)
};

// The parsed action, or nothing with a message naming what is wrong.
std::optional<Action> ParseAction(std::string_view text, std::string& error);

// Whether the text is a control key: a name of letters, digits, '_' and
// umlauts of at most kMaxControlKey bytes, optionally followed by "(N)".
inline constexpr size_t kMaxControlKey = 64;
bool IsControlKey(std::string_view key);

// The text for a message: whole when short, else its first `chars` characters
// with "…" and the full count, so an oversized input cannot flood the terminal.
std::string Excerpt(std::string_view text, size_t chars = 24);

}  // namespace kado::host
