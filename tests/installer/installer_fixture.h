// Fixture of the installer tests: a temporary start folder holding a copy of
// the built ModulSetup and a stand-in registration tool that records its
// argument, a temporary settings store, and a run of the real program.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "installer/frm_modul_setup.h"
#include "platform/settings/settings.h"
#include "support/temp_dir.h"
#include "support/file_bytes.h"

namespace setup_test {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) { return kado::testing::FileBytes(path); }

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Outcome {
    int exitCode = -1;
    std::vector<std::string> printed;
};

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        source_ = root_ / "quelle";
        fs::create_directories(source_);
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        fs::copy_file(fs::path(KADO_BINARY_DIR) / "bin" / "ModulSetup", source_ / "ModulSetup");
        // The stand-in tool: one line per registration, written in one append.
        WriteFile(source_ / "kado-regsvr",
                  "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + Registrations().string() + "'\n");
        fs::permissions(source_ / "kado-regsvr", fs::perms::owner_all, fs::perm_options::add);
    }
    void TearDown() override {
        if (HasFailure()) tmp_.Keep();
    }

    fs::path Registrations() const { return root_ / "registriert.txt"; }

    // Everything but the installer and the tool leaves the start folder.
    void ClearStartFolder() const {
        for (const auto& entry : fs::directory_iterator(source_)) {
            const std::string name = entry.path().filename().string();
            if (name != "ModulSetup" && name != "kado-regsvr") fs::remove_all(entry.path());
        }
    }

    // Runs the copy of ModulSetup in the start folder; it prints its captions.
    Outcome RunModulSetup(const std::string& args = "") const {
        return Run("'" + (source_ / "ModulSetup").string() + "' " + args);
    }

    // A shell command's exit code and standard output.
    static Outcome Run(const std::string& command) {
        Outcome run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return run;
        std::string out;
        char buf[512];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
        const int status = ::pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.printed = Lines(out);
        return run;
    }

    // The libraries registered so far. The tools run detached, so this waits
    // until `expected` arrived (bounded), then a little longer for strays.
    std::multiset<std::string> Registered(size_t expected) const {
        using namespace std::chrono_literals;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        auto read = [&] {
            std::vector<std::string> lines = Lines(ReadFile(Registrations()));
            return std::multiset<std::string>(lines.begin(), lines.end());
        };
        while (read().size() < expected && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        std::this_thread::sleep_for(300ms);
        return read();
    }

    static std::string Setting() {
        return kado::settings::GetSetting(kado::setup::kSettingsApp, kado::setup::kSettingsSection,
                                          kado::setup::kSettingsKey, "(fehlt)");
    }

    // The window's failure lines as printed after its captions.
    std::vector<std::string> FailureLines(const std::vector<std::string>& failures) const {
        std::vector<std::string> lines{"Installation fehlgeschlagen:"};
        lines.insert(lines.end(), failures.begin(), failures.end());
        lines.push_back("Einzelheiten: " + (source_ / "Verw.log").string());
        return lines;
    }

    static std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    static std::string Version() {
        return "Version " + std::to_string(KADO_VERSION_MAJOR) + "." + std::to_string(KADO_VERSION_MINOR) +
               " Revision " + std::to_string(KADO_REVISION);
    }

    // What the window shows, in its order: caption, OK, version, last library,
    // its label, the target, its label.
    static std::vector<std::string> Captions(const std::string& lastLibrary, const std::string& target) {
        return {"Kado Erweiterungsinstallierer", "&OK", Version(), lastLibrary, "Installierte Erweiterung:",
                target, "Zielpfad:"};
    }

    kado::testing::TempDir tmp_{"kado-setup"};
    const fs::path root_ = tmp_.Path();
    fs::path source_;
};

}  // namespace setup_test
