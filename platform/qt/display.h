// Whether windows can be shown, without loading Qt: a program that opens its
// window from a module it loads on demand asks this first.
#pragma once

#include <cstdlib>
#include <string_view>

namespace kado::qtview {

// True when windows can be shown: a display is set and Qt is not told to draw offscreen.
inline bool DisplayAvailable() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && std::string_view(platform).starts_with("offscreen")) return false;
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

}  // namespace kado::qtview
