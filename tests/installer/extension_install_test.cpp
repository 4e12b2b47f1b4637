// The built extension folder as an office installs it: ModulSetup copies it
// into a fresh program folder, the real registration tool enters the plug-in,
// and the registry then makes a working honora.GO from the installed copy.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/com/component_library.h"
#include "platform/com/component_registry.h"
#include "platform/settings/settings.h"
#include "plugin/component/honora.h"

namespace {

namespace fs = std::filesystem;

TEST(ExtensionInstall, TheInstalledPluginIsRegisteredAndCreatesGO) {
    std::string tmpl = (fs::temp_directory_path() / "kado-extension-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    const fs::path root = tmpl, start = root / "erweiterung", target = root / "programm";
    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::copy(fs::path(KADO_BINARY_DIR) / "extension", start, fs::copy_options::recursive);
    fs::create_directories(target);
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());

    ASSERT_EQ(std::system(("'" + (start / "ModulSetup").string() + "' >/dev/null").c_str()), 0);
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
    fs::remove_all(root);
}

}  // namespace
