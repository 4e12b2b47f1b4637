#include "plugin/common/steps.h"

#include "plugin/common/log_path.h"

namespace honora {

std::string Problembehandlung(std::string_view moduleName, std::string_view procedureName,
                              const Failure& failure) {
    kado::com::AppendErrorLogEntry(LogPath(), moduleName, procedureName, failure);
    return "5";
}

}  // namespace honora
