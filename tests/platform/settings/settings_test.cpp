#include "platform/settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/com/error.h"
#include "support/temp_dir.h"
#include "support/file_bytes.h"

namespace fs = std::filesystem;
using namespace kado::settings;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        std::error_code ec;
        fs::permissions(dir_ / "KadoVerwaltung", fs::perms::owner_all, fs::perm_options::add, ec);
    }
    static std::string Read(const fs::path& p) { return kado::testing::FileBytes(p); }
    kado::testing::TempDir tmp_{"kado-settings"};
    const fs::path dir_ = tmp_.Path();
};

TEST_F(SettingsTest, PathFollowsXdgAndFallsBackToHome) {
    EXPECT_EQ(StorePath("KadoVerwaltung"), dir_ / "KadoVerwaltung" / "settings.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty()) {
        EXPECT_EQ(StorePath("A"), fs::path(home) / ".config" / "A" / "settings.ini");
    }
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
}

TEST_F(SettingsTest, MissingFileSectionOrKeyGivesDefault) {
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "SQL", "def"), "def");
    SaveSetting("KadoVerwaltung", "Pfade", "SQL", "/daten/kado.mdb");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Andere", "SQL", "d1"), "d1");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "Programm", "d2"), "d2");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "SQL", "d3"), "/daten/kado.mdb");
}

TEST_F(SettingsTest, SectionsAndKeysKeepTheirValuesAcrossRewrites) {
    SaveSetting("KadoVerwaltung", "Pfade", "SQL", "a");
    SaveSetting("KadoVerwaltung", "G_frmTabelle", "Top", "120");
    SaveSetting("KadoVerwaltung", "Pfade", "Programm", "/opt/kado");
    SaveSetting("KadoVerwaltung", "Pfade", "SQL", "b=c");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "SQL"), "b=c");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "G_frmTabelle", "Top"), "120");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "Programm"), "/opt/kado");
    EXPECT_EQ(Read(StorePath("KadoVerwaltung")),
              "[Pfade]\nSQL=b=c\nProgramm=/opt/kado\n\n[G_frmTabelle]\nTop=120\n");
    DeleteSetting("KadoVerwaltung", "Pfade", "SQL");
    DeleteSetting("KadoVerwaltung", "Pfade", "Fehlt");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "SQL", "weg"), "weg");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "Programm"), "/opt/kado");
}

TEST_F(SettingsTest, AwkwardValuesRoundTripWithoutBreakingTheFile) {
    const std::string values[] = {"Zeile 1\nZeile 2", "  blanks  ", "a\\nb", "Gebühr 150,00 €", "\r\n", " ", ""};
    for (const auto& v : values) {
        SaveSetting("KadoVerwaltung", "Pfade", "X", v);
        SaveSetting("KadoVerwaltung", "Pfade", "Y", "after");
        EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "X", "default"), v);
        EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "Y"), "after");
    }
    std::string text = Read(StorePath("KadoVerwaltung"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);  // header + two keys
}

TEST_F(SettingsTest, InvalidNamesAreRefused) {
    EXPECT_THROW(SaveSetting("KadoVerwaltung", "Pfa]de", "k", "v"), kado::com::Error);
    EXPECT_THROW(SaveSetting("KadoVerwaltung", "Pfade", "k=1", "v"), kado::com::Error);
    EXPECT_THROW(SaveSetting("KadoVerwaltung", "Pfade", "k\n", "v"), kado::com::Error);
    EXPECT_THROW(SaveSetting("../x", "Pfade", "k", "v"), kado::com::Error);
    EXPECT_FALSE(fs::exists(StorePath("KadoVerwaltung")));
}

TEST_F(SettingsTest, FailedWriteThrowsAndKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores directory permissions";
    SaveSetting("KadoVerwaltung", "Pfade", "SQL", "alt");
    fs::path appDir = dir_ / "KadoVerwaltung";
    fs::permissions(appDir, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    try {
        SaveSetting("KadoVerwaltung", "Pfade", "SQL", "neu");
        ADD_FAILURE() << "write into a read-only directory succeeded";
    } catch (const kado::com::Error& e) {
        EXPECT_EQ(e.Number(), kado::com::err::PermissionDenied);
    }
    fs::permissions(appDir, fs::perms::owner_all, fs::perm_options::replace);
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "SQL"), "alt");
    EXPECT_EQ(std::distance(fs::directory_iterator(appDir), fs::directory_iterator{}), 1);
}

// A value saved again as it stands leaves the file as it is (no rewrite, no
// flush); any copy of the key that differs still gets the value.
TEST_F(SettingsTest, SavingTheValueAKeyHasLeavesTheFileAlone) {
    struct Case {
        const char* file;
        const char* value;
        bool rewritten;
    } cases[] = {
        {"; von Hand\r\n[Pfade]\r\nSQL=/a\r\n", "/a", false},
        {"; von Hand\r\n[Pfade]\r\nSQL=/a\r\n", "/b", true},
        {"[Pfade]\nSQL=/a\n[Pfade]\nSQL=/b\n", "/a", true},
        {"[Pfade]\nProgramm=/a\n", "/a", true},  // the key is new
    };
    fs::create_directories(dir_ / "KadoVerwaltung");
    for (const auto& c : cases) {
        std::ofstream(StorePath("KadoVerwaltung"), std::ios::binary | std::ios::trunc) << c.file;
        SaveSetting("KadoVerwaltung", "Pfade", "SQL", c.value);
        EXPECT_EQ(Read(StorePath("KadoVerwaltung")) != c.file, c.rewritten) << c.file << " " << c.value;
        EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "SQL"), c.value) << c.file;
        if (c.rewritten) {
            const std::string text = Read(StorePath("KadoVerwaltung"));
            EXPECT_EQ(text.find("/b") != std::string::npos, std::string(c.value) == "/b") << text;
        }
    }
}

TEST_F(SettingsTest, HandWrittenFileIsReadTolerantly) {
    fs::create_directories(dir_ / "KadoVerwaltung");
    std::ofstream(StorePath("KadoVerwaltung")) << "; comment\r\nvorher=x\r\n[Pfade]\r\n  SQL = /a b \r\nkaputt\r\n";
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "SQL"), "/a b");
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "kaputt", "d"), "d");
}

// Found by fuzzing: a value saved into a file that names its section or key
// twice must be the value read back, and nothing else may change.
TEST_F(SettingsTest, ASavedValueReadsBackWhenTheFileNamesASectionOrKeyTwice) {
    const struct {
        const char* file;
        const char* key;
    } cases[] = {
        {"[Pfade]\nProgramm=/a\n\n[Pfade]\nProgramm=/b\n", "Programm"},  // the section twice
        {"[Pfade]\nProgramm=/a\nProgramm=/b\n", "Programm"},                // the key twice
        {"[Pfade]\nSQL=x\n\n[Pfade]\nProgramm=/b\n", "Programm"},           // the key in the second copy only
        {"[Pfade]\nSQL=x\n\n[Pfade]\nSQL=y\n", "Neu"},                      // a new key
    };
    fs::create_directories(dir_ / "KadoVerwaltung");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ofstream(StorePath("KadoVerwaltung"), std::ios::trunc) << c.file << "[Form]\nTop=7\n";
        SaveSetting("KadoVerwaltung", "Pfade", c.key, "/opt/kado");
        EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", c.key), "/opt/kado");
        EXPECT_EQ(GetSetting("KadoVerwaltung", "Form", "Top"), "7");
        if (std::string(c.key) == "Neu") {
            EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "SQL"), "x");
        }
    }
}

}  // namespace

TEST_F(SettingsTest, AFolderInTheStoresPlaceReadsEmptyAndAnOversizedStoreIsAnError) {
    const fs::path store = dir_ / "KadoVerwaltung" / "settings.ini";
    fs::create_directories(store);
    EXPECT_EQ(GetSetting("KadoVerwaltung", "Pfade", "Programm", "def"), "def");
    fs::remove_all(store);
    std::ofstream(store) << "[Pfade]\nProgramm=/opt\n" << std::string(17 << 20, ';');
    try {
        (void)GetSetting("KadoVerwaltung", "Pfade", "Programm", "def");
        ADD_FAILURE() << "a file larger than any store was read as one";
    } catch (const kado::com::Error& e) {
        EXPECT_EQ(e.Number(), kado::com::err::PermissionDenied);
    }
}
