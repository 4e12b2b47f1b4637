#include "plugin/common/steps.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "platform/settings/settings.h"
#include "support/file_bytes.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        kado::testing::UseProgramFolder(dir_);
    }
    std::string Log() const { return kado::testing::FileBytes(dir_ / "prog" / "Verw.log"); }
    kado::testing::TempDir tmp_{"kado-log"};
    const fs::path dir_ = tmp_.Path();
};

const std::regex kStamp(R"(\d{1,2}\.\d{1,2}\.\d\d \d\d:\d\d   )");

TEST_F(LogTest, EntryHasItsFiveLinesAndAnEmptyOne) {
    struct Case {
        honora::Failure f;
        std::string body;
    } cases[] = {
        {{91, "Object variable not set", 120},
         "Error 91: \r\nObject variable not set\r\nZeile: 120\r\nOrt  : -KadoDienste- Rechnung.SummeBilden\r\n"
         "User : ohne, ohne\r\n\r\n"},
        {{13, "", 0},
         "Error 13: \r\n\r\nZeile: 0\r\nOrt  : -KadoDienste- Rechnung.SummeBilden\r\nUser : ohne, ohne\r\n\r\n"},
    };
    for (const auto& c : cases) {
        fs::remove(dir_ / "prog" / "Verw.log");
        EXPECT_EQ(honora::Problembehandlung("Rechnung", "SummeBilden", c.f), "5");
        std::string log = Log();
        std::smatch m;
        ASSERT_TRUE(std::regex_search(log, m, kStamp, std::regex_constants::match_continuous)) << log;
        EXPECT_EQ(log.substr(m.length()), c.body);
    }
}

TEST_F(LogTest, StepsLogEachFailureAndGoOn) {
    honora::Steps s("Funktionen", "CVal");
    int ran = 0;
    EXPECT_FALSE(s(100, [] { kado::com::Raise(kado::com::err::Overflow, "Overflow"); }));
    EXPECT_FALSE(s(110, [] { throw std::runtime_error("kaputt"); }));
    EXPECT_TRUE(s(120, [&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(s.Failures(), 2);
    std::string log = Log();
    auto first = log.find("Error 6: \r\nOverflow\r\nZeile: 100\r\nOrt  : -KadoDienste- Funktionen.CVal\r\n"
                          "User : ohne, ohne\r\n\r\n");
    auto second = log.find("Error 5: \r\nkaputt\r\nZeile: 110\r\n");
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, second);
}

TEST_F(LogTest, UnwritableLocationLosesTheEntryButNeverThrows) {
    // A directory named like the log file cannot be opened for writing.
    fs::create_directories(dir_ / "prog" / "Verw.log");
    honora::Steps s("Funktionen", "WertFormatieren");
    bool next = false;
    s(100, [] { kado::com::Raise(kado::com::err::InvalidProcedureCall, "x"); });
    s(110, [&] { next = true; });
    EXPECT_TRUE(next);
}

TEST_F(LogTest, MissingProgramDirectoryFallsBackToTemp) {
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", (dir_ / "fehlt").string());
    EXPECT_EQ(honora::Problembehandlung("M", "P", {1, "d", 0}), "5");
    EXPECT_FALSE(fs::exists(dir_ / "fehlt"));
    EXPECT_TRUE(fs::exists(fs::temp_directory_path() / "Verw.log"));
}

// A loop of statements: every index runs, each failure is its own entry with the
// loop's step, in the order of the indexes, and the count says how many failed.
TEST_F(LogTest, EachRunsEveryIndexAndLogsItsFailuresInOrder) {
    honora::Steps s("KV_WordAuto", "TabelleErmitteln");
    std::vector<int> ran;
    const int failed = s.Each(150, 2, 9, [&](int i) {
        ran.push_back(i);
        if (i % 3 == 0) kado::com::Raise(kado::com::err::Overflow, "Index " + std::to_string(i));
        if (i == 8) throw std::runtime_error("acht");
    });
    EXPECT_EQ(ran, (std::vector<int>{2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(failed, 3);
    EXPECT_EQ(s.Failures(), 3);
    EXPECT_EQ(s.Each(160, 5, 5, [](int) { throw std::runtime_error("nie"); }), 0);
    const std::string log = Log();
    size_t at = 0;
    for (const char* body : {"Error 6: \r\nIndex 3\r\nZeile: 150\r\n", "Error 6: \r\nIndex 6\r\nZeile: 150\r\n",
                             "Error 5: \r\nacht\r\nZeile: 150\r\nOrt  : -KadoDienste- KV_WordAuto.TabelleErmitteln\r\n"}) {
        at = log.find(body, at);
        ASSERT_NE(at, std::string::npos) << body << "\n" << log;
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), 'Z'), 3) << log;  // three "Zeile:" lines, nothing else
}

// One procedure failing again and again remembers what it read of the settings:
// each entry must still go where the settings and folders say at that moment.
TEST_F(LogTest, RepeatedFailuresFollowTheSettingAndTheFolder) {
    const fs::path other = dir_ / "andere";
    fs::create_directories(other);
    struct Step {
        const char* what;
        std::function<void()> change;
        fs::path expected;
    } steps[] = {
        {"as set", [] {}, dir_ / "prog" / "Verw.log"},
        {"unchanged", [] {}, dir_ / "prog" / "Verw.log"},
        {"set to another folder",
         [&] { kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", other.string()); },
         other / "Verw.log"},
        {"that folder gone", [&] { fs::remove_all(other); }, fs::temp_directory_path() / "Verw.log"},
        {"back again", [&] { fs::create_directories(other); }, other / "Verw.log"},
        {"store removed", [&] { fs::remove(kado::settings::StorePath("KadoVerwaltung")); },
         fs::temp_directory_path() / "Verw.log"},
        {"store written anew",
         [&] { kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", (dir_ / "prog").string()); },
         dir_ / "prog" / "Verw.log"},
    };
    honora::Steps s("Funktionen", "Wiederholt");
    for (const auto& step : steps) {
        step.change();
        std::error_code ec;
        fs::remove(step.expected, ec);
        s(100, [] { kado::com::Raise(kado::com::err::InvalidProcedureCall, "wieder"); });
        EXPECT_EQ(honora::LogPath(), step.expected) << step.what;
        EXPECT_NE(kado::testing::FileBytes(step.expected).find("Funktionen.Wiederholt"), std::string::npos)
            << step.what;
    }
}

}  // namespace
