// Whole-file writes that a crash or a full disk cannot leave half done: the
// settings store and saved documents both go through here.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace kado::com {

// Why a write failed: the step ("mkstemp", "write", "fsync", "close", "rename")
// and the system's error code. Each caller turns it into its own error value.
class WriteFailure : public std::system_error {
public:
    WriteFailure(const char* step, int error) : std::system_error(error, std::generic_category(), step), step_(step) {}
    const char* Step() const noexcept { return step_; }

private:
    const char* step_;
};

// Writes the bytes to a hidden temporary file beside the target, syncs it and
// renames it over the target, which then has the permission bits `mode`. On
// failure the temporary file is removed, the target stays as it was and
// WriteFailure is thrown. Temporary files of the target left by a writer that
// was killed are removed first. The target's folder must exist.
// Test mode: with KADO_CRASH_AT set to before-write, mid-write, before-rename
// or after-rename the process is killed (SIGKILL) at that point.
// A target that is a symbolic link is written through: the file it points to
// (at the end of its chain of links) gets the bytes, the link stays.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes, int mode = 0644);

// The path at the end of a chain of symbolic links (relative links taken from
// their own folder); the path itself when it is no link. A loop or a chain of
// more than 40 links gives the path as it stands.
std::filesystem::path ResolveLinks(const std::filesystem::path& path);

// A file a dead writer left: the pid that follows `prefix` at the start of
// `name`, when that process is gone (not this one); `rest` gets what follows
// the pid's digits. None for any other name.
std::optional<long> DeadWriter(std::string_view name, std::string_view prefix, std::string_view* rest = nullptr);

// Test mode: kills the process (SIGKILL) when KADO_CRASH_AT names this point.
void CrashPoint(const char* point);

}  // namespace kado::com
