// The plug-in's failure model in one idiom: numbered statements that log a
// failure to Verw.log and carry on with the next statement.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/error.h"
#include "platform/com/error_log.h"
#include "platform/com/steps.h"

namespace honora {

using kado::com::Failure;
using kado::com::FailureFromCurrentException;

// Appends one entry to the error log (never throws) and returns "5".
std::string Problembehandlung(std::string_view moduleName, std::string_view procedureName,
                              const Failure& failure);

// The plug-in's log: Verw.log where LogPath() puts it at the time of the failure.
struct ComponentLog {
    void operator()(std::string_view moduleName, std::string_view procedureName,
                    const Failure& failure) const noexcept {
        Problembehandlung(moduleName, procedureName, failure);
    }
};

// Usage:
//   Steps s("GebührenTabelle", "SummeBilden");
//   s(100, [&] { ... });
//   s(110, [&] { ... });
// Each call runs one statement; a throw is logged with the step number and
// the call returns false, so the procedure goes on with its next statement.
using Steps = kado::com::BasicSteps<ComponentLog>;

}  // namespace honora
