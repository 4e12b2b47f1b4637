// ModulSetup run as a whole program from a temporary start folder: where it
// installs to, what it copies, what it registers, and what it logs.
#include <map>
#include <optional>

#include "installer_fixture.h"
#include "support/verw_log.h"

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
        ClearStartFolder();
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

TEST_F(InstallerTest, FileThatCannotBeCopiedIsLoggedShownAndTheRestGoesOn) {
    const fs::path target = root_ / "programm";
    // A folder in the way of the first library: its copy fails, what the target
    // holds under that name is registered all the same.
    fs::create_directories(target / "libalt.so");
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());
    WriteFile(source_ / "libalt.so", "alt");
    WriteFile(source_ / "libneu.so", "neu");

    const Outcome run = RunModulSetup();

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.printed, Joined(Captions("libneu.so", target.string()), FailureLines({"libalt.so nicht kopiert"})));
    EXPECT_TRUE(fs::is_directory(target / "libalt.so"));
    EXPECT_EQ(ReadFile(target / "libneu.so"), "neu");
    EXPECT_EQ(Registered(2), (std::multiset<std::string>{(target / "libalt.so").string(),
                                                         (target / "libneu.so").string()}));
    const std::string log = ReadFile(source_ / "Verw.log");
    EXPECT_NE(log.find("Error 75: \r\nKopieren von " + (source_ / "libalt.so").string() + " nach " +
                       (target / "libalt.so").string() + " fehlgeschlagen: am Ziel liegt ein Ordner"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\r\nZeile: 200\r\nOrt  : -KadoDienste- frmModulSetup.Form_Load\r\nUser : ohne, ohne\r\n\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(Lines(log).size(), 6u) << "one entry only: " << log;
    EXPECT_FALSE(fs::exists(target / "Verw.log"));
}

// What goes wrong is in the window and the exit code, not only in the log.
TEST_F(InstallerTest, FailuresAreShownAndEndNonZero) {
    // The stand-in tool refuses one library as the real one refuses a broken file.
    WriteFile(source_ / "kado-regsvr", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + Registrations().string() +
                                           "'\ncase \"$1\" in *kaputt*) exit 3;; esac\n");
    struct Case {
        const char* what;
        std::string target;  // the setting, below root_
        bool makeTarget;
        std::vector<std::string> files;
        std::string shown;
        std::vector<std::string> failures;
        std::vector<std::string> registered;
        std::string logged;
    } cases[] = {
        {"missing target folder: nothing installed", "fehlt/programm", false, {"libhonora.so"},
         std::string(kado::setup::kNothingInstalled), {"Zielpfad fehlt oder ist kein Ordner; nichts installiert"}, {},
         "Error 76: \r\nDer Zielpfad \"" + (root_ / "fehlt/programm").string() +
             "\" fehlt (Einstellung KadoVerwaltung/Pfade/Programm); nichts installiert\r\nZeile: 175\r\n"},
        {"target is a file", "datei", false, {"libhonora.so"}, std::string(kado::setup::kNothingInstalled),
         {"Zielpfad fehlt oder ist kein Ordner; nichts installiert"}, {}, "\" ist kein Ordner (Einstellung"},
        {"registration refused by the tool", "programm", true, {"libgut.so", "libkaputt.so"}, "libkaputt.so",
         {"Registrierung von libkaputt.so fehlgeschlagen (das Registrierungsprogramm endete mit Exit-Code 3)"},
         {"libgut.so", "libkaputt.so"},
         "Error 75: \r\nRegistrierung von " + (root_ / "programm/libkaputt.so").string() +
             " fehlgeschlagen: das Registrierungsprogramm endete mit Exit-Code 3\r\nZeile: 210\r\n"},
    };
    WriteFile(root_ / "datei", "keine Ordner");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(Registrations());
        ClearStartFolder();
        const fs::path target = root_ / c.target;
        if (c.makeTarget) fs::create_directories(target);
        kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());
        for (const std::string& f : c.files) WriteFile(source_ / f, f);

        const Outcome run = RunModulSetup();

        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.printed, Joined(Captions(c.shown, target.string()), FailureLines(c.failures)));
        std::multiset<std::string> expected;
        for (const std::string& r : c.registered) expected.insert((target / r).string());
        EXPECT_EQ(Registered(expected.size()), expected);
        if (!c.makeTarget) {
            EXPECT_FALSE(fs::exists(root_ / "fehlt")) << "the target's path is not made";
            EXPECT_EQ(ReadFile(root_ / "datei"), "keine Ordner");
        }
        EXPECT_EQ(Setting(), target.string());
        const std::string log = ReadFile(source_ / "Verw.log");
        EXPECT_NE(log.find(c.logged), std::string::npos) << log;
        EXPECT_EQ(Lines(log).size(), 6u) << "one entry only: " << log;
    }
}

// -h and --help say what the programs do and do nothing else; an unknown
// argument is refused before anything is installed.
TEST_F(InstallerTest, HelpPrintsUsageAndInstallsNothing) {
    const fs::path target = root_ / "programm";
    fs::create_directories(target);
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());
    WriteFile(source_ / "libhonora.so", "honora");
    const std::string regsvr = "'" + (fs::path(KADO_BINARY_DIR) / "bin" / "kado-regsvr").string() + "' ";
    const std::string registry = (root_ / "config" / "KadoKomponenten" / "registry.txt").string();
    struct Case {
        std::string command;
        int exitCode;
        std::string firstLine;  // of standard output
    } cases[] = {
        {"'" + (source_ / "ModulSetup").string() + "' --help", 0, "Aufruf: ModulSetup [-h|--help]"},
        {"'" + (source_ / "ModulSetup").string() + "' -h", 0, "Aufruf: ModulSetup [-h|--help]"},
        {"'" + (source_ / "ModulSetup").string() + "' --hilfe 2>/dev/null", 2, ""},
        {regsvr + "-h", 0, "Aufruf: kado-regsvr [/u] [/s] BIBLIOTHEK"},
        {regsvr + "--help '" + (source_ / "libhonora.so").string() + "'", 0, "Aufruf: kado-regsvr [/u] [/s] BIBLIOTHEK"},
        {regsvr + "-x '" + (source_ / "libhonora.so").string() + "' 2>/dev/null", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const Outcome run = Run(c.command);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.printed.empty() ? "" : run.printed.front(), c.firstLine);
        for (const std::string& line : run.printed)
            EXPECT_EQ(line.find("Usage"), std::string::npos) << line;
    }
    EXPECT_EQ(Registered(0), std::multiset<std::string>{});
    EXPECT_FALSE(fs::exists(target / "libhonora.so"));
    EXPECT_FALSE(fs::exists(registry));
    EXPECT_FALSE(fs::exists(source_ / "Verw.log"));
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

    EXPECT_EQ(run.exitCode, 1);
    // The name is shown even when its tool could not be started.
    EXPECT_EQ(run.printed, Joined(Captions("libb.so", target.string()),
                                  FailureLines({"kado-regsvr nicht kopiert", "Registrierung von liba.so nicht gestartet",
                                                "Registrierung von libb.so nicht gestartet"})));
    EXPECT_EQ(ReadFile(target / "libb.so"), "b");
    const std::string log = ReadFile(source_ / "Verw.log");
    EXPECT_EQ(kado::testing::LoggedSteps(source_ / "Verw.log"),
              (std::vector<std::string>{"frmModulSetup.Form_Load:190", "frmModulSetup.Form_Load:210",
                                        "frmModulSetup.Form_Load:210"}))
        << log;
    EXPECT_NE(log.find("Das Registrierungsprogramm " + (target / "kado-regsvr").string() +
                       " kann nicht gestartet werden: Datei oder Ordner nicht vorhanden"),
              std::string::npos)
        << log;
}

}  // namespace
}  // namespace setup_test
