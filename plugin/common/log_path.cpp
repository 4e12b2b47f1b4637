#include "plugin/common/log_path.h"

#include <string>
#include <system_error>

#include "platform/settings/settings.h"

namespace honora {

namespace fs = std::filesystem;

fs::path LogPath() noexcept {
    try {
        std::string dir = kado::settings::GetSetting("KadoVerwaltung", "Pfade", "Programm");
        std::error_code ec;
        if (!dir.empty() && fs::is_directory(dir, ec)) return fs::path(dir) / "Verw.log";
    } catch (...) {
    }
    try {
        return fs::temp_directory_path() / "Verw.log";
    } catch (...) {
        return fs::path("/tmp/Verw.log");
    }
}

}  // namespace honora
