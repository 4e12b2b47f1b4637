#include "platform/dao/dao.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/dao/host_schema.h"
#include "support/error_of.h"

namespace kado::dao {
namespace {

namespace fs = std::filesystem;
using com::Variant;
using com::VarType;

using kado::test::ErrorOf;

class DaoTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kado-dao-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "host.db").string();
        auto created = Workspace().CreateDatabase(path_);
        ApplyHostSchema(*created);
        created->Execute(
            "INSERT INTO TempDoc (ID_Benutzer, ID_Auftragsnummer, MeßtruppZusammenfassen, AbschlagAbsolut, "
            "Zahlungsziel, MwStErmäßigt) VALUES (1, 7, 1, 12.5, 'False', 7);"
            "INSERT INTO Rechnung VALUES (3, 'R-3', 7, 5, 100.0, 119.0, NULL, 19);"
            "INSERT INTO Rechnung VALUES (4, 'R-4', 7, 1, 50.0, 59.5, 0, 19);"
            "INSERT INTO Termine VALUES (1, 8, 3, '2024-02-29');"
            "INSERT INTO Termine VALUES (2, 1, 3, '2024-03-01 13:30:00');");
        db_ = Workspace().OpenDatabase(path_);
    }
    void TearDown() override {
        db_.reset();
        fs::remove_all(dir_);
    }
    fs::path dir_;
    std::string path_;
    std::shared_ptr<Database> db_;
};

TEST_F(DaoTest, FieldsAreTypedByDeclaredColumnType) {
    auto rs = db_->OpenRecordset("SELECT * FROM TempDoc WHERE ID_Benutzer = 1", dbOpenDynaset, 0);
    ASSERT_FALSE(rs->EOF_());
    EXPECT_EQ(rs->Field("ID_Auftragsnummer").Type(), VarType::Long);
    EXPECT_EQ(rs->Field("ID_Auftragsnummer").ToLong(), 7);
    EXPECT_EQ(rs->Field("MeßtruppZusammenfassen").Type(), VarType::Boolean);
    EXPECT_TRUE(rs->Field("MeßtruppZusammenfassen").ToBool());
    EXPECT_EQ(rs->Field("Zahlungsziel").Type(), VarType::Boolean);
    EXPECT_FALSE(rs->Field("Zahlungsziel").ToBool());
    EXPECT_EQ(rs->Field("AbschlagAbsolut").Type(), VarType::Double);
    EXPECT_DOUBLE_EQ(rs->Field("AbschlagAbsolut").ToDouble(), 12.5);
    EXPECT_TRUE(rs->Field("Rabatt").IsNull());
    // Names match without regard to case, umlauts included.
    EXPECT_EQ(rs->Field("mwstermäßigt").ToLong(), 7);
    EXPECT_EQ(rs->Field("MWSTERMÄßIGT").ToLong(), 7);
    EXPECT_EQ(ErrorOf([&] { rs->Field("MwStErmassigt"); }), 3265);
}

TEST_F(DaoTest, DatesAndTextFromHostQueries) {
    // The host's query text, parentheses and "From" as it stands.
    auto rs = db_->OpenRecordset(
        "SELECT ID_Terminart, ID_Rechnungsnummer, Datum From Termine WHERE (((ID_Terminart)=8) AND "
        "((ID_Rechnungsnummer)=3));",
        dbOpenDynaset, dbSeeChanges);
    ASSERT_EQ(rs->RecordCount(), 1);
    Variant d = rs->Field("Datum");
    ASSERT_EQ(d.Type(), VarType::Date);
    EXPECT_EQ(d.ToDate(), com::Date::FromYmd(2024, 2, 29));
    EXPECT_FALSE(d.ToDate().HasTime());

    auto all = db_->OpenRecordset("Termine");
    all->MoveNext();
    EXPECT_TRUE(all->Field("Datum").ToDate().HasTime());
    EXPECT_DOUBLE_EQ(all->Field("Datum").ToDate().serial, com::Date::FromYmd(2024, 3, 1).serial + 13.5 / 24);

    auto r = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = 7 AND Rechnungsart = 5");
    EXPECT_EQ(r->Field("Rechnungsnummer").Type(), VarType::String);
    EXPECT_EQ(r->Field("Rechnungsnummer").ToString(), "R-3");
    EXPECT_TRUE(r->Field("MehrwertsteuerFreierbetrag").IsNull());
}

TEST_F(DaoTest, WalkingRowsAndEmptyRecordsets) {
    auto rs = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = 7 ORDER BY ID_Rechnungsnummer");
    EXPECT_FALSE(rs->BOF());
    EXPECT_EQ(rs->Field("ID_Rechnungsnummer").ToLong(), 3);
    rs->MoveNext();
    EXPECT_EQ(rs->Field("ID_Rechnungsnummer").ToLong(), 4);
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(ErrorOf([&] { rs->Field("Brutto"); }), 3021);
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), 3021);
    rs->MoveFirst();
    EXPECT_EQ(rs->Field("ID_Rechnungsnummer").ToLong(), 3);

    auto empty = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = 99");
    EXPECT_TRUE(empty->BOF());
    EXPECT_TRUE(empty->EOF_());
    EXPECT_EQ(ErrorOf([&] { empty->MoveFirst(); }), 3021);
    EXPECT_EQ(ErrorOf([&] { empty->Field("Brutto"); }), 3021);
}

TEST_F(DaoTest, OpenFailures) {
    struct Case {
        std::function<void()> call;
        int number;
    };
    const Case cases[] = {
        {[&] { db_->OpenRecordset("Kunden"); }, 3078},
        {[&] { db_->OpenRecordset("SELECT * FROM Kunden"); }, 3078},
        {[&] { db_->OpenRecordset("SELECT * FRM Rechnung"); }, 3075},
        {[&] { db_->OpenRecordset("Rechnung", 4); }, 3001},
        {[&] { db_->OpenRecordset("Rechnung", dbOpenDynaset, 8); }, 3001},
        {[&] { Workspace().OpenDatabase((dir_ / "missing.db").string()); }, 3024},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.call), c.number);

    std::ofstream((dir_ / "text.db").string()) << "this is no database file, only some text long enough";
    EXPECT_EQ(ErrorOf([&] { Workspace().OpenDatabase((dir_ / "text.db").string()); }), 3343);
}

TEST_F(DaoTest, EditUpdateSavesTheCurrentRow) {
    auto rs = db_->OpenRecordset("SELECT * FROM Rechnung WHERE ID_Auftragsnummer = 7 AND Rechnungsart = 5");
    EXPECT_EQ(ErrorOf([&] { rs->SetField("Brutto", Variant(1.0)); }), 3020);
    rs->Edit();
    rs->SetField("NettoRechnung", Variant(200.25));
    rs->SetField("MehrwertsteuerFreierbetrag", Variant(int32_t{10}));
    rs->SetField("Rechnungsnummer", Variant("R-3'; DROP TABLE Rechnung; --"));
    rs->Update();
    EXPECT_DOUBLE_EQ(rs->Field("NettoRechnung").ToDouble(), 200.25);
    EXPECT_EQ(rs->Field("MehrwertsteuerFreierbetrag").Type(), VarType::Double);

    auto again = Workspace().OpenDatabase(path_)->OpenRecordset("Rechnung");
    EXPECT_DOUBLE_EQ(again->Field("NettoRechnung").ToDouble(), 200.25);
    EXPECT_DOUBLE_EQ(again->Field("MehrwertsteuerFreierbetrag").ToDouble(), 10.0);
    EXPECT_EQ(again->Field("Rechnungsnummer").ToString(), "R-3'; DROP TABLE Rechnung; --");
    again->MoveNext();
    EXPECT_DOUBLE_EQ(again->Field("NettoRechnung").ToDouble(), 50.0);  // other row untouched

    // A table opened by name edits too, and a null can be written.
    again->Edit();
    again->SetField("Brutto", Variant::Null());
    again->Update();
    auto check = db_->OpenRecordset("SELECT Brutto FROM Rechnung WHERE ID_Rechnungsnummer = 4");
    EXPECT_TRUE(check->Field("Brutto").IsNull());
}

TEST_F(DaoTest, JoinIsReadOnly) {
    auto rs = db_->OpenRecordset(
        "SELECT Rechnung.Brutto, Termine.Datum FROM Rechnung INNER JOIN Termine ON "
        "Termine.ID_Rechnungsnummer = Rechnung.ID_Rechnungsnummer");
    ASSERT_FALSE(rs->EOF_());
    EXPECT_EQ(ErrorOf([&] {
                  rs->Edit();
                  rs->SetField("Brutto", Variant(1.0));
                  rs->Update();
              }),
              3027);
    auto expr = db_->OpenRecordset("SELECT Brutto * 2 AS Doppelt FROM Rechnung");
    EXPECT_EQ(expr->Field("Doppelt").Type(), VarType::Double);
    EXPECT_EQ(ErrorOf([&] { expr->Edit(); }), 3027);
}

TEST(SqlNumber, RendersNumbersAndRejectsEverythingElse) {
    EXPECT_EQ(SqlNumber(Variant(int32_t{7})), "7");
    EXPECT_EQ(SqlNumber(Variant(-12.5)), "-12.5");
    EXPECT_EQ(SqlNumber(Variant("42")), "42");
    EXPECT_EQ(SqlNumber(Variant(" 3 ")), "3");
    for (const char* bad : {"1 OR 1=1", "7; DROP TABLE Rechnung", "", "abc", "1e5", "--"})
        EXPECT_EQ(ErrorOf([&] { SqlNumber(Variant(bad)); }), 13) << bad;
    EXPECT_EQ(ErrorOf([] { SqlNumber(Variant::Null()); }), 13);
    EXPECT_EQ(ErrorOf([] { SqlNumber(Variant(com::ObjectPtr(std::make_shared<Workspace>()))); }), 13);
}

TEST(HostSchema, EmbeddedTextMatchesSchemaFile) {
    std::ifstream in(std::string(KADO_SOURCE_DIR) + "/schema/host.sql");
    ASSERT_TRUE(in);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string file = ss.str();
    std::string embedded(HostSchemaSql());
    for (auto* t : {&file, &embedded})
        while (!t->empty() && (t->back() == '\n' || t->back() == '\r')) t->pop_back();
    EXPECT_EQ(embedded, file);
}

}  // namespace
}  // namespace kado::dao
