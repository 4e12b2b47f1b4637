// The built extension folder as an office installs it: ModulSetup copies it
// into a fresh program folder, the real registration tool enters the plug-in,
// and the registry then makes a working honora.GO from the installed copy.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <thread>

#include "platform/com/component_library.h"
#include "platform/com/component_registry.h"
#include "platform/settings/settings.h"
#include "plugin/component/honora.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Exit code and what the shell command printed.
std::pair<int, std::string> Output(const std::string& command) {
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {-1, text};
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

TEST(ExtensionInstall, TheInstalledPluginIsRegisteredAndCreatesGO) {
    const kado::testing::TempDir tmp("kado-extension");
    const fs::path root = tmp.Path(), start = root / "erweiterung", target = root / "programm";
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::copy(fs::path(KADO_BINARY_DIR) / "extension", start, fs::copy_options::recursive);
    fs::create_directories(target);
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());

    // Without a display the tool reports on standard output, which the installer shares.
    const auto [installed, report] = Output("'" + (start / "ModulSetup").string() + "'");
    ASSERT_EQ(installed, 0) << report;
    EXPECT_NE(report.find("kado-regsvr: honora.GO registriert: " + (target / "libhonora.so").string() + "\n"),
              std::string::npos)
        << report;
    for (const char* file : {"ModulSetup", "kado-regsvr", "libhonora.so"}) EXPECT_TRUE(fs::exists(target / file)) << file;
    // The tool runs on its own; wait for its entry.
    const kado::com::ComponentRegistry registry;
    std::optional<kado::com::Registration> entry;
    for (int i = 0; i < 200 && !entry; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        entry = registry.Find("honora.GO");
    }
    ASSERT_TRUE(entry) << "honora.GO not registered";
    EXPECT_EQ(entry->library, target / "libhonora.so");

    auto go = honora::GOFrom(kado::com::CreateObject("honora.GO", registry));
    ASSERT_NE(go, nullptr);
    go->LetBodenwert(kado::com::Variant(int32_t{250}));
    EXPECT_EQ(go->GetBodenwert().ToString(), "250");
    go.reset();

    // The host finds the installed plug-in through the registry and computes a fee.
    const std::string host = "'" + (fs::path(KADO_BINARY_DIR) / "bin" / "kado-host").string() + "'";
    const std::string run = host + " run --db '" + (root / "demo" / "kado.sqlite").string() + "' --doc '" +
                            (root / "demo" / "Rechnung.docx").string() +
                            "' --category 0 --do 'set mskAGPo=12' --do 'set mskAGP=3' --do 'set mskBoden=250'";
    ASSERT_EQ(std::system((host + " init '" + (root / "demo").string() + "' >/dev/null").c_str()), 0);
    const auto [code, out] = Output(run + " --do cancel 2>&1");
    EXPECT_EQ(code, 0) << out;
    EXPECT_NE(out.find("lblSumme=1500,00"), std::string::npos) << out;

    // Unregistered by the installed tool, the entry is gone and the host says what to do.
    const std::string tool = "'" + (target / "kado-regsvr").string() + "' /u '" + (target / "libhonora.so").string() + "'";
    EXPECT_EQ(Output(tool), std::make_pair(0, std::string("kado-regsvr: honora.GO ausgetragen\n")));
    EXPECT_FALSE(registry.Find("honora.GO"));
    const auto [refused, said] = Output(run + " --do cancel 2>&1");
    EXPECT_EQ(refused, 2) << said;
    EXPECT_NE(said.find("kado-host: honora.GO ist nicht registriert"), std::string::npos) << said;
    EXPECT_NE(said.find("ModulSetup"), std::string::npos) << said;
}

}  // namespace
