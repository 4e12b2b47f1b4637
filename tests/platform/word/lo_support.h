// Conversions with LibreOffice headless, the independent reader our DOCX
// output is checked against.
#pragma once

#include <filesystem>
#include <string>

namespace kado::word::test {

// Converts a file with soffice into outDir (own profile, bounded time);
// returns the converted file, or an empty path when soffice failed.
std::filesystem::path LoConvert(const std::filesystem::path& input, const std::string& filter,
                                const std::filesystem::path& outDir);
std::string ReadAll(const std::filesystem::path& p);
void WriteAll(const std::filesystem::path& p, const std::string& bytes);

}  // namespace kado::word::test
