#include "platform/com/config_home.h"

#include <cstdlib>

#include "platform/com/error.h"

namespace kado::com {

std::filesystem::path ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') Raise(err::PathNotFound, "No configuration directory (HOME not set)");
    return std::filesystem::path(home) / ".config";
}

}  // namespace kado::com
