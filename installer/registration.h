// Starting the registration tool for one library: a process of its own that
// the installer does not wait for, and whose end it can look at later.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace kado::setup {

// One started registration. The tool runs detached; a watcher process beside
// it sends the tool's wait status through a pipe when it ends.
class StartedRegistration {
public:
    enum class State { Running, Succeeded, Failed };

    StartedRegistration(std::filesystem::path library, int resultFd) noexcept;
    StartedRegistration(StartedRegistration&& other) noexcept;
    StartedRegistration& operator=(StartedRegistration&& other) noexcept;
    StartedRegistration(const StartedRegistration&) = delete;
    StartedRegistration& operator=(const StartedRegistration&) = delete;
    ~StartedRegistration();

    // Waits at most `limit` for the tool's end; Running while it goes on.
    State Poll(std::chrono::milliseconds limit);
    // Why it failed, for the window and the log (German); empty otherwise.
    const std::string& Why() const noexcept { return why_; }
    const std::filesystem::path& Library() const noexcept { return library_; }

private:
    std::filesystem::path library_;
    int fd_ = -1;
    State state_ = State::Running;
    std::string why_;
};

// Runs `tool library` detached (new session, not a child the installer has to
// reap), without a shell. Returns once the tool has been started; throws
// com::Error (75) when it cannot be started.
StartedRegistration StartRegistration(const std::filesystem::path& tool, const std::filesystem::path& library);

}  // namespace kado::setup
