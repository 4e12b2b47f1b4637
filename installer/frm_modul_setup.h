// The installer's one window frmModulSetup: its controls, and the load handler
// that copies the extension files into the host's program folder and starts
// the registration of every library there.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/forms.h"

namespace kado::setup {

inline constexpr std::string_view kFormName = "frmModulSetup";
inline constexpr std::string_view kNoExtension = "keine zu installierende Erweiterung gefunden";
// The setting's default, standing for "no program folder known".
inline constexpr std::string_view kNoData = "keineDaten";

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
    const std::string& Target() const noexcept { return ziel_; }
    const std::filesystem::path& StartFolder() const noexcept { return start_; }

private:
    void Design(forms::Form& form);
    void FormLoad();
    void Command1Click();

    std::filesystem::path start_;
    std::string ziel_;
    std::shared_ptr<forms::Form> form_;
};

// The window's caption, then the caption of every visible label and button in
// the order the window holds them.
std::vector<std::string> ShownCaptions(const forms::Form& form);

}  // namespace kado::setup
