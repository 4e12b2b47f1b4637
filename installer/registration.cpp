#include "installer/registration.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/com/error.h"

namespace kado::setup {
namespace {

// Closes a descriptor at scope end.
class Fd {
public:
    explicit Fd(int fd = -1) noexcept : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Close(); }
    int Get() const noexcept { return fd_; }
    void Close() noexcept {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

[[noreturn]] void CannotStart(const std::filesystem::path& tool, int error) {
    com::Raise(com::err::PathFileAccess, "Cannot start " + tool.string() + ": " + std::strerror(error));
}

}  // namespace

// Double fork: the intermediate child ends at once and is reaped here, so the
// tool is adopted by init and no zombie waits for a window that stays open.
// A close-on-exec pipe carries a failed exec's errno back; it closes empty when
// the exec succeeds, which is all the installer waits for.
void StartRegistration(const std::filesystem::path& tool, const std::filesystem::path& library) {
    // Everything the children need is built before fork: after it only
    // async-signal-safe calls are allowed.
    std::string toolText = tool.string();
    std::string libraryText = library.string();
    char* const argv[] = {toolText.data(), libraryText.data(), nullptr};

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) CannotStart(tool, errno);
    Fd readEnd(pipeFds[0]);
    Fd writeEnd(pipeFds[1]);

    const pid_t child = ::fork();
    if (child < 0) CannotStart(tool, errno);
    if (child == 0) {
        ::setsid();
        const pid_t tool_pid = ::fork();
        if (tool_pid == 0) {
            const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
            if (devnull >= 0) ::dup2(devnull, STDIN_FILENO);
            ::execv(argv[0], argv);
            const int error = errno;
            ssize_t n = ::write(writeEnd.Get(), &error, sizeof error);
            (void)n;
            ::_exit(127);
        }
        if (tool_pid < 0) {
            const int error = errno;
            ssize_t n = ::write(writeEnd.Get(), &error, sizeof error);
            (void)n;
        }
        ::_exit(0);
    }
    writeEnd.Close();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = ::read(readEnd.Get(), &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof error)) CannotStart(tool, error);
}

}  // namespace kado::setup
