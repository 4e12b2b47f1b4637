// Starting the registration tool for one library: a process of its own that
// the installer does not wait for.
#pragma once

#include <filesystem>

namespace kado::setup {

// Runs `tool library` detached (new session, not a child the installer has to
// reap), without a shell. Returns once the tool has been started; throws
// com::Error (75) when it cannot be started.
void StartRegistration(const std::filesystem::path& tool, const std::filesystem::path& library);

}  // namespace kado::setup
