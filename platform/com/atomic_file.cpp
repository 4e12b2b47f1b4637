#include "platform/com/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kado::com {
namespace {

namespace fs = std::filesystem;

// ".Rechnung.docx.~" : hidden, and no name a user would open as a document.
std::string TempPrefix(const fs::path& target) { return "." + target.filename().string() + ".~"; }

// Temporary files of the target whose writer was killed mid-save: their
// process is gone, so nothing will rename or remove them any more.
void SweepOrphans(const fs::path& dir, const std::string& prefix) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string_view rest;
        if (DeadWriter(it->path().filename().string(), prefix, &rest) && rest.rfind('.', 0) == 0)
            fs::remove(it->path(), ec), ec.clear();
    }
}

// The rename itself is made durable by syncing the folder; a folder that
// cannot be synced costs durability, not the save.
void SyncFolder(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

std::optional<long> DeadWriter(std::string_view name, std::string_view prefix, std::string_view* rest) {
    if (name.substr(0, prefix.size()) != prefix) return std::nullopt;
    long pid = 0;
    const char* first = name.data() + prefix.size();
    const auto [end, parsed] = std::from_chars(first, name.data() + name.size(), pid);
    if (parsed != std::errc() || end == first || pid <= 0 || pid == ::getpid()) return std::nullopt;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) return std::nullopt;
    if (rest) *rest = name.substr(static_cast<size_t>(end - name.data()));
    return pid;
}

// KADO_CRASH_AT names the point of a write at which the process is killed
// outright, as a power cut or kill -9 would end it there.
void CrashPoint(const char* point) {
    const char* at = std::getenv("KADO_CRASH_AT");
    if (at != nullptr && std::strcmp(at, point) == 0) ::raise(SIGKILL);
}

fs::path ResolveLinks(const fs::path& path) {
    fs::path p = path;
    std::error_code ec;
    for (int hops = 0; fs::is_symlink(p, ec); ++hops) {
        if (hops == 40) return path;
        const fs::path link = fs::read_symlink(p, ec);
        if (ec) return path;
        p = link.is_absolute() ? link : (p.has_parent_path() ? p.parent_path() : fs::path(".")) / link;
    }
    return p.lexically_normal();
}

void WriteFileAtomically(const std::filesystem::path& link, std::string_view bytes, int mode) {
    const fs::path target = ResolveLinks(link);
    const auto dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    const std::string prefix = TempPrefix(target);
    SweepOrphans(dir, prefix);
    // Beside the target, so the rename stays within one filesystem; the pid
    // tells a later writer whether the file's owner still lives.
    std::string tmp = (dir / (prefix + std::to_string(::getpid()) + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) throw WriteFailure("mkstemp", errno);
    const char* step = nullptr;
    int error = 0;
    const auto failed = [&](const char* what) {
        if (step == nullptr) {
            step = what;
            error = errno;
        }
    };
    // mkstemp creates the file 0600; the mode is a wish, not worth a failed save.
    (void)::fchmod(fd, static_cast<mode_t>(mode));
    CrashPoint("before-write");
    for (size_t done = 0; done < bytes.size() && step == nullptr;) {
        if (done > 0) CrashPoint("mid-write");
        // Half first, so a crash point lies between two writes.
        const size_t chunk = done == 0 && bytes.size() > 1 ? bytes.size() / 2 : bytes.size() - done;
        const ssize_t n = ::write(fd, bytes.data() + done, chunk);
        if (n >= 0) {
            done += static_cast<size_t>(n);
        } else if (errno != EINTR) {
            failed("write");
        }
    }
    if (step == nullptr && ::fsync(fd) != 0) failed("fsync");
    if (::close(fd) != 0) failed("close");
    if (step == nullptr) CrashPoint("before-rename");
    if (step == nullptr && std::rename(tmp.c_str(), target.c_str()) != 0) failed("rename");
    if (step != nullptr) {
        ::unlink(tmp.c_str());
        throw WriteFailure(step, error);
    }
    CrashPoint("after-rename");
    SyncFolder(dir);
}

}  // namespace kado::com
