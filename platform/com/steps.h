// The failure idiom of every procedure: numbered statements whose failure is
// handed to an error log, after which the procedure goes on with the next one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/com/error_log.h"

namespace kado::com {

// Log is a callable (moduleName, procedureName, const Failure&) that never throws;
// it decides where the entry goes.
//
// Usage:
//   BasicSteps<MyLog> s("GebührenTabelle", "SummeBilden");
//   s(100, [&] { ... });
//   s(110, [&] { ... });
// Each call runs one statement; a throw is logged with the step number and
// the call returns false, so the procedure goes on with its next statement.
template <class Log>
class BasicSteps {
public:
    BasicSteps(std::string_view moduleName, std::string_view procedureName, Log log = Log{})
        : module_(moduleName), procedure_(procedureName), log_(std::move(log)) {}

    template <class F>
    bool operator()(int32_t step, F&& statement) noexcept {
        try {
            std::forward<F>(statement)();
            return true;
        } catch (...) {
            ++failures_;
            log_(module_, procedure_, FailureFromCurrentException(step));
            return false;
        }
    }

    // Statements of a stretch whose failures are ignored without logging.
    template <class F>
    static bool Quiet(F&& statement) noexcept {
        try {
            std::forward<F>(statement)();
            return true;
        } catch (...) {
            return false;
        }
    }

    int Failures() const noexcept { return failures_; }

private:
    std::string module_;
    std::string procedure_;
    Log log_;
    int failures_ = 0;
};

}  // namespace kado::com
