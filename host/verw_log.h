// Where the component's error log lies for the host, and how many entries
// it holds, so a host command can tell what a run logged.
#pragma once

#include <filesystem>

namespace kado::host {

// The host's program directory (setting "Pfade"/"Programm") when set, else temp.
std::filesystem::path LogFile();

// Number of entries in the log; 0 when it does not exist.
int LogEntries(const std::filesystem::path& log);

}  // namespace kado::host
