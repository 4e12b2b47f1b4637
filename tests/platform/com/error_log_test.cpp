// The error log writer on a path of the caller's choosing: entries accumulate
// in order, and a log that cannot be written is lost without a throw.
#include "platform/com/error_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/com/error.h"
#include "platform/com/steps.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using kado::com::AppendErrorLogEntry;
using kado::com::Failure;

struct ToFile {
    fs::path file;
    void operator()(std::string_view m, std::string_view f, const Failure& x) const noexcept {
        AppendErrorLogEntry(file, m, f, x);
    }
};

TEST(ErrorLog, EntriesGoToTheGivenFileInOrderAndUnwritableOnesAreLost) {
    const kado::testing::TempDir tmp("kado-errlog");
    const fs::path& dir = tmp.Path();
    kado::com::BasicSteps<ToFile> s("frmModulSetup", "Form_Load", ToFile{dir / "Verw.log"});
    EXPECT_FALSE(s(100, [] { kado::com::Raise(kado::com::err::PathFileAccess, "Cannot copy a to b"); }));
    EXPECT_TRUE(s(110, [] {}));
    EXPECT_FALSE(s(120, [] { throw 42; }));
    EXPECT_EQ(s.Failures(), 2);

    std::ifstream in(dir / "Verw.log", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string log = text.str();
    const auto first = log.find("Error 75: \r\nCannot copy a to b\r\nZeile: 100\r\n"
                                "Ort  : -KadoDienste- frmModulSetup.Form_Load\r\nUser : ohne, ohne\r\n\r\n");
    const auto second = log.find("Error 5: \r\nUnknown failure\r\nZeile: 120\r\n");
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, second);

    AppendErrorLogEntry(dir / "fehlt" / "Verw.log", "M", "P", {1, "d", 0});
    EXPECT_FALSE(fs::exists(dir / "fehlt"));
    fs::remove_all(dir);
}

}  // namespace
