// The component registry: its file format, changes under concurrent writers,
// and objects created by ProgID through the registration tool's entries.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/com/component_library.h"
#include "platform/com/component_registry.h"
#include "platform/com/error.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using kado::com::ComponentRegistry;
using kado::com::Registration;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    }

    // The error a statement raised, as number and text.
    template <class F>
    static kado::com::Error Raised(F&& f) {
        try {
            f();
        } catch (const kado::com::Error& e) {
            return e;
        }
        ADD_FAILURE() << "nothing raised";
        return kado::com::Error(0, "");
    }
    static int Tool(const std::string& args) {
        const std::string cmd = std::string(KADO_BINARY_DIR) + "/bin/kado-regsvr " + args + " >/dev/null 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    kado::testing::TempDir tmp_{"kado-registry"};
    const fs::path dir_ = tmp_.Path();
};

TEST(RegistryFormat, SkipsWhatIsNotARegistrationAndKeepsTheFirstOfAProgId) {
    const auto entries = kado::com::ParseRegistry(
        "a.X\t{1}\t/lib/a.so\r\n"
        "broken line\n"
        "\t{2}\t/lib/empty-progid.so\n"
        "b.Y\t{3}\t\n"
        "a.X\t{4}\t/lib/second.so\n"
        "c.Z\t{5}\t/lib/with\ttab.so\n"
        "d.W\t{6}\t/lib/d.so");
    EXPECT_THAT(entries, ElementsAre(Registration{"a.X", "{1}", "/lib/a.so"}, Registration{"d.W", "{6}", "/lib/d.so"}));
    EXPECT_EQ(kado::com::ParseRegistry(kado::com::FormatRegistry(entries)), entries);
}

TEST_F(RegistryTest, RegisterReplacesAndUnregisterRemovesOnlyItsProgId) {
    const ComponentRegistry registry;
    EXPECT_EQ(registry.File(), dir_ / "KadoKomponenten" / "registry.txt");
    registry.Register({"a.X", "{1}", "/old/a.so"});
    registry.Register({"b.Y", "{2}", "/lib/b.so"});
    registry.Register({"a.X", "{1}", "/new/a.so"});
    EXPECT_THAT(registry.All(), ElementsAre(Registration{"a.X", "{1}", "/new/a.so"}, Registration{"b.Y", "{2}", "/lib/b.so"}));
    EXPECT_TRUE(registry.Unregister("a.X"));
    EXPECT_FALSE(registry.Unregister("a.X"));
    EXPECT_FALSE(registry.Find("a.X"));
    EXPECT_EQ(registry.Find("b.Y")->library, "/lib/b.so");
    EXPECT_EQ(Raised([&] { registry.Register({"c.Z", "{3}", "/lib/new\nline.so"}); }).Number(), 5);
}

TEST_F(RegistryTest, TwentyConcurrentRegistrationsAreAllKept) {
    std::vector<pid_t> children;
    for (int i = 0; i < 20; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int code = 0;
            try {
                for (int round = 0; round < 5; ++round)
                    ComponentRegistry().Register({"comp." + std::to_string(i), "{" + std::to_string(round) + "}",
                                                  "/lib/comp" + std::to_string(i) + ".so"});
            } catch (...) {
                code = 1;
            }
            _exit(code);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto all = ComponentRegistry().All();
    ASSERT_EQ(all.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        const auto r = ComponentRegistry().Find("comp." + std::to_string(i));
        ASSERT_TRUE(r) << i;
        EXPECT_EQ(r->clsid, "{4}") << "each writer's last round stands";
    }
}

TEST_F(RegistryTest, CreatingAnUnregisteredOrUnloadableComponentSaysWhy) {
    auto unregistered = Raised([] { kado::com::CreateObject("honora.GO"); });
    EXPECT_EQ(unregistered.Number(), 429);
    EXPECT_THAT(unregistered.Description(), HasSubstr("'honora.GO' is not registered"));

    ComponentRegistry().Register({"honora.GO", "{x}", dir_ / "fehlt.so"});
    auto missing = Raised([] { kado::com::CreateObject("honora.GO"); });
    EXPECT_EQ(missing.Number(), 429);
    EXPECT_THAT(missing.Description(), HasSubstr((dir_ / "fehlt.so").string()));
    EXPECT_THAT(missing.Description(), HasSubstr("No such file"));

    // A library that is no component.
    ComponentRegistry().Register({"honora.GO", "{x}", "libm.so.6"});
    EXPECT_THAT(Raised([] { kado::com::CreateObject("honora.GO"); }).Description(), HasSubstr("no creation entry point"));
}

TEST_F(RegistryTest, TheRegistrationToolEntersTheLibraryAndTheObjectComesFromIt) {
    const fs::path library = fs::path(KADO_BINARY_DIR) / "lib" / "libhonora.so";
    ASSERT_TRUE(fs::exists(library));
    EXPECT_EQ(Tool("/s " + library.string()), 0);
    const auto r = ComponentRegistry().Find("honora.GO");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->library, fs::absolute(library));
    EXPECT_EQ(r->clsid, "{5C2A4E31-8B7D-4F0A-9E61-2D3B7C8A9F14}");

    auto object = kado::com::CreateObject("honora.GO");
    EXPECT_NE(object, nullptr);
    object.reset();  // released through the library, then unloaded

    EXPECT_EQ(Tool("/u /s " + library.string()), 0);
    EXPECT_FALSE(ComponentRegistry().Find("honora.GO"));
    EXPECT_EQ(Tool("/s " + (dir_ / "fehlt.so").string()), 1);
    EXPECT_EQ(Tool(""), 2);
}

}  // namespace
