// Verw.log read back as the entries the error log writes, for tests that
// check what a run logged and where; a line out of place fails the test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/com/error_log.h"

namespace kado::testing {

// The failure as it was logged, and where: "Module.Procedure".
struct LogEntry : com::Failure {
    std::string place;
};

// Every entry of the file, in order: its five lines and an empty one. No file, no entries.
inline std::vector<LogEntry> ReadVerwLog(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    const std::string zeile = "Zeile: ", ort = "Ort  : -KadoDienste- ";
    std::vector<LogEntry> entries;
    for (size_t i = 0; i + 5 <= lines.size(); i += 6) {
        const size_t error = lines[i].find("Error ");
        EXPECT_NE(error, std::string::npos) << file << ": " << lines[i];
        if (error == std::string::npos) break;
        LogEntry e;
        e.number = std::atoi(lines[i].c_str() + error + 6);
        e.description = lines[i + 1];
        EXPECT_EQ(lines[i + 2].rfind(zeile, 0), 0u) << lines[i + 2];
        e.step = std::atoi(lines[i + 2].c_str() + std::min(zeile.size(), lines[i + 2].size()));
        EXPECT_EQ(lines[i + 3].rfind(ort, 0), 0u) << lines[i + 3];
        e.place = lines[i + 3].substr(std::min(ort.size(), lines[i + 3].size()));
        entries.push_back(e);
    }
    return entries;
}

// "Module.Procedure" of every entry.
inline std::vector<std::string> LoggedPlaces(const std::filesystem::path& file) {
    std::vector<std::string> places;
    for (const auto& e : ReadVerwLog(file)) places.push_back(e.place);
    return places;
}

// "Module.Procedure:step" of every entry.
inline std::vector<std::string> LoggedSteps(const std::filesystem::path& file) {
    std::vector<std::string> steps;
    for (const auto& e : ReadVerwLog(file)) steps.push_back(e.place + ":" + std::to_string(e.step));
    return steps;
}

}  // namespace kado::testing
