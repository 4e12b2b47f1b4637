#include "plugin/common/steps.h"

#include "plugin/common/log_path.h"

namespace honora {

std::string Problembehandlung(std::string_view moduleName, std::string_view procedureName,
                              const Failure& failure) {
    Problembehandlung(LogPath(), moduleName, procedureName, failure);
    return "5";
}

void Problembehandlung(const std::filesystem::path& log, std::string_view moduleName,
                       std::string_view procedureName, const Failure& failure) noexcept {
    kado::com::AppendErrorLogEntry(log, moduleName, procedureName, failure);
}

}  // namespace honora
