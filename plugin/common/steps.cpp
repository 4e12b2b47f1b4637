#include "plugin/common/steps.h"

#include "plugin/common/log_path.h"

namespace honora {

std::string Problembehandlung(std::string_view modulname, std::string_view funktionsname,
                              const Failure& failure) {
    try {
        kado::com::AppendErrorLogEntry(LogPath(), modulname, funktionsname, failure);
    } catch (...) {
    }
    return "5";
}

}  // namespace honora
