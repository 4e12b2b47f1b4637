// GO against a real host database file: Show's reading of TempDoc and the
// property lets' conversion and failure rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/com/error.h"
#include "platform/dao/dao.h"
#include "platform/settings/settings.h"
#include "plugin/component/go.h"
#include "plugin/component/session_context.h"

namespace kado::dao {
void ApplyHostSchema(Database& db);
}

namespace {

namespace fs = std::filesystem;
using kado::com::Variant;

class GOTest : public ::testing::Test {
protected:
    void SetUp() override {
        honora::ResetSession();
        dir_ = fs::temp_directory_path() /
               ("h4-go-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "config");
        fs::create_directories(dir_ / "prog");
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
        kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", (dir_ / "prog").string());
        file_ = (dir_ / "kado.sqlite").string();
        ws_ = std::make_shared<kado::dao::Workspace>();
        db_ = ws_->CreateDatabase(file_);
        kado::dao::ApplyHostSchema(*db_);
    }
    void TearDown() override {
        honora::ResetSession();
        db_.reset();
        fs::remove_all(dir_);
    }

    void ShowFor(int32_t user, bool setUser = true, int16_t index = 0) {
        if (setUser) go_.LetID_Benutzer(Variant(user));
        go_.LetDatenbankPfad(file_);
        go_.LetKadoWorkspace(Variant(kado::com::ObjectPtr(ws_)));
        std::shared_ptr<kado::dao::Recordset> rechnung;
        go_.Show(index, rechnung, 77);
    }

    int LoggedShowFailures() const {
        std::ifstream in(dir_ / "prog" / "Verw.log");
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string text = ss.str();
        int n = 0;
        for (auto pos = text.find("Show"); pos != std::string::npos; pos = text.find("Show", pos + 1)) ++n;
        return n;
    }

    fs::path dir_;
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
    std::shared_ptr<kado::dao::Recordset> rechnung = db_->OpenRecordset("SELECT * FROM TempDoc");
    go_.LetDatenbankPfad(file_);
    go_.LetKadoWorkspace(Variant(kado::com::ObjectPtr(ws_)));
    go_.Show(0, rechnung, 5);
    // Fourteen field reads fail on their own; the recordset is still kept.
    EXPECT_EQ(LoggedShowFailures(), 14);
    EXPECT_EQ(honora::Session().Rechnung, rechnung);
    EXPECT_EQ(honora::Session().hWndMDI, 5);
}

TEST_F(GOTest, IndexOutsideTheTableOpensNothing) {
    db_->Execute("INSERT INTO TempDoc (ID_Benutzer) VALUES (1)");
    for (int16_t index : {int16_t{5}, int16_t{-1}}) {
        ShowFor(1, true, index);
        EXPECT_EQ(LoggedShowFailures(), 0) << index;
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
}

TEST(CreateObject, OnlyTheGOProgId) {
    EXPECT_NE(honora::CreateObject("honora.GO"), nullptr);
    EXPECT_EQ(honora::CreateObject("honora.Other"), nullptr);
    EXPECT_EQ(honora::CreateObject(nullptr), nullptr);
}

}  // namespace
