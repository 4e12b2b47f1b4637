// The host session unit on the demo data: what it refuses before GO sees
// anything, what it hands to GO, and where the run's log entries are counted.
#include "host/session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/com/component_registry.h"
#include "support/host_home.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;

class HostSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        kado::testing::HostHome(dir_);
        ASSERT_EQ(kado::testing::QuietInit(dir_ / "demo"), 0);
        db_ = dir_ / "demo" / "kado.sqlite";
        std::ofstream(dir_ / "kein.docx") << "no zip";
        std::ofstream(dir_ / "kein.sqlite") << "no db";
    }
    kado::testing::TempDir tmp_{"kado-session"};
    const fs::path dir_ = tmp_.Path();
    fs::path db_;
};

TEST_F(HostSessionTest, RefusesFilesBeforeGOIsCreated) {
    struct Case { fs::path db, doc; std::string message; bool cause; int user = 1; };
    const fs::path demo = dir_ / "demo";
    {
        auto foreign = dao::Workspace().CreateDatabase((dir_ / "fremd.sqlite").string());
        foreign->Execute("CREATE TABLE Rechnung (ID_Rechnungsnummer INTEGER)");
    }
    for (const Case& c : {Case{dir_ / "fehlt.sqlite", {}, "Datenbankdatei nicht gefunden: " + (dir_ / "fehlt.sqlite").string(), false},
                          Case{db_, dir_ / "fehlt.docx", "Dokument nicht gefunden: " + (dir_ / "fehlt.docx").string(), false},
                          Case{db_, dir_ / "kein.docx", "Dokument lässt sich nicht lesen: " + (dir_ / "kein.docx").string() + ": Fehler ", true},
                          Case{dir_ / "kein.sqlite", demo / "Rechnung.docx",
                               "Datenbank lässt sich nicht öffnen: " + (dir_ / "kein.sqlite").string() + ": Fehler ", true},
                          Case{dir_ / "fremd.sqlite", {}, "Datenbank ist keine vollständige Host-Datenbank: " +
                               (dir_ / "fremd.sqlite").string() + " (es fehlt: TempDoc, Rechnung.Rechnungsnummer, "
                               "Rechnung.ID_Auftragsnummer, Rechnung.Rechnungsart, Rechnung.NettoRechnung, Rechnung.Brutto, "
                               "Rechnung.MehrwertsteuerFreierbetrag, Rechnung.Mehrwertsteuersatz, Termine, Version)", false},
                          Case{db_, {}, "Benutzer 7 hat keine Rechnungseinstellungen (TempDoc) in " + db_.string(), false, 7}}) {
        SCOPED_TRACE(c.message);
        HostSession s;
        const auto problem = s.Open(c.db, c.doc, c.user);
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->message.rfind(c.message, 0), 0u) << problem->message;
        EXPECT_EQ(problem->cause.has_value(), c.cause);
        std::ostringstream err;
        EXPECT_EQ(Fail(*problem, err), 2);
        EXPECT_EQ(err.str(), "kado-host: " + problem->message + "\n");
    }
}

TEST_F(HostSessionTest, HandsTheFilesToGOAndShowsTheCategoryDialog) {
    auto desktop = std::make_shared<forms::HeadlessDesktop>();
    HostSession s(desktop);
    ASSERT_FALSE(s.Open(db_, dir_ / "demo" / "Rechnung.docx", 1));
    // What GO holds, seen through its own properties across the library boundary.
    const auto& go = s.Component();
    EXPECT_EQ(go.GetDoc().As<word::Document>().get(), &s.Document());
    EXPECT_EQ(go.GetNeueAbfrage().As<dao::Database>().get(), &s.Database());
    EXPECT_EQ(go.GetDatenbankPfad(), db_.string());
    EXPECT_EQ(go.GetID_Benutzer().ToLong(), 1);
    EXPECT_EQ(s.Invoice(99), nullptr);
    s.Show(0, s.Invoice(1));
    // The component opened its dialog on the desktop the host installed.
    ASSERT_TRUE(desktop->LastModeless());
    EXPECT_EQ(desktop->LastModeless()->Name(), "frmKat5");
    const auto values = s.SessionValues();
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(values.back(), (std::pair<std::string, std::string>{"Rechnung", "übergeben"}));
    EXPECT_FALSE(s.DocumentChanged());
    EXPECT_EQ(s.LogFile(), dir_ / "prog" / "Verw.log");
    EXPECT_EQ(s.Logged(), 0);

    s.Document().Content().InsertAfter("Nachtrag");
    EXPECT_TRUE(s.DocumentChanged());
    EXPECT_FALSE(s.Save(dir_ / "fertig.docx"));
    EXPECT_TRUE(word::Document::Open(dir_ / "fertig.docx")->Content().Text().find("Nachtrag") != std::string::npos);
    const auto problem = s.Save(dir_ / "fehlt" / "fertig.docx");
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message.rfind("Speichern nach " + (dir_ / "fehlt" / "fertig.docx").string() +
                                         " fehlgeschlagen: Fehler 75: \"Datei nicht schreibbar: ", 0),
              0u);
    std::ostringstream err;
    EXPECT_EQ(Fail(*problem, err), 1);

    // Released by the host, the component ends: the dialog goes with it, and
    // the next GO starts on a fresh session.
    s.End();
    EXPECT_FALSE(desktop->LastModeless());
    HostSession next(desktop);
    ASSERT_FALSE(next.Open(db_, {}, 1));
    EXPECT_EQ(next.SessionValues().back().second, "keine");
}

// Without the plug-in in the registry the host says what to install, and
// with it back, creates GO again.
TEST_F(HostSessionTest, SaysHowToInstallAnUnregisteredComponent) {
    ASSERT_TRUE(com::ComponentRegistry().Unregister("honora.GO"));
    HostSession s;
    const auto problem = s.Open(db_, {}, 1);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message.rfind("honora.GO ist nicht registriert (Komponentenregister " +
                                         (dir_ / "config" / "KadoKomponenten" / "registry.txt").string() + ")",
                                     0),
              0u)
        << problem->message;
    EXPECT_NE(problem->message.find("ModulSetup"), std::string::npos);
    std::ostringstream err;
    EXPECT_EQ(Fail(*problem, err), 2);

    com::ComponentRegistry().Register({"honora.GO", "{0}", dir_ / "fehlt.so"});
    const auto broken = HostSession().Open(db_, {}, 1);
    ASSERT_TRUE(broken);
    EXPECT_NE(broken->message.find("lässt sich nicht erzeugen: Fehler 429: "), std::string::npos) << broken->message;
    EXPECT_NE(broken->message.find((dir_ / "fehlt.so").string()), std::string::npos) << broken->message;

    kado::testing::RegisterBuiltPlugin();
    EXPECT_FALSE(HostSession().Open(db_, {}, 1));
}

// The host counts in the file the component's logger writes to.
TEST_F(HostSessionTest, CountsWhatShowLoggedInTheProgramFolder) {
    std::ofstream(dir_ / "prog" / "Verw.log") << "Ort  : vorher\n";
    HostSession s;
    // The discount column gone after the host checked the database: Show logs that one read and goes on.
    ASSERT_FALSE(s.Open(db_, {}, 1));
    dao::Workspace().OpenDatabase(db_.string())->Execute("ALTER TABLE TempDoc DROP COLUMN Rabatt");
    s.Show(1, nullptr);
    EXPECT_EQ(s.LogFile(), dir_ / "prog" / "Verw.log");
    EXPECT_EQ(s.Logged(), 1);
}

}  // namespace
}  // namespace kado::host
