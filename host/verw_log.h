// Where the component's error log lies for the host, and how many entries
// it holds, so a host command can tell what a run logged.
#pragma once

#include <cstdint>
#include <filesystem>

namespace kado::host {

// The host's program directory (setting "Pfade"/"Programm") when set, else temp.
std::filesystem::path LogFile();

// Size of the log in bytes; 0 when it does not exist.
std::uintmax_t LogSize(const std::filesystem::path& log);

// Number of entries in the log after its first `from` bytes (a run reads only
// what it appended, however long the log has grown); 0 when it does not exist.
int LogEntries(const std::filesystem::path& log, std::uintmax_t from = 0);

}  // namespace kado::host
