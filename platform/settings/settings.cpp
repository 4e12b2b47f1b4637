#include "platform/settings/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/com/atomic_file.h"
#include "platform/com/config_home.h"
#include "platform/com/error.h"
#include "platform/com/fault_plan.h"

namespace kado::settings {
namespace {

namespace fs = std::filesystem;
using com::Error;
using com::Raise;
namespace err = com::err;

struct Entry {
    std::string key;
    std::string value;
};

struct Section {
    std::string name;
    std::vector<Entry> entries;
};

// The whole store in file order, so a rewrite keeps what it does not touch.
using Store = std::vector<Section>;

std::string Trim(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return std::string(s.substr(b, e - b));
}

// Values are stored escaped so a line break or a leading blank cannot break the line format.
std::string Escape(std::string_view v) {
    std::string out;
    for (char c : v) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    if (!out.empty() && out.front() == ' ') out.replace(0, 1, "\\s");
    if (!out.empty() && out.back() == ' ') out.replace(out.size() - 1, 1, "\\s");
    return out;
}

std::string Unescape(std::string_view v) {
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        char n = v[++i];
        switch (n) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 's': out += ' '; break;
            default: out += n;
        }
    }
    return out;
}

// Keys and section names are part of the line syntax; characters that would
// change its meaning are refused rather than silently mangled.
void CheckName(std::string_view what, std::string_view name, bool isKey) {
    if (name.empty()) Raise(err::InvalidProcedureCall, std::string("Empty setting ") + std::string(what));
    for (char c : name) {
        if (c == '\n' || c == '\r' || c == ']' || c == '[' || (isKey && c == '=')) {
            Raise(err::InvalidProcedureCall,
                  "Invalid character in setting " + std::string(what) + " '" + std::string(name) + "'");
        }
    }
    if (Trim(name) != name) {
        Raise(err::InvalidProcedureCall, "Setting " + std::string(what) + " must not start or end with blanks");
    }
}

Store Parse(const std::string& text) {
    Store store;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t.front() == '[' && t.back() == ']') {
            store.push_back({t.substr(1, t.size() - 2), {}});
            continue;
        }
        auto eq = t.find('=');
        if (eq == std::string::npos || store.empty()) continue;
        store.back().entries.push_back({Trim(t.substr(0, eq)), Unescape(Trim(t.substr(eq + 1)))});
    }
    return store;
}

std::string Serialize(const Store& store) {
    std::string out;
    for (const auto& sec : store) {
        if (sec.entries.empty()) continue;
        if (!out.empty()) out += '\n';
        out += '[' + sec.name + "]\n";
        for (const auto& e : sec.entries) out += e.key + '=' + Escape(e.value) + '\n';
    }
    return out;
}

// Reads the store; a missing file is an empty store. One open and read: the
// plug-in's log looks its folder up here for every entry it writes.
Store Load(const fs::path& path) {
    // A store is a few lines; anything this large is not one.
    constexpr size_t kMostBytes = 16 << 20;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return {};
        Raise(err::PermissionDenied, "Cannot read settings file " + path.string());
    }
    std::string text;
    char buf[16 << 10];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        // A folder in the store's place reads as an empty store, as it always has.
        if (n < 0 && errno == EISDIR && text.empty()) break;
        if (n < 0 || text.size() + static_cast<size_t>(n) > kMostBytes) {
            ::close(fd);
            Raise(err::PermissionDenied, "Cannot read settings file " + path.string());
        }
        if (n == 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return Parse(text);
}

[[noreturn]] void WriteFailed(const fs::path& path, int e) {
    Raise(err::PermissionDenied, "Cannot write settings file " + path.string() + ": " + std::strerror(e));
}

// The whole store in one atomic write: a crash or a full disk leaves either
// the old or the new file, never a half-written one.
void StoreAtomically(const fs::path& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) WriteFailed(path, ec.value());
    try {
        com::WriteFileAtomically(path, text, 0600);
    } catch (const com::WriteFailure& f) {
        WriteFailed(path, f.code().value());
    }
}

}  // namespace

fs::path StorePath(std::string_view application) {
    KADO_FAULT_PROBE(Settings);
    CheckName("application", application, false);
    if (application.find('/') != std::string_view::npos || application == "." || application == "..") {
        Raise(err::BadFileName, "Invalid application name '" + std::string(application) + "'");
    }
    return com::ConfigHome() / std::string(application) / "settings.ini";
}

std::string StoreStamp(std::string_view application) {
    KADO_FAULT_PROBE(Settings);
    struct stat st {};
    if (::stat(StorePath(application).c_str(), &st) != 0) return {};
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' + std::to_string(st.st_size) + ':' +
           std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec) + ':' +
           std::to_string(st.st_ctim.tv_sec) + '.' + std::to_string(st.st_ctim.tv_nsec);
}

std::string GetSetting(std::string_view application, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
    KADO_FAULT_PROBE(Settings);
    CheckName("section", section, false);
    CheckName("key", key, true);
    Store store = Load(StorePath(application));
    for (const auto& sec : store) {
        if (sec.name != section) continue;
        for (const auto& e : sec.entries) {
            if (e.key == key) return e.value;
        }
    }
    return std::string(defaultValue);
}

void SaveSetting(std::string_view application, std::string_view section, std::string_view key,
                 std::string_view value) {
    KADO_FAULT_PROBE(Settings);
    CheckName("section", section, false);
    CheckName("key", key, true);
    fs::path path = StorePath(application);
    Store store = Load(path);
    // A hand-edited file may name a section or a key twice. Reading takes the
    // first, so every copy gets the value and a new key goes into the first
    // section: what is saved is what the next read returns.
    Section* first = nullptr;
    bool done = false;
    bool changed = false;
    for (auto& sec : store) {
        if (sec.name != section) continue;
        if (first == nullptr) first = &sec;
        for (auto& e : sec.entries) {
            if (e.key == key) {
                changed = changed || e.value != value;
                e.value = std::string(value);
                done = true;
            }
        }
    }
    // The store says so already (a window closed where it opened): no rewrite,
    // which would cost two flushes to disk for nothing.
    if (done && !changed) return;
    if (!done) {
        if (first == nullptr) {
            store.push_back({std::string(section), {}});
            first = &store.back();
        }
        first->entries.push_back({std::string(key), std::string(value)});
    }
    StoreAtomically(path, Serialize(store));
}

void DeleteSetting(std::string_view application, std::string_view section, std::string_view key) {
    KADO_FAULT_PROBE(Settings);
    CheckName("section", section, false);
    CheckName("key", key, true);
    fs::path path = StorePath(application);
    Store store = Load(path);
    bool changed = false;
    for (auto& sec : store) {
        if (sec.name != section) continue;
        auto before = sec.entries.size();
        std::erase_if(sec.entries, [&](const Entry& e) { return e.key == key; });
        changed = changed || sec.entries.size() != before;
    }
    if (changed) StoreAtomically(path, Serialize(store));
}

}  // namespace kado::settings
