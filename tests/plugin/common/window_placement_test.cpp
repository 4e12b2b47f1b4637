// Window placement through the real settings store: defaults, a maximised
// close that keeps the last normal position, decimal commas, damaged values.
#include "plugin/common/window_placement.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/forms.h"
#include "platform/settings/settings.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "support/verw_log.h"

namespace fs = std::filesystem;
using kado::forms::Form;
using kado::forms::WindowState;

namespace {

class WindowPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        kado::testing::UseProgramFolder(dir_);
        form_ = Form::Create(std::make_shared<kado::forms::HeadlessDesktop>(), "G_frmTabelle", nullptr);
    }

    std::string Stored(const char* key) const {
        return kado::settings::GetSetting("KadoVerwaltung", "G_frmTabelle", key, "<none>");
    }
    void Store(const char* key, const char* value) const {
        kado::settings::SaveSetting("KadoVerwaltung", "G_frmTabelle", key, value);
    }
    std::vector<std::string> Logged() const { return kado::testing::LoggedSteps(dir_ / "prog" / "Verw.log"); }

    kado::testing::TempDir tmp_{"kado-place"};
    const fs::path dir_ = tmp_.Path();
    std::shared_ptr<Form> form_;
};

TEST_F(WindowPlacement, NoStoredSettingsOpensNormalAtTopLeft) {
    form_->SetWindowState(2);
    form_->SetTop(480);
    form_->SetLeft(960);
    honora::GetWindowReg(*form_);
    // Maximised from before, the form is normal again, so the position defaults apply too.
    EXPECT_EQ(form_->WindowState(), WindowState::Normal);
    EXPECT_EQ(form_->Top(), 0);
    EXPECT_EQ(form_->Left(), 0);
    EXPECT_TRUE(Logged().empty());
}

TEST_F(WindowPlacement, MaximisedCloseKeepsTheLastNormalPosition) {
    form_->SetTop(1200);
    form_->SetLeft(300);
    honora::SetWindowReg(*form_);
    EXPECT_EQ(Stored("State"), "0");
    EXPECT_EQ(Stored("Top"), "1200");
    EXPECT_EQ(Stored("Left"), "300");

    form_->SetTop(5000);
    form_->SetLeft(6000);
    form_->SetWindowState(2);
    honora::SetWindowReg(*form_);
    EXPECT_EQ(Stored("State"), "2");
    EXPECT_EQ(Stored("Top"), "1200");
    EXPECT_EQ(Stored("Left"), "300");

    auto next = Form::Create(std::make_shared<kado::forms::HeadlessDesktop>(), "G_frmTabelle", nullptr);
    next->SetTop(77);
    next->SetLeft(88);
    honora::GetWindowReg(*next);
    EXPECT_EQ(next->WindowState(), WindowState::Maximized);
    EXPECT_EQ(next->Top(), 77);
    EXPECT_EQ(next->Left(), 88);
    EXPECT_TRUE(Logged().empty());
}

TEST_F(WindowPlacement, FractionalPositionUsesDecimalCommaBothWays) {
    form_->SetTop(1234.5);
    form_->SetLeft(-0.25);
    honora::SetWindowReg(*form_);
    EXPECT_EQ(Stored("Top"), "1234,5");
    EXPECT_EQ(Stored("Left"), "-0,25");

    auto next = Form::Create(std::make_shared<kado::forms::HeadlessDesktop>(), "G_frmTabelle", nullptr);
    honora::GetWindowReg(*next);
    EXPECT_DOUBLE_EQ(next->Top(), 1234.5);
    EXPECT_DOUBLE_EQ(next->Left(), -0.25);
}

TEST_F(WindowPlacement, SectionIsTheFormsName) {
    auto other = Form::Create(std::make_shared<kado::forms::HeadlessDesktop>(), "frmAnders", nullptr);
    other->SetTop(10);
    honora::SetWindowReg(*other);
    EXPECT_EQ(kado::settings::GetSetting("KadoVerwaltung", "frmAnders", "Top"), "10");
    EXPECT_EQ(Stored("Top"), "<none>");
}

TEST_F(WindowPlacement, DamagedValuesFailTheirOwnStepOnly) {
    struct Case {
        const char* name;
        const char* state;
        const char* top;
        const char* left;
        WindowState wantState;
        double wantTop, wantLeft;
        std::vector<std::string> log;
    } cases[] = {
        {"state not a number", "abc", "15", "25", WindowState::Normal, 15, 25,
         {"G_Funktionen.GetWindowReg:100"}},
        {"state out of range", "7", "15", "25", WindowState::Normal, 15, 25,
         {"G_Funktionen.GetWindowReg:100"}},
        {"top damaged", "0", "oben", "25", WindowState::Normal, 3, 25,
         {"G_Funktionen.GetWindowReg:120"}},
        {"left overflows a single", "0", "15", "1E+300", WindowState::Normal, 15, 4,
         {"G_Funktionen.GetWindowReg:130"}},
        {"minimised skips damaged positions", "1", "oben", "links", WindowState::Minimized, 3, 4, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir_ / "prog" / "Verw.log");
        Store("State", c.state);
        Store("Top", c.top);
        Store("Left", c.left);
        auto f = Form::Create(std::make_shared<kado::forms::HeadlessDesktop>(), "G_frmTabelle", nullptr);
        f->SetTop(3);
        f->SetLeft(4);
        honora::GetWindowReg(*f);
        EXPECT_EQ(f->WindowState(), c.wantState);
        EXPECT_DOUBLE_EQ(f->Top(), c.wantTop);
        EXPECT_DOUBLE_EQ(f->Left(), c.wantLeft);
        EXPECT_EQ(Logged(), c.log);
    }
}

}  // namespace
