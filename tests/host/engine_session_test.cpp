// The host on either database engine: demo data made by init, a confirmation
// written into its invoice record, and a confirmation over a record another
// user changed meanwhile: logged to Verw.log, counted by the host, nothing written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <iostream>
#include <sstream>

#include "host/demo.h"
#include "host/session.h"
#include "platform/forms/driver.h"
#include "platform/settings/settings.h"
#include "support/built_plugin.h"
#include "support/test_database.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

namespace kado::host {
namespace {

namespace fs = std::filesystem;
using kado::testing::Engine;

class HostOnEngine : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        if (auto why = kado::testing::Unavailable(GetParam()); !why.empty()) GTEST_SKIP() << why;
        kado::testing::UseProgramFolder(dir_);
        // A host on a server tells the component so: its recordsets see other users' changes.
        if (GetParam() == Engine::Postgres) settings::SaveSetting("KadoVerwaltung", "Pfade", "SQL", "True");
        kado::testing::RegisterBuiltPlugin();
        database_ = std::make_unique<kado::testing::TestDatabase>(
            GetParam(), dir_ / "demo" / "kado.sqlite", ::testing::UnitTest::GetInstance()->current_test_info()->name());
        db_ = database_->Where();
        std::ostringstream quiet;
        auto* old = std::cout.rdbuf(quiet.rdbuf());
        const int rc = Init(dir_ / "demo", GetParam() == Engine::Sqlite ? std::string() : db_, 2);
        std::cout.rdbuf(old);
        ASSERT_EQ(rc, 0);
        doc_ = dir_ / "demo" / "Rechnung.docx";
    }
    void TearDown() override {
        database_.reset();
    }

    // The demo's boundary determination, confirmed as a user would.
    void Confirm() {
        auto form = desktop_->LastModeless();
        ASSERT_TRUE(form);
        forms::Driver driver(desktop_);
        driver.Set(*form, "mskAGPo", "12");
        driver.Set(*form, "mskAGP", "3");
        driver.Set(*form, "mskBoden", "250");
        driver.Click(*form, "CommandEnde");
    }

    std::string Figures(HostSession& s, int invoice) {
        auto rs = s.Invoice(invoice);
        return rs->Field("NettoRechnung").ToString() + "/" + rs->Field("Brutto").ToString();
    }

    kado::testing::TempDir tmp_{"kado-engine"};
    const fs::path dir_ = tmp_.Path();
    fs::path doc_;
    std::unique_ptr<kado::testing::TestDatabase> database_;
    std::string db_;
    std::shared_ptr<forms::HeadlessDesktop> desktop_ = std::make_shared<forms::HeadlessDesktop>();
};

INSTANTIATE_TEST_SUITE_P(Engines, HostOnEngine, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         kado::testing::EngineName);

TEST_P(HostOnEngine, ConfirmationWritesItsInvoiceRecord) {
    // A URI is no file to look for or to check for write bits.
    EXPECT_FALSE(HostSession::Missing(db_, doc_));
    EXPECT_FALSE(HostSession::Unwritable(db_, dir_ / "fertig.docx"));
    struct Case {
        const char* change;
        const char* figures;
    };
    const Case cases[] = {
        {"", "150000/178500"},
        // A final invoice: the advance invoice 1 of the order and its date are read and deducted.
        {"UPDATE Rechnung SET Rechnungsart = 5, NettoRechnung = 100000, Brutto = 119000 WHERE ID_Rechnungsnummer = 1;"
         "UPDATE Rechnung SET Rechnungsart = 4 WHERE ID_Rechnungsnummer = 2",
         "50000/59500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        if (*c.change) dao::Workspace().OpenDatabase(db_)->Execute(c.change);
        HostSession s(desktop_);
        ASSERT_FALSE(s.Open(db_, doc_, 1));
        s.Show(0, s.Invoice(2));
        Confirm();
        EXPECT_EQ(s.Logged(), 0) << s.FirstLogged();
        EXPECT_EQ(Figures(s, 2), c.figures);
    }
}

TEST_P(HostOnEngine, ConfirmationOverAnotherUsersChangeIsLoggedAndWritesNothing) {
    HostSession s(desktop_);
    ASSERT_FALSE(s.Open(db_, doc_, 1));
    auto invoice = s.Invoice(1);
    dao::Workspace().OpenDatabase(db_)->Execute("UPDATE Rechnung SET Brutto = 99 WHERE ID_Rechnungsnummer = 1");
    s.Show(0, invoice);
    Confirm();
    EXPECT_EQ(s.Logged(), 1);
    const std::string entry = s.FirstLogged();
    EXPECT_NE(entry.find("Error 3197"), std::string::npos) << entry;
    EXPECT_NE(entry.find("GebührenTabelle.SummeBilden"), std::string::npos) << entry;
    EXPECT_EQ(Figures(s, 1), "0/99");
}

}  // namespace
}  // namespace kado::host
