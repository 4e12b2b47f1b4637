// Every whole-file store killed at each point of its save: the old content
// survives (or the new one, once renamed), nothing a user would open is left
// beside it, and the next save succeeds and sweeps the dead writer's file.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/com/atomic_file.h"
#include "platform/com/component_registry.h"
#include "platform/com/config_home.h"
#include "platform/settings/settings.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Names in the folder, hidden ones apart.
std::vector<std::string> Names(const fs::path& dir, bool hidden) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        if ((n[0] == '.') == hidden) names.push_back(n);
    }
    return names;
}

// A store: its file, and a save of one of two contents.
struct Store {
    const char* name;
    std::function<fs::path()> file;
    std::function<void(bool second)> save;
    std::function<bool(bool second)> holds;  // whether the file holds that save's content
};

// Runs the save in a child killed at the point; true when it died by SIGKILL.
bool KilledAt(const char* point, const std::function<void()>& save) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("KADO_CRASH_AT", point, 1);
        save();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

class CrashSafeStores : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    }
    kado::testing::TempDir tmp_{"kado-crash"};
    const fs::path dir_ = tmp_.Path();
};

TEST_F(CrashSafeStores, AKilledSaveLeavesTheOldFileAndTheNextSaveSucceeds) {
    const fs::path plain = dir_ / "docs" / "Rechnung.docx";
    fs::create_directories(plain.parent_path());
    const std::vector<Store> stores = {
        {"document file", [&] { return plain; },
         [&](bool second) { kado::com::WriteFileAtomically(plain, second ? std::string(100000, 'n') : "old"); },
         [&](bool second) { return kado::testing::FileBytes(plain) == (second ? std::string(100000, 'n') : "old"); }},
        {"settings store", [] { return kado::settings::StorePath("KadoVerwaltung"); },
         [](bool second) { kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", second ? "/neu" : "/alt"); },
         [](bool second) {
             return kado::settings::GetSetting("KadoVerwaltung", "Pfade", "Programm", "") == (second ? "/neu" : "/alt");
         }},
        {"component registry", [] { return kado::com::DefaultRegistryPath(); },
         [](bool second) {
             kado::com::ComponentRegistry().Register({"honora.GO", "{1}", second ? "/neu/libhonora.so" : "/alt/libhonora.so"});
         },
         [](bool second) {
             const auto entry = kado::com::ComponentRegistry().Find("honora.GO");
             return entry && entry->library == (second ? "/neu/libhonora.so" : "/alt/libhonora.so");
         }},
    };
    struct Point { const char* name; bool renamed; };
    for (const auto& store : stores) {
        for (const Point point : {Point{"before-write", false}, Point{"mid-write", false}, Point{"before-rename", false},
                                  Point{"after-rename", true}}) {
            SCOPED_TRACE(std::string(store.name) + " killed " + point.name);
            store.save(false);
            const fs::path folder = store.file().parent_path();
            const auto visible = Names(folder, false);
            ASSERT_TRUE(KilledAt(point.name, [&] { store.save(true); }));
            EXPECT_TRUE(store.holds(point.renamed));
            EXPECT_EQ(Names(folder, false), visible);
            // The retry writes, and no temporary file of the dead writer stays.
            store.save(true);
            EXPECT_TRUE(store.holds(true));
            for (const auto& hidden : Names(folder, true))
                EXPECT_EQ(hidden.find(".~"), std::string::npos) << hidden;
        }
    }
}

// A temporary file whose writer still runs is not swept: it may be renamed yet.
TEST_F(CrashSafeStores, ALiveWritersTemporaryFileIsLeftAlone) {
    const fs::path target = dir_ / "Rechnung.docx";
    const fs::path live = dir_ / (".Rechnung.docx.~" + std::to_string(::getppid()) + ".abcdef");
    std::ofstream(live) << "partial";
    kado::com::WriteFileAtomically(target, "new");
    EXPECT_TRUE(fs::exists(live));
    EXPECT_EQ(kado::testing::FileBytes(target), "new");
}

}  // namespace
