// A settings file is the user's to edit: any bytes in it must read without a
// crash, and a value saved into it must read back while the others stay.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/com/error.h"
#include "platform/settings/settings.h"

namespace {

namespace fs = std::filesystem;

fs::path Store() {
    static const fs::path path = [] {
        std::string tmpl = (fs::temp_directory_path() / "kado-fuzz-settings-XXXXXX").string();
        const fs::path dir = ::mkdtemp(tmpl.data());
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        return kado::settings::StorePath("KadoVerwaltung");
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path file = Store();
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    try {
        const std::string before = kado::settings::GetSetting("KadoVerwaltung", "G_frmTabelle", "Top", "-");
        kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", "/opt/kado");
        if (kado::settings::GetSetting("KadoVerwaltung", "Pfade", "Programm") != "/opt/kado") __builtin_trap();
        if (kado::settings::GetSetting("KadoVerwaltung", "G_frmTabelle", "Top", "-") != before) __builtin_trap();
    } catch (const kado::com::Error&) {
        // Refusing a file it cannot read is fine; crashing on it is not.
    }
    return 0;
}
