// Test fixture of the invoice routines: a real host database file, a new
// document in the session and the Verw.log they write to.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/dao/dao.h"
#include "platform/dao/host_schema.h"
#include "platform/settings/settings.h"
#include "platform/word/word.h"
#include "plugin/component/session_context.h"

namespace invoice_test {

class InvoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        honora::ResetSession();
        dir_ = std::filesystem::temp_directory_path() /
               ("h4-inv-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "config");
        std::filesystem::create_directories(dir_ / "prog");
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
        kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", (dir_ / "prog").string());
        ws_ = std::make_shared<kado::dao::Workspace>();
        db_ = ws_->CreateDatabase((dir_ / "kado.sqlite").string());
        kado::dao::ApplyHostSchema(*db_);
        auto& c = honora::Session();
        c.NeueAbfrage = db_;
        c.Doc = kado::word::Document::New();
        c.WordApp = c.Doc->GetApplication();
    }
    void TearDown() override {
        honora::ResetSession();
        db_.reset();
        std::filesystem::remove_all(dir_);
    }

    // "Module.Procedure" of every Verw.log entry, in order.
    std::vector<std::string> LoggedPlaces() const {
        std::ifstream in(dir_ / "prog" / "Verw.log");
        std::vector<std::string> places;
        const std::string prefix = "Ort  : -KadoDienste- ";
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind(prefix, 0) == 0) places.push_back(line.substr(prefix.size()));
        }
        return places;
    }

    std::filesystem::path dir_;
    std::shared_ptr<kado::dao::Workspace> ws_;
    std::shared_ptr<kado::dao::Database> db_;
};

}  // namespace invoice_test
