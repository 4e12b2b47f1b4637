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

int LogEntries(const fs::path& log) {
    std::ifstream in(log);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Ort  : ", 0) == 0) ++n;
    return n;
}

}  // namespace kado::host
