// Entries of the error log Verw.log, the one format the plug-in and the
// installer share: the failure record, its capture and the appending writer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kado::com {

// What a failing statement leaves for the logger.
struct Failure {
    int32_t number = 0;
    std::string description;
    int32_t step = 0;
};

class Error;

// Turns whatever a statement threw into a failure record; call it in a catch block.
Failure FailureFromCurrentException(int32_t step) noexcept;
// The record of an Error already caught: no rethrow to find out what it is.
Failure FailureOf(const Error& e, int32_t step) noexcept;

// Appends one entry for the failure of moduleName.procedureName to the log file,
// creating it when missing. A log that cannot be written loses the entry; never throws.
void AppendErrorLogEntry(const std::filesystem::path& log, std::string_view moduleName,
                         std::string_view procedureName, const Failure& failure) noexcept;
// Entries of several failures of one procedure in one append, in order.
void AppendErrorLogEntries(const std::filesystem::path& log, std::string_view moduleName,
                           std::string_view procedureName, std::span<const Failure> failures) noexcept;

// The entries this process appended (to any log), so that a run sharing Verw.log
// with other processes counts only its own: how many, and the first few as
// their lines joined by " | ".
struct WrittenEntries {
    int count = 0;
    std::vector<std::string> first;  // at most kKeptEntries, in order
};
inline constexpr int kKeptEntries = 8;
// A copy of the record as it stands; entries from `since` (a count taken earlier) on.
WrittenEntries EntriesWrittenSince(int since);
int EntriesWritten();

}  // namespace kado::com
