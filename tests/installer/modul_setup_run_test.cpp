// ModulSetup run as a whole program from a temporary start folder: where it
// installs to, what it copies, what it registers, and what it logs.
#include <map>
#include <optional>

#include "installer_fixture.h"

namespace setup_test {
namespace {

using kado::setup::kNoExtension;

TEST_F(InstallerTest, WithoutSettingInstallsIntoItsOwnFolderAndKeepsEveryFile) {
    const std::map<std::string, std::string> files = {
        {"libhonora.so", std::string("\x7f" "ELF honora\0\1\2", 15)},
        {"LIBKARTE.SO", "karte"},
        {"liesmich.txt", "Bitte zuerst lesen."},
    };
    for (const auto& [name, bytes] : files) WriteFile(source_ / name, bytes);
    const std::string tool = ReadFile(source_ / "kado-regsvr");
    const auto installer = fs::file_size(source_ / "ModulSetup");

    const Outcome run = RunModulSetup();

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.printed, Captions("libhonora.so", source_.string()));
    EXPECT_EQ(Setting(), source_.string());
    EXPECT_EQ(Registered(2), (std::multiset<std::string>{(source_ / "LIBKARTE.SO").string(),
                                                         (source_ / "libhonora.so").string()}));
    // Copies onto themselves are skipped, so nothing is truncated and nothing fails.
    for (const auto& [name, bytes] : files) EXPECT_EQ(ReadFile(source_ / name), bytes) << name;
    EXPECT_EQ(ReadFile(source_ / "kado-regsvr"), tool);
    EXPECT_EQ(fs::file_size(source_ / "ModulSetup"), installer);
    EXPECT_FALSE(fs::exists(source_ / "Verw.log")) << ReadFile(source_ / "Verw.log");
}

// With the program folder set: what lands there and what gets registered.
TEST_F(InstallerTest, CopiesPlainFilesAndRegistersOnlyLibraries) {
    struct Case {
        const char* what;
        std::vector<std::string> files;       // in the start folder; "dir/name" lies in a sub-folder
        std::vector<std::string> registered;  // in the target
        std::string shown;                    // lblEx at the end
    } cases[] = {
        {"no library", {"liesmich.txt", "daten.sqlite"}, {}, std::string(kNoExtension)},
        {"backups are copied, not registered; upper case is registered, shown in lower case",
         {"LIBY.SO", "libx.so.bak", "libx.so.old", "so.txt"}, {"LIBY.SO"}, "liby.so"},
        {"every library, the last one shown", {"liba.so", "libb.so", "liesmich.txt"}, {"liba.so", "libb.so"},
         "libb.so"},
        {"sub-folders stay behind", {"libhonora.so", "zusatz/libzusatz.so", "zusatz/liesmich.txt"},
         {"libhonora.so"}, "libhonora.so"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root_ / "config");
        fs::remove(Registrations());
        for (const auto& entry : fs::directory_iterator(source_)) {
            const std::string name = entry.path().filename().string();
            if (name != "ModulSetup" && name != "kado-regsvr") fs::remove_all(entry.path());
        }
        const fs::path target = root_ / ("ziel-" + std::to_string(&c - cases));
        fs::create_directories(target);
        kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());
        for (const std::string& f : c.files) WriteFile(source_ / f, "Inhalt von " + f);

        const Outcome run = RunModulSetup();

        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.printed, Captions(c.shown, target.string()));
        std::multiset<std::string> expected;
        for (const std::string& r : c.registered) expected.insert((target / r).string());
        EXPECT_EQ(Registered(expected.size()), expected);
        // The program folder holds the plain files and the installer, the tool
        // once, and nothing of a sub-folder.
        std::set<std::string> want = {"ModulSetup", "kado-regsvr"};
        for (const std::string& f : c.files) {
            if (f.find('/') == std::string::npos) {
                want.insert(f);
                EXPECT_EQ(ReadFile(target / f), "Inhalt von " + f);
            }
        }
        std::set<std::string> got;
        for (const auto& entry : fs::directory_iterator(target)) got.insert(entry.path().filename().string());
        EXPECT_EQ(got, want);
        EXPECT_EQ(ReadFile(target / "kado-regsvr"), ReadFile(source_ / "kado-regsvr"));
        EXPECT_EQ(Setting(), target.string()) << "an existing setting is kept";
        EXPECT_FALSE(fs::exists(source_ / "Verw.log")) << ReadFile(source_ / "Verw.log");
    }
}

TEST_F(InstallerTest, FileThatCannotBeCopiedIsLoggedAndTheRestGoesOn) {
    const fs::path target = root_ / "programm";
    // A folder in the way of the first library: its copy fails, what the target
    // holds under that name is registered all the same.
    fs::create_directories(target / "libalt.so");
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());
    WriteFile(source_ / "libalt.so", "alt");
    WriteFile(source_ / "libneu.so", "neu");

    const Outcome run = RunModulSetup();

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.printed, Captions("libneu.so", target.string()));
    EXPECT_TRUE(fs::is_directory(target / "libalt.so"));
    EXPECT_EQ(ReadFile(target / "libneu.so"), "neu");
    EXPECT_EQ(Registered(2), (std::multiset<std::string>{(target / "libalt.so").string(),
                                                         (target / "libneu.so").string()}));
    const std::string log = ReadFile(source_ / "Verw.log");
    EXPECT_NE(log.find("Error 75: \r\nCannot copy " + (source_ / "libalt.so").string() + " to " +
                       (target / "libalt.so").string()),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\r\nZeile: 200\r\nOrt  : -KadoDienste- frmModulSetup.Form_Load\r\nUser : ohne, ohne\r\n\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(Lines(log).size(), 6u) << "one entry only: " << log;
    EXPECT_FALSE(fs::exists(target / "Verw.log"));
}

TEST_F(InstallerTest, SettingThatCannotBeWrittenIsLoggedAndTheStartFolderIsTheTarget) {
    // The store's file is a folder: it reads as empty, and the write fails.
    fs::create_directories(root_ / "config" / "KadoVerwaltung" / "settings.ini");
    WriteFile(source_ / "libhonora.so", "honora");

    const Outcome run = RunModulSetup();

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.printed, Captions("libhonora.so", source_.string()));
    EXPECT_EQ(Registered(1), std::multiset<std::string>{(source_ / "libhonora.so").string()});
    EXPECT_EQ(ReadFile(source_ / "libhonora.so"), "honora");
    const std::string log = ReadFile(source_ / "Verw.log");
    EXPECT_NE(log.find("Error 70: \r\nCannot write settings file "), std::string::npos) << log;
    EXPECT_NE(log.find("\r\nZeile: 150\r\nOrt  : -KadoDienste- frmModulSetup.Form_Load\r\n"), std::string::npos)
        << log;
    EXPECT_EQ(Lines(log).size(), 6u) << "one entry only: " << log;
}

TEST_F(InstallerTest, MissingRegistrationToolIsLoggedForEveryLibrary) {
    fs::remove(source_ / "kado-regsvr");
    const fs::path target = root_ / "programm";
    fs::create_directories(target);
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());
    WriteFile(source_ / "liba.so", "a");
    WriteFile(source_ / "libb.so", "b");

    const Outcome run = RunModulSetup();

    EXPECT_EQ(run.exitCode, 0);
    // The name is shown even when its tool could not be started.
    EXPECT_EQ(run.printed, Captions("libb.so", target.string()));
    EXPECT_EQ(ReadFile(target / "libb.so"), "b");
    const std::string log = ReadFile(source_ / "Verw.log");
    std::vector<std::string> places;
    for (const std::string& line : Lines(log))
        if (line.starts_with("Zeile: ")) places.push_back(line);
    EXPECT_EQ(places, (std::vector<std::string>{"Zeile: 190\r", "Zeile: 210\r", "Zeile: 210\r"})) << log;
    EXPECT_NE(log.find("Cannot start " + (target / "kado-regsvr").string()), std::string::npos) << log;
}

}  // namespace
}  // namespace setup_test
