// The plug-in's failure model in one idiom: numbered statements that log a
// failure to Verw.log and carry on with the next statement.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "platform/com/error.h"

namespace honora {

// What a failing statement leaves for the logger.
struct Failure {
    int32_t number = 0;
    std::string description;
    int32_t step = 0;
};

// Appends one entry to the error log (never throws) and returns "5".
std::string Problembehandlung(std::string_view modulname, std::string_view funktionsname,
                              const Failure& failure);

// Turns whatever a statement threw into a failure record.
Failure FailureFromCurrentException(int32_t step) noexcept;

// Usage:
//   Steps s("GebührenTabelle", "SummeBilden");
//   s(100, [&] { ... });
//   s(110, [&] { ... });
// Each call runs one statement; a throw is logged with the step number and
// the call returns false, so the procedure goes on with its next statement.
class Steps {
public:
    Steps(std::string_view modulname, std::string_view funktionsname)
        : modul_(modulname), funktion_(funktionsname) {}

    template <class F>
    bool operator()(int32_t step, F&& statement) noexcept {
        try {
            std::forward<F>(statement)();
            return true;
        } catch (...) {
            ++failures_;
            Problembehandlung(modul_, funktion_, FailureFromCurrentException(step));
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

    int failures() const noexcept { return failures_; }

private:
    std::string modul_;
    std::string funktion_;
    int failures_ = 0;
};

}  // namespace honora
