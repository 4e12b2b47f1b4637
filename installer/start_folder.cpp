#include "installer/start_folder.h"

#include <system_error>

#include "platform/com/error.h"

namespace kado::setup {

std::filesystem::path StartFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) com::Raise(com::err::PathNotFound, "Der Ordner des Installationsprogramms ist nicht bekannt: " + ec.message());
    return self.parent_path();
}

}  // namespace kado::setup
