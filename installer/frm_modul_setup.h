// The installer's one window frmModulSetup: its controls, and the load handler
// that copies the extension files into the host's program folder and starts
// the registration of every library there.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "installer/registration.h"
#include "platform/forms/forms.h"

namespace kado::setup {

inline constexpr std::string_view kFormName = "frmModulSetup";
inline constexpr std::string_view kNoExtension = "keine zu installierende Erweiterung gefunden";
// The setting's default, standing for "no program folder known".
inline constexpr std::string_view kNoData = "keineDaten";
// lblEx when the target folder is missing and nothing was installed.
inline constexpr std::string_view kNothingInstalled = "nichts installiert: der Zielpfad fehlt";

// The host's program folder in the per-user settings.
inline constexpr std::string_view kSettingsApp = "KadoVerwaltung";
inline constexpr std::string_view kSettingsSection = "Pfade";
inline constexpr std::string_view kSettingsKey = "Programm";

class ModulSetup {
public:
    // The start folder holds the extension files and receives the installer's Verw.log.
    ModulSetup(std::shared_ptr<forms::Desktop> desktop, std::filesystem::path startFolder);
    ModulSetup(const ModulSetup&) = delete;
    ModulSetup& operator=(const ModulSetup&) = delete;

    forms::Form& Window() const noexcept { return *form_; }
    // Where the load handler installed to (empty before the window loaded).
    const std::string& Target() const noexcept { return targetFolder_; }
    const std::filesystem::path& StartFolder() const noexcept { return start_; }

    // Looks at the registrations still running, waiting at most `limit` for
    // them all; a failed one is logged and shown with the other failures.
    void AwaitRegistrations(std::chrono::milliseconds limit);
    bool RegistrationsRunning() const noexcept { return !running_.empty(); }
    // A copy, a registration or the target folder failed: what the window lists.
    const std::vector<std::string>& Failures() const noexcept { return failures_; }
    // The process's exit code: 0 when everything known so far went well.
    int ExitCode() const noexcept { return failures_.empty() ? 0 : 1; }

private:
    void Design(forms::Form& form);
    void FormLoad();
    void Command1Click();
    void Fail(std::string what);

    std::filesystem::path start_;
    std::string targetFolder_;
    std::vector<StartedRegistration> running_;
    std::vector<std::string> failures_;
    std::shared_ptr<forms::Form> form_;
};

// The window's caption, then the caption of every visible label and button in
// the order the window holds them.
std::vector<std::string> ShownCaptions(const forms::Form& form);

}  // namespace kado::setup
