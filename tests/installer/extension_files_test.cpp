// Which names count as libraries, and copies over the target's files,
// including a copy whose source and target are one file.
#include "installer/extension_files.h"

#include "installer_fixture.h"
#include "support/error_of.h"

namespace setup_test {
namespace {

using kado::setup::CopyOver;
using kado::setup::IsLibrary;

TEST(ExtensionFiles, LibraryIsANameEndingInSoInAnyCase) {
    struct Case {
        const char* name;
        bool library;
    } cases[] = {
        {"libhonora.so", true}, {"LIBY.SO", true},      {"lib.So", true},        {"libx.so.bak", false},
        {"libx.so.old", false}, {"libx.so.1", false},   {"so", false},           {"libso", false},
        {"kado-regsvr", false}, {"honora.dll", false},  {"readme.so.txt", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsLibrary(c.name), c.library) << c.name;
}

class CopyOverTest : public InstallerTest {};

TEST_F(CopyOverTest, OverwritesOtherFilesAndLeavesTheSameFileIntact) {
    const std::string bytes(100000, 'k');
    WriteFile(root_ / "a" / "libx.so", bytes);
    fs::create_directories(root_ / "b");
    WriteFile(root_ / "b" / "libx.so", "alte Fassung, länger als nichts");
    fs::create_hard_link(root_ / "a" / "libx.so", root_ / "b" / "verknüpft.so");
    fs::create_directories(root_ / "b" / "ordner.so");

    struct Case {
        const char* what;
        fs::path source, target;
        int error;
    } cases[] = {
        {"onto itself", root_ / "a" / "libx.so", root_ / "a" / "libx.so", 0},
        {"onto itself by another path", root_ / "a" / "libx.so", root_ / "a" / ".." / "a" / "libx.so", 0},
        {"onto a hard link of itself", root_ / "a" / "libx.so", root_ / "b" / "verknüpft.so", 0},
        {"over an older copy", root_ / "a" / "libx.so", root_ / "b" / "libx.so", 0},
        {"to a new name", root_ / "a" / "libx.so", root_ / "b" / "neu.so", 0},
        {"over a folder", root_ / "a" / "libx.so", root_ / "b" / "ordner.so", 75},
        {"from a missing file", root_ / "a" / "fehlt.so", root_ / "b" / "fehlt.so", 75},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kado::test::ErrorOf([&] { CopyOver(c.source, c.target); }), c.error) << c.what;
        EXPECT_EQ(ReadFile(root_ / "a" / "libx.so"), bytes) << c.what;
        if (c.error == 0) {
            EXPECT_EQ(ReadFile(c.target), bytes) << c.what;
        }
    }
    EXPECT_FALSE(fs::exists(root_ / "b" / "fehlt.so"));
}

}  // namespace
}  // namespace setup_test
