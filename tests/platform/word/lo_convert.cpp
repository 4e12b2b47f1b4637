#include "lo_support.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kado::word::test {

namespace {
std::atomic<int> counter{0};
std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
}  // namespace

std::filesystem::path FreshDir(const std::string& tag) {
    auto dir = std::filesystem::temp_directory_path() /
               ("kado-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::filesystem::path LoConvert(const std::filesystem::path& input, const std::string& filter,
                                const std::filesystem::path& outDir) {
    const auto profile = FreshDir("lo-profile");
    const std::string cmd = "timeout 180 soffice --headless --norestore -env:UserInstallation=file://" + profile.string() +
                            " --convert-to " + Quote(filter) + " --outdir " + Quote(outDir.string()) + " " +
                            Quote(input.string()) + " > " + Quote((outDir / "soffice.log").string()) + " 2>&1";
    const int rc = std::system(cmd.c_str());
    std::error_code ec;
    std::filesystem::remove_all(profile, ec);
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
