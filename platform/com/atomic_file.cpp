#include "platform/com/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kado::com {

void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes, int mode) {
    const auto dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    // Beside the target, so the rename stays within one filesystem.
    std::string tmp = (dir / ("." + target.filename().string() + ".tmpXXXXXX")).string();
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
    for (size_t done = 0; done < bytes.size() && step == nullptr;) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n >= 0) {
            done += static_cast<size_t>(n);
        } else if (errno != EINTR) {
            failed("write");
        }
    }
    if (step == nullptr && ::fsync(fd) != 0) failed("fsync");
    if (::close(fd) != 0) failed("close");
    if (step == nullptr && std::rename(tmp.c_str(), target.c_str()) != 0) failed("rename");
    if (step != nullptr) {
        ::unlink(tmp.c_str());
        throw WriteFailure(step, error);
    }
}

}  // namespace kado::com
