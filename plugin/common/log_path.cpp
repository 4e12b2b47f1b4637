#include "plugin/common/log_path.h"

#include <optional>
#include <string>
#include <system_error>

#include "platform/settings/settings.h"

namespace honora {

namespace fs = std::filesystem;

namespace {

std::string ProgramFolder() { return kado::settings::GetSetting("KadoVerwaltung", "Pfade", "Programm"); }

std::optional<fs::path> InFolder(const std::string& dir) noexcept {
    try {
        std::error_code ec;
        if (!dir.empty() && fs::is_directory(dir, ec)) return fs::path(dir) / "Verw.log";
    } catch (...) {
    }
    return std::nullopt;
}

fs::path InTemp() noexcept {
    try {
        return fs::temp_directory_path() / "Verw.log";
    } catch (...) {
        return fs::path("/tmp/Verw.log");
    }
}

}  // namespace

fs::path LogPath() noexcept {
    std::string dir;
    try {
        dir = ProgramFolder();
    } catch (...) {
    }
    if (auto inFolder = InFolder(dir)) return *inFolder;
    return InTemp();
}

fs::path LogPathMemo::Get() noexcept {
    try {
        std::string stamp = kado::settings::StoreStamp("KadoVerwaltung");
        if (stamp.empty() || stamp != stamp_) {
            stamp_.clear();  // unknown until the read below succeeds
            dir_ = ProgramFolder();
            stamp_ = std::move(stamp);
        }
        if (auto inFolder = InFolder(dir_)) return *inFolder;
        if (!temp_) temp_ = InTemp();
        return *temp_;
    } catch (...) {
        // As LogPath(): a store that cannot be read sends the entry to the temp folder.
        stamp_.clear();
        return InTemp();
    }
}

}  // namespace honora
