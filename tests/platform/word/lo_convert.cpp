#include "lo_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace kado::word::test {

namespace {
std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
}  // namespace

std::filesystem::path LoConvert(const std::filesystem::path& input, const std::string& filter,
                                const std::filesystem::path& outDir) {
    const kado::testing::TempDir profileDir("kado-lo-profile");
    const auto& profile = profileDir.Path();
    const std::string cmd = "timeout 180 soffice --headless --norestore -env:UserInstallation=file://" + profile.string() +
                            " --convert-to " + Quote(filter) + " --outdir " + Quote(outDir.string()) + " " +
                            Quote(input.string()) + " > " + Quote((outDir / "soffice.log").string()) + " 2>&1";
    const int rc = std::system(cmd.c_str());
    const std::string ext = filter.substr(0, filter.find(':'));
    auto out = outDir / (input.stem().string() + "." + ext);
    if (rc != 0 || !std::filesystem::exists(out)) return {};
    return out;
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace kado::word::test
