// Error values of the automation platform: a number and a description.
// Platform calls throw them; only the plug-in's step runner catches them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kado::com {

// Numbers as the original runtime and its libraries used them.
namespace err {
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t DivisionByZero = 11;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t BadFileName = 52;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t PermissionDenied = 70;
inline constexpr int32_t PathNotFound = 76;
inline constexpr int32_t ObjectNotSet = 91;
inline constexpr int32_t InvalidUseOfNull = 94;
inline constexpr int32_t InvalidProcedureCall = 5;
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t ObjectDoesNotSupport = 438;
inline constexpr int32_t NoCurrentRecord = 3021;
inline constexpr int32_t CannotOpenDatabase = 3049;
inline constexpr int32_t TableNotFound = 3078;
inline constexpr int32_t SyntaxErrorInQuery = 3075;
inline constexpr int32_t UpdateWithoutEdit = 3020;
inline constexpr int32_t OperationNotSupported = 3251;
inline constexpr int32_t ItemNotFound = 3265;
inline constexpr int32_t FileNotDatabase = 3343;
inline constexpr int32_t WordCommandFailed = 4198;
inline constexpr int32_t WordBadParameter = 4608;
inline constexpr int32_t WordNoSuchMember = 5941;
inline constexpr int32_t WordCellMissing = 5941;
inline constexpr int32_t WordObjectDeleted = 5825;
inline constexpr int32_t WordFileCorrupt = 5792;
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

[[noreturn]] inline void Raise(int32_t number, std::string description) {
    throw Error(number, std::move(description));
}

}  // namespace kado::com
