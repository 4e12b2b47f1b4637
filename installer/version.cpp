#include "installer/version.h"

#ifndef KADO_VERSION_MAJOR
#error "KADO_VERSION_MAJOR, KADO_VERSION_MINOR and KADO_REVISION come from the build"
#endif

namespace kado::setup {

std::string VersionText() {
    return "Version " + std::to_string(KADO_VERSION_MAJOR) + "." + std::to_string(KADO_VERSION_MINOR) +
           " Revision " + std::to_string(KADO_REVISION);
}

}  // namespace kado::setup
