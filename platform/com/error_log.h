// Entries of the error log Verw.log, the one format the plug-in and the
// installer share: the failure record, its capture and the appending writer.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace kado::com {

// What a failing statement leaves for the logger.
struct Failure {
    int32_t number = 0;
    std::string description;
    int32_t step = 0;
};

// Turns whatever a statement threw into a failure record; call it in a catch block.
Failure FailureFromCurrentException(int32_t step) noexcept;

// Appends one entry for the failure of modulname.funktionsname to the log file,
// creating it when missing. A log that cannot be written loses the entry; never throws.
void AppendErrorLogEntry(const std::filesystem::path& log, std::string_view modulname,
                         std::string_view funktionsname, const Failure& failure) noexcept;

}  // namespace kado::com
