// GO against a real host database file: Show's reading of TempDoc and the
// property lets' conversion and failure rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/com/error.h"
#include "platform/dao/dao.h"
#include "platform/dao/host_schema.h"
#include "platform/settings/settings.h"
#include "platform/word/word.h"
#include "plugin/component/dialog_registry.h"
#include "plugin/component/go.h"
#include "plugin/component/session_context.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "support/verw_log.h"

namespace {

namespace fs = std::filesystem;
using kado::com::Variant;

class GOTest : public ::testing::Test {
protected:
    void SetUp() override {
        honora::ResetSession();
        kado::testing::UseProgramFolder(dir_);
        file_ = (dir_ / "kado.sqlite").string();
        ws_ = std::make_shared<kado::dao::Workspace>();
        db_ = ws_->CreateDatabase(file_);
        kado::dao::ApplyHostSchema(*db_);
    }
    void TearDown() override {
        honora::ResetSession();
        db_.reset();
    }

    void ShowFor(int32_t user, bool setUser = true, int16_t index = 0) {
        if (setUser) go_.LetID_Benutzer(Variant(user));
        go_.LetDatenbankPfad(file_);
        go_.LetKadoWorkspace(Variant(kado::com::ObjectPtr(ws_)));
        std::shared_ptr<kado::dao::Recordset> invoice;
        go_.Show(index, invoice, 77);
    }

    // "Module.Procedure" of every Verw.log entry, in order.
    std::vector<std::string> LoggedPlaces() const { return kado::testing::LoggedPlaces(dir_ / "prog" / "Verw.log"); }

    kado::testing::TempDir tmp_{"kado-go"};
    const fs::path dir_ = tmp_.Path();
    std::string file_;
    std::shared_ptr<kado::dao::Workspace> ws_;
    std::shared_ptr<kado::dao::Database> db_;
    honora::GO go_;
};

TEST_F(GOTest, TenthsRoundHalfToEvenAndNullGivesZero) {
    struct Case { const char* stored; int16_t expected; };
    for (const Case& c : {Case{"190", 19}, Case{"75", 8}, Case{"165", 16}, Case{"175", 18}, Case{"NULL", 0}}) {
        SCOPED_TRACE(c.stored);
        honora::ResetSession();
        db_->Execute("DELETE FROM TempDoc");
        db_->Execute(std::string("INSERT INTO TempDoc (ID_Benutzer, Mehrwertsteuersatz) VALUES (3, ") + c.stored + ")");
        ShowFor(3);
        EXPECT_EQ(honora::Session().Mehrwertsteuersatz, c.expected);
        EXPECT_EQ(honora::Session().hWndMDI, 77);
    }
}

TEST_F(GOTest, SqlSettingSetsSeeChangesAndKeepsIt) {
    db_->Execute("INSERT INTO TempDoc (ID_Benutzer) VALUES (1)");
    ShowFor(1);
    EXPECT_FALSE(honora::Session().SQL);
    EXPECT_EQ(honora::Session().RecordsetOptionen, 0);
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "SQL", "True");
    ShowFor(1);
    EXPECT_TRUE(honora::Session().SQL);
    EXPECT_EQ(honora::Session().RecordsetOptionen, 512);
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "SQL", "False");
    ShowFor(1);
    EXPECT_FALSE(honora::Session().SQL);
    EXPECT_EQ(honora::Session().RecordsetOptionen, 512);
}

TEST_F(GOTest, UnsetUserQueriesUserZero) {
    db_->Execute("INSERT INTO TempDoc (ID_Benutzer, ID_Auftragsnummer, AbschlagProzent) VALUES (0, 4711, 100)");
    ShowFor(0, /*setUser=*/false);
    EXPECT_EQ(honora::Session().ID_Auftragsnummer, 4711);
    EXPECT_EQ(honora::Session().AbschlagProzent, 100);
}

TEST_F(GOTest, MissingRowLogsEachReadAndGoesOn) {
    db_->Execute(
        "INSERT INTO TempDoc (ID_Benutzer, ID_Auftragsnummer, MeßtruppZusammenfassen, AbschlagProzent, Zahlungsziel, "
        "Mehrwertsteuer, Rabatt) VALUES (1, 4711, 1, 100, 1, 160, 3)");
    ShowFor(1);
    ASSERT_EQ(honora::Session().AbschlagProzent, 100);
    // MwStErmäßigt is null: a direct read of it cannot be divided.
    ASSERT_THAT(LoggedPlaces(), ::testing::ElementsAre("Rechnung.Show"));

    std::shared_ptr<kado::dao::Recordset> invoice = db_->OpenRecordset("SELECT * FROM TempDoc");
    go_.LetID_Benutzer(Variant(int32_t{2}));
    go_.Show(0, invoice, 5);

    // Direct reads fail in Show and keep their values; the record readers
    // fail on their own and give 0. Every read is logged once.
    std::vector<std::string> expected(4, "Rechnung.Show");
    expected.insert(expected.end(), 9, "Funktionen.ZahlDatensatzLesen");
    expected.push_back("Funktionen.BoolDatensatzLesen");
    expected.insert(expected.begin(), "Rechnung.Show");  // the first Show's null MwStErmäßigt
    EXPECT_THAT(LoggedPlaces(), ::testing::UnorderedElementsAreArray(expected));
    const auto& c = honora::Session();
    EXPECT_EQ(c.ID_Auftragsnummer, 4711);
    EXPECT_TRUE(c.MeßtruppZusammenfassen);
    EXPECT_EQ(c.Mehrwertsteuer, 16);
    EXPECT_EQ(c.AbschlagProzent, 0);
    EXPECT_FALSE(c.Zahlungsziel);
    EXPECT_EQ(c.Rabatt, 0);
    EXPECT_EQ(c.Rechnung, invoice);
    EXPECT_EQ(c.hWndMDI, 5);
}

TEST_F(GOTest, UnopenableDatabaseLogsAndStillKeepsTheInvoice) {
    go_.LetDatenbankPfad((dir_ / "missing.sqlite").string());
    go_.LetKadoWorkspace(Variant(kado::com::ObjectPtr(ws_)));
    std::shared_ptr<kado::dao::Recordset> invoice = db_->OpenRecordset("Rechnung");
    go_.Show(7, invoice, 9);
    const auto places = LoggedPlaces();
    // Open, query and the four direct reads in Show; ten reader failures.
    EXPECT_EQ(std::count(places.begin(), places.end(), "Rechnung.Show"), 6);
    EXPECT_EQ(places.size(), 16u);
    EXPECT_EQ(honora::Session().Rechnung, invoice);
    EXPECT_EQ(honora::Session().hWndMDI, 9);
}

// Counts how often Show brings the dialog up; "closes" on request.
struct FakeDialog : honora::ModelessDialog {
    int shown = 0;
    bool open = false;
    void ShowModeless() override {
        ++shown;
        open = true;
    }
    bool IsOpen() const override { return open; }
};

TEST_F(GOTest, IndexPicksTheDialogAndReusesAnOpenOne) {
    db_->Execute("INSERT INTO TempDoc (ID_Benutzer, ID_Auftragsnummer, MeßtruppZusammenfassen, AbschlagProzent, Mehrwertsteuer, "
                 "MwStErmäßigt) VALUES (1, 2, 0, 50, 190, 70)");
    std::array<std::shared_ptr<FakeDialog>, 5> last{};
    std::array<int, 5> created{};
    for (int16_t i = 0; i < 5; ++i) {
        honora::RegisterDialog(i, [&, i] {
            ++created[static_cast<size_t>(i)];
            last[static_cast<size_t>(i)] = std::make_shared<FakeDialog>();
            return last[static_cast<size_t>(i)];
        });
    }
    struct Case { int16_t index; std::array<int, 5> created; };
    for (const Case& k : {Case{5, {0, 0, 0, 0, 0}}, Case{-1, {0, 0, 0, 0, 0}}, Case{0, {1, 0, 0, 0, 0}},
                          Case{0, {1, 0, 0, 0, 0}}, Case{4, {1, 0, 0, 0, 1}}}) {
        SCOPED_TRACE(k.index);
        honora::Session().AbschlagProzent = 0;
        ShowFor(1, true, k.index);
        // The session is refreshed whether or not a dialog opens.
        EXPECT_EQ(honora::Session().AbschlagProzent, 50);
        EXPECT_EQ(created, k.created);
    }
    EXPECT_THAT(LoggedPlaces(), ::testing::IsEmpty());
    EXPECT_EQ(last[0]->shown, 2);  // the second Show only brought it to the front
    last[0]->open = false;         // unloaded itself: the next Show loads it afresh
    ShowFor(1, true, 0);
    EXPECT_EQ(created[0], 2);
    honora::UnregisterDialogs();
}

// The host names the category of an index whether or not its dialog is built.
TEST(DialogRegistry, CategoryNameKnowsEveryIndexOfShow) {
    honora::UnregisterDialogs();
    struct Case { int16_t index; const char* name; };
    for (const Case& c : {Case{-1, nullptr}, Case{0, "frmKat5, Grenzfeststellung nach Nr. 30.6"},
                          Case{4, "frmKat1, Zerlegung nach Nr. 30.1"}, Case{5, nullptr}}) {
        SCOPED_TRACE(c.index);
        EXPECT_FALSE(honora::HasDialog(c.index));
        EXPECT_STREQ(honora::CategoryName(c.index), c.name);
    }
}

TEST_F(GOTest, IntegerLetsRoundAndKeepOldValueOnOverflow) {
    go_.LetAchslänge(Variant("12,5"));
    EXPECT_EQ(go_.GetAchslänge().ToInteger(), 12);
    try {
        go_.LetAchslänge(Variant(int32_t{70000}));
        FAIL() << "no error";
    } catch (const kado::com::Error& e) {
        EXPECT_EQ(e.Number(), kado::com::err::Overflow);
    }
    EXPECT_EQ(honora::Session().Achslänge, 12);
    go_.LetFläche(Variant("1.234,5"));
    EXPECT_DOUBLE_EQ(honora::Session().Fläche, 1234.5);
    go_.LetLage(Variant(2.5));
    EXPECT_EQ(honora::Session().Lage, "2,5");
}

TEST_F(GOTest, ObjectLetsRefuseTheWrongKind) {
    const Variant database{kado::com::ObjectPtr(db_)};
    try {
        go_.LetDoc(database);
        FAIL() << "no error";
    } catch (const kado::com::Error& e) {
        EXPECT_EQ(e.Number(), kado::com::err::TypeMismatch);
    }
    EXPECT_EQ(honora::Session().Doc, nullptr);
    EXPECT_THROW(go_.LetKadoWorkspace(database), kado::com::Error);
    go_.LetNeueAbfrage(database);
    EXPECT_EQ(honora::Session().NeueAbfrage, db_);

    auto app = std::make_shared<kado::word::Application>();
    auto doc = kado::word::Document::New(app);
    go_.LetDoc(Variant(kado::com::ObjectPtr(doc)));
    EXPECT_EQ(honora::Session().Doc, doc);
    EXPECT_EQ(honora::Session().WordApp, app);
    EXPECT_EQ(go_.GetDoc().As<kado::word::Document>(), doc);
    // A wrong kind after a good one leaves the document in place.
    EXPECT_THROW(go_.LetDoc(database), kado::com::Error);
    EXPECT_EQ(honora::Session().Doc, doc);
}

TEST(CreateObject, OnlyTheGOProgId) {
    EXPECT_NE(honora::CreateObject("honora.GO"), nullptr);
    EXPECT_EQ(honora::CreateObject("honora.Other"), nullptr);
    EXPECT_EQ(honora::CreateObject(nullptr), nullptr);
}

}  // namespace
