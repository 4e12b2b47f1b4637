// The plug-in's failure model in one idiom: numbered statements that log a
// failure to Verw.log and carry on with the next statement.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/com/error.h"
#include "platform/com/error_log.h"
#include "platform/com/steps.h"
#include "plugin/common/log_path.h"

namespace honora {

using kado::com::Failure;
using kado::com::FailureFromCurrentException;

// Appends one entry to the error log (never throws) and returns "5".
std::string Problembehandlung(std::string_view moduleName, std::string_view procedureName,
                              const Failure& failure);

// The plug-in's log: Verw.log where LogPath() puts it at the time of the failure.
// A procedure that fails many times in a row reads the settings store once.
struct ComponentLog {
    void operator()(std::string_view moduleName, std::string_view procedureName,
                    const Failure& failure) const noexcept {
        kado::com::AppendErrorLogEntry(memo.Get(), moduleName, procedureName, failure);
    }
    void Many(std::string_view moduleName, std::string_view procedureName,
              std::span<const Failure> failures) const noexcept {
        kado::com::AppendErrorLogEntries(memo.Get(), moduleName, procedureName, failures);
    }
    mutable LogPathMemo memo;
};

// Usage:
//   Steps s("GebührenTabelle", "SummeBilden");
//   s(100, [&] { ... });
//   s(110, [&] { ... });
// Each call runs one statement; a throw is logged with the step number and
// the call returns false, so the procedure goes on with its next statement.
using Steps = kado::com::BasicSteps<ComponentLog>;

}  // namespace honora
