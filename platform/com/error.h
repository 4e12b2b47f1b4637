// Error values of the automation platform: a number and a description.
// Platform calls throw them; only the plug-in's step runner catches them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kado::com {

// An entry of a library's error catalogue; it compares as its number.
struct ErrorCode {
    int32_t number;
    std::string_view description;
    constexpr operator int32_t() const noexcept { return number; }
};

// The runtime's own numbers. Each library names its other numbers in its own
// error.h; no number appears in two catalogues.
namespace err {
inline constexpr ErrorCode InvalidProcedureCall{5, "Invalid procedure call or argument"};
inline constexpr ErrorCode Overflow{6, "Overflow"};
inline constexpr ErrorCode DivisionByZero{11, "Division by zero"};
inline constexpr ErrorCode TypeMismatch{13, "Type mismatch"};
inline constexpr ErrorCode BadFileName{52, "Bad file name or number"};
inline constexpr ErrorCode PermissionDenied{70, "Permission denied"};
inline constexpr ErrorCode PathFileAccess{75, "Path/File access error"};
inline constexpr ErrorCode PathNotFound{76, "Path not found"};
inline constexpr ErrorCode ObjectNotSet{91, "Object variable or With block variable not set"};
inline constexpr ErrorCode InvalidUseOfNull{94, "Invalid use of Null"};
inline constexpr ErrorCode CannotCreateObject{429, "Component can't create object"};
inline constexpr ErrorCode ObjectDoesNotSupport{438, "Object doesn't support this property or method"};
// A platform object's call failed without a more specific number; the fault
// plan's injected failures use it (fault_plan.h).
inline constexpr ErrorCode AutomationError{440, "Automation error"};
}  // namespace err

class Error : public std::runtime_error {
public:
    Error(int32_t number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}

    int32_t Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

private:
    int32_t number_;
    std::string description_;
};

[[noreturn]] inline void Raise(ErrorCode code) { throw Error(code.number, std::string(code.description)); }

// For a call whose text names what failed; the text stands for the description.
[[noreturn]] inline void Raise(ErrorCode code, std::string text) { throw Error(code.number, std::move(text)); }

}  // namespace kado::com
