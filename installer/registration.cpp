#include "installer/registration.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "installer/reason.h"
#include "platform/com/error.h"

namespace kado::setup {
namespace {

// Closes a descriptor at scope end unless released.
class Fd {
public:
    explicit Fd(int fd = -1) noexcept : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Close(); }
    int Get() const noexcept { return fd_; }
    int Release() noexcept { return std::exchange(fd_, -1); }
    void Close() noexcept {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

[[noreturn]] void CannotStart(const std::filesystem::path& tool, int error) {
    com::Raise(com::err::PathFileAccess,
               "Das Registrierungsprogramm " + tool.string() + " kann nicht gestartet werden: " + Reason(error));
}

void Pipe(int fds[2], const std::filesystem::path& tool) {
    if (::pipe2(fds, O_CLOEXEC) != 0) CannotStart(tool, errno);
}

// Only async-signal-safe calls: it runs between fork and exec.
void Send(int fd, int value) noexcept {
    ssize_t n;
    do {
        n = ::write(fd, &value, sizeof value);
    } while (n < 0 && errno == EINTR);
}

}  // namespace

StartedRegistration::StartedRegistration(std::filesystem::path library, int resultFd) noexcept
    : library_(std::move(library)), fd_(resultFd) {}

StartedRegistration::StartedRegistration(StartedRegistration&& other) noexcept
    : library_(std::move(other.library_)),
      fd_(std::exchange(other.fd_, -1)),
      state_(other.state_),
      why_(std::move(other.why_)) {}

StartedRegistration& StartedRegistration::operator=(StartedRegistration&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        library_ = std::move(other.library_);
        fd_ = std::exchange(other.fd_, -1);
        state_ = other.state_;
        why_ = std::move(other.why_);
    }
    return *this;
}

StartedRegistration::~StartedRegistration() {
    if (fd_ >= 0) ::close(fd_);
}

StartedRegistration::State StartedRegistration::Poll(std::chrono::milliseconds limit) {
    if (state_ != State::Running) return state_;
    pollfd p{fd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, static_cast<int>(limit.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return state_;
    int status = 0;
    ssize_t got;
    do {
        got = ::read(fd_, &status, sizeof status);
    } while (got < 0 && errno == EINTR);
    ::close(fd_);
    fd_ = -1;
    if (got != static_cast<ssize_t>(sizeof status)) {
        why_ = "das Ende des Registrierungsprogramms ist unbekannt";
        state_ = State::Failed;
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        state_ = State::Succeeded;
    } else {
        why_ = WIFEXITED(status) ? "das Registrierungsprogramm endete mit Exit-Code " + std::to_string(WEXITSTATUS(status))
                                 : "das Registrierungsprogramm wurde durch Signal " + std::to_string(WTERMSIG(status)) +
                                       " beendet";
        state_ = State::Failed;
    }
    return state_;
}

// The tool is a grandchild of a short-lived child, so init adopts it and the
// installer never has a zombie to reap. Its parent, the watcher, stays beside
// it only to send its wait status through the result pipe. A close-on-exec
// start pipe carries a failed exec's errno back; it closes empty when the exec
// succeeds, which is all the installer waits for here.
StartedRegistration StartRegistration(const std::filesystem::path& tool, const std::filesystem::path& library) {
    // Everything the children need is built before fork: after it only
    // async-signal-safe calls are allowed.
    std::string toolText = tool.string();
    std::string libraryText = library.string();
    char* const argv[] = {toolText.data(), libraryText.data(), nullptr};

    int startFds[2];
    Pipe(startFds, tool);
    Fd startRead(startFds[0]);
    Fd startWrite(startFds[1]);
    int resultFds[2];
    Pipe(resultFds, tool);
    Fd resultRead(resultFds[0]);
    Fd resultWrite(resultFds[1]);

    const pid_t child = ::fork();
    if (child < 0) CannotStart(tool, errno);
    if (child == 0) {
        ::setsid();
        const pid_t watcher = ::fork();
        if (watcher == 0) {
            ::close(startRead.Get());
            ::close(resultRead.Get());
            const pid_t toolPid = ::fork();
            if (toolPid == 0) {
                const int devnull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
                if (devnull >= 0) ::dup2(devnull, STDIN_FILENO);
                ::execv(argv[0], argv);
                Send(startWrite.Get(), errno);
                ::_exit(127);
            }
            if (toolPid < 0) {
                Send(startWrite.Get(), errno);
                ::_exit(0);
            }
            // The installer reads the start pipe to its end: let go of it now.
            ::close(startWrite.Get());
            int status = 0;
            while (::waitpid(toolPid, &status, 0) < 0 && errno == EINTR) {
            }
            Send(resultWrite.Get(), status);
            ::_exit(0);
        }
        if (watcher < 0) Send(startWrite.Get(), errno);
        ::_exit(0);
    }
    startWrite.Close();
    resultWrite.Close();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    do {
        got = ::read(startRead.Get(), &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    if (got == static_cast<ssize_t>(sizeof error)) CannotStart(tool, error);
    return StartedRegistration(library, resultRead.Release());
}

}  // namespace kado::setup
