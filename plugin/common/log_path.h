// Where the component's error log Verw.log lies: the logger and the host both
// ask here, so they cannot disagree.
#pragma once

#include <filesystem>

namespace honora {

// Verw.log in the host's program folder (setting "KadoVerwaltung"/"Pfade"/"Programm")
// when that is set and exists, else in the system temp folder; never the root.
std::filesystem::path LogPath() noexcept;

}  // namespace honora
