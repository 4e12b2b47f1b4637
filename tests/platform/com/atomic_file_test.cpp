// The one atomic write: content and mode of the new file, and what a failed
// write leaves behind (the old file, no temporary file, the failing step).
#include "platform/com/atomic_file.h"
#include "support/temp_dir.h"
#include "support/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kado::com {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    static std::string Read(const fs::path& p) { return kado::testing::FileBytes(p); }
    int Entries() const { return static_cast<int>(std::distance(fs::directory_iterator(dir_), {})); }
    kado::testing::TempDir tmp_{"kado-atomic"};
    const fs::path dir_ = tmp_.Path();
};

TEST_F(AtomicFileTest, ReplacesTheWholeContentWithTheGivenMode) {
    const fs::path target = dir_ / "a.docx";
    struct Case { std::string bytes; int mode; };
    for (const Case& c : {Case{"alt, und länger als das neue", 0644}, Case{std::string("n\0u", 3), 0600},
                          Case{"", 0644}}) {
        WriteFileAtomically(target, c.bytes, c.mode);
        EXPECT_EQ(Read(target), c.bytes);
        struct stat st {};
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, static_cast<mode_t>(c.mode));
        EXPECT_EQ(Entries(), 1);
    }
}

TEST_F(AtomicFileTest, RelativeTargetIsWrittenInTheWorkingFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    WriteFileAtomically("b.ini", "x=1\n");
    fs::current_path(before);
    EXPECT_EQ(Read(dir_ / "b.ini"), "x=1\n");
    EXPECT_EQ(Entries(), 1);
}

TEST_F(AtomicFileTest, FailureNamesItsStepAndLeavesTheOldFile) {
    WriteFileAtomically(dir_ / "a.docx", "alt");
    fs::create_directories(dir_ / "sub" / "inner");  // a non-empty folder cannot be replaced
    struct Case { fs::path target; const char* step; int error; };
    for (const Case& c : {Case{dir_ / "fehlt" / "b.docx", "mkstemp", ENOENT}, Case{dir_ / "sub", "rename", EISDIR}}) {
        SCOPED_TRACE(c.target);
        try {
            WriteFileAtomically(c.target, "neu");
            ADD_FAILURE() << "no failure";
        } catch (const WriteFailure& f) {
            EXPECT_STREQ(f.Step(), c.step);
            EXPECT_EQ(f.code().value(), c.error);
        }
        EXPECT_EQ(Read(dir_ / "a.docx"), "alt");
        EXPECT_EQ(Entries(), 2);  // no temporary file left beside them
        EXPECT_TRUE(fs::is_directory(dir_ / "sub" / "inner"));
    }
}

}  // namespace
}  // namespace kado::com
