// frmModulSetup in the Qt view (offscreen): the window shows the installation
// it made, OK closes it, and a screenshot is kept for a look.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "support/shots.h"
#include "installer_fixture.h"
#include "platform/qt/qt_desktop.h"
#include "support/dialog_look.h"

namespace setup_test {
namespace {

class WindowTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        app_ = std::make_unique<QApplication>(argc_, argv_);
        WriteFile(source_ / "libhonora.so", "honora");
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app_.reset();
        InstallerTest::TearDown();
    }

    static void Save(const QImage& shot, const char* name) {
        ASSERT_FALSE(shot.isNull());
        EXPECT_GT(shot.width(), 200);
        const fs::path out = kado::testing::ShotsDir();
        fs::create_directories(out);
        EXPECT_TRUE(shot.save(QString::fromStdString((out / name).string())));
    }

    int argc_ = 1;
    char name_[15] = "test_installer";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

TEST_F(WindowTest, ShowsTargetVersionAndLastLibraryAndClosesOnOk) {
    {
        auto desktop = std::make_shared<kado::qtview::QtDesktop>();
        kado::setup::ModulSetup setup(desktop, source_);
        setup.Window().Load();
        EXPECT_EQ(setup.Target(), source_.string());
        QWidget* window = desktop->WindowOf(setup.Window());
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle(), QString("Kado Erweiterungsinstallierer"));
        QStringList shown;
        for (const QLabel* label : window->findChildren<QLabel*>()) shown << label->text();
        for (const char* want : {"Zielpfad:", "Installierte Erweiterung:", "libhonora.so"})
            EXPECT_TRUE(shown.contains(want)) << want << " not in " << shown.join(" | ").toStdString();
        EXPECT_TRUE(shown.contains(QString::fromStdString(source_.string())));
        EXPECT_TRUE(shown.contains(QString::fromStdString(Version())));
        EXPECT_EQ(Registered(1), std::multiset<std::string>{(source_ / "libhonora.so").string()});

        QApplication::processEvents();
        EXPECT_EQ(kado::testing::LayoutFaults(*desktop, setup.Window()), std::vector<std::string>{});
        Save(window->grab().toImage(), "installer_frmModulSetup.png");
        const QWidget* failure = desktop->WidgetOf(setup.Window().Get<kado::forms::Label>("lblFehler"));
        EXPECT_TRUE(failure == nullptr || !failure->isVisible()) << "no failure line when all went well";
        EXPECT_EQ(setup.ExitCode(), 0);

        auto* ok = qobject_cast<QPushButton*>(desktop->WidgetOf(setup.Window().Get<kado::forms::CommandButton>("Command1")));
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_FALSE(setup.Window().Loaded());
        EXPECT_EQ(desktop->WindowOf(setup.Window()), nullptr);
    }
}

TEST_F(WindowTest, MissingTargetFolderIsShownAsAFailure) {
    const fs::path target = root_ / "fehlt" / "Programm";
    kado::settings::SaveSetting("KadoVerwaltung", "Pfade", "Programm", target.string());
    {
        auto desktop = std::make_shared<kado::qtview::QtDesktop>();
        kado::setup::ModulSetup setup(desktop, source_);
        setup.Window().Load();
        EXPECT_EQ(setup.ExitCode(), 1);
        QWidget* window = desktop->WindowOf(setup.Window());
        ASSERT_NE(window, nullptr);
        QLabel* failure = qobject_cast<QLabel*>(desktop->WidgetOf(setup.Window().Get<kado::forms::Label>("lblFehler")));
        ASSERT_NE(failure, nullptr);
        EXPECT_TRUE(failure->isVisible());
        EXPECT_TRUE(failure->text().startsWith("Installation fehlgeschlagen:\nZielpfad fehlt oder ist kein Ordner; nichts installiert"))
            << failure->text().toStdString();
        QApplication::processEvents();
        EXPECT_EQ(kado::testing::LayoutFaults(*desktop, setup.Window()), std::vector<std::string>{});
        Save(window->grab().toImage(), "installer_failure.png");
        EXPECT_FALSE(fs::exists(root_ / "fehlt"));
        EXPECT_EQ(Registered(0), std::multiset<std::string>{});
    }
}

}  // namespace
}  // namespace setup_test
