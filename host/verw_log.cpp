#include "host/verw_log.h"

#include <fstream>
#include <string>
#include <system_error>

#include "platform/com/error.h"
#include "platform/settings/settings.h"

namespace kado::host {

namespace fs = std::filesystem;

fs::path LogFile() {
    std::string dir;
    try {
        dir = settings::GetSetting("KadoVerwaltung", "Pfade", "Programm");
    } catch (const com::Error&) {
    }
    std::error_code ec;
    if (!dir.empty() && fs::is_directory(dir, ec)) return fs::path(dir) / "Verw.log";
    return fs::temp_directory_path() / "Verw.log";
}

std::uintmax_t LogSize(const fs::path& log) {
    std::error_code ec;
    const auto size = fs::file_size(log, ec);
    return ec ? 0 : size;
}

int LogEntries(const fs::path& log, std::uintmax_t from) {
    std::ifstream in(log, std::ios::binary);
    // A log that shrank since (removed, rotated) is counted whole.
    if (from > 0 && LogSize(log) >= from) in.seekg(static_cast<std::streamoff>(from));
    int n = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Ort  : ", 0) == 0) ++n;
    return n;
}

}  // namespace kado::host
