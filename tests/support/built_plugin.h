// The built plug-in entered into the current user's component registry by
// its own registration entry point, as the registration tool would.
#pragma once

#include <filesystem>

#include "platform/com/component_library.h"

namespace kado::testing {

inline std::filesystem::path BuiltPlugin() { return std::filesystem::path(KADO_BINARY_DIR) / "lib" / "libhonora.so"; }

inline void RegisterBuiltPlugin() { kado::com::CallRegistration(BuiltPlugin()); }

}  // namespace kado::testing
