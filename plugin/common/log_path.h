// Where the component's error log Verw.log lies: the logger and the host both
// ask here, so they cannot disagree.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace honora {

// Verw.log in the host's program folder (setting "KadoVerwaltung"/"Pfade"/"Programm")
// when that is set and exists, else in the system temp folder; never the root.
std::filesystem::path LogPath() noexcept;

// LogPath() for one procedure's failures: the setting is read again only when
// its store is no longer the file it was, and the program folder is checked
// every time; the temp folder, the fallback, is looked up once.
class LogPathMemo {
public:
    std::filesystem::path Get() noexcept;

private:
    std::string stamp_;  // of the store dir_ was read from; empty: not read
    std::string dir_;
    std::optional<std::filesystem::path> temp_;
};

}  // namespace honora
