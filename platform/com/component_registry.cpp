#include "platform/com/component_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

#include "platform/com/atomic_file.h"
#include "platform/com/config_home.h"
#include "platform/com/error.h"

namespace kado::com {

namespace fs = std::filesystem;

namespace {

// A registry is a few lines per installed component; anything larger is not one.
constexpr std::uintmax_t kMaxRegistryBytes = 1 << 20;

bool Plain(std::string_view field) {
    return !field.empty() && field.find_first_of("\t\r\n") == std::string_view::npos;
}

std::string ReadRegistry(const fs::path& file) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec) return {};  // no registry yet
    if (size > kMaxRegistryBytes) Raise(err::PathFileAccess, "Component registry too large: " + file.string());
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Holds an exclusive lock on the registry's lock file for one read-modify-write.
class RegistryLock {
public:
    explicit RegistryLock(const fs::path& file) {
        std::error_code ec;
        fs::create_directories(file.parent_path(), ec);
        const fs::path lock = fs::path(file).concat(".lock");
        fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) Raise(err::PermissionDenied, "Component registry cannot be locked: " + lock.string() + ": " + std::strerror(errno));
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd_);
            Raise(err::PermissionDenied, "Component registry cannot be locked: " + lock.string() + ": " + std::strerror(e));
        }
    }
    ~RegistryLock() { ::close(fd_); }  // closing releases the lock
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;

private:
    int fd_ = -1;
};

template <class Change>
void Modify(const fs::path& file, Change&& change) {
    RegistryLock lock(file);
    auto entries = ParseRegistry(ReadRegistry(file));
    if (!change(entries)) return;
    try {
        WriteFileAtomically(file, FormatRegistry(entries));
    } catch (const WriteFailure& e) {
        Raise(err::PathFileAccess, "Component registry not written: " + file.string() + ": " + e.what());
    }
}

}  // namespace

fs::path DefaultRegistryPath() { return ConfigHome() / "KadoKomponenten" / "registry.txt"; }

std::vector<Registration> ParseRegistry(std::string_view text) {
    std::vector<Registration> entries;
    while (!text.empty()) {
        const size_t eol = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(std::min(eol + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t a = line.find('\t');
        const size_t b = a == std::string_view::npos ? a : line.find('\t', a + 1);
        if (b == std::string_view::npos) continue;
        const auto progId = line.substr(0, a), clsid = line.substr(a + 1, b - a - 1), library = line.substr(b + 1);
        if (!Plain(progId) || !Plain(clsid) || !Plain(library)) continue;
        if (std::any_of(entries.begin(), entries.end(), [&](const auto& e) { return e.progId == progId; })) continue;
        entries.push_back({std::string(progId), std::string(clsid), fs::path(std::string(library))});
    }
    return entries;
}

std::string FormatRegistry(const std::vector<Registration>& entries) {
    std::string text;
    for (const auto& e : entries) text += e.progId + '\t' + e.clsid + '\t' + e.library.string() + '\n';
    return text;
}

ComponentRegistry::ComponentRegistry(fs::path file) : file_(std::move(file)) {}

void ComponentRegistry::Register(const Registration& r) const {
    if (!Plain(r.progId) || !Plain(r.clsid) || !Plain(r.library.string()))
        Raise(err::InvalidProcedureCall, "Invalid registration for '" + r.progId + "'");
    Modify(file_, [&](std::vector<Registration>& entries) {
        auto it = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.progId == r.progId; });
        if (it != entries.end()) {
            if (*it == r) return false;
            *it = r;
        } else {
            entries.push_back(r);
        }
        return true;
    });
}

bool ComponentRegistry::Unregister(std::string_view progId) const {
    bool removed = false;
    Modify(file_, [&](std::vector<Registration>& entries) {
        removed = std::erase_if(entries, [&](const auto& e) { return e.progId == progId; }) > 0;
        return removed;
    });
    return removed;
}

std::optional<Registration> ComponentRegistry::Find(std::string_view progId) const {
    for (auto& e : All())
        if (e.progId == progId) return e;
    return std::nullopt;
}

std::vector<Registration> ComponentRegistry::All() const { return ParseRegistry(ReadRegistry(file_)); }

}  // namespace kado::com
