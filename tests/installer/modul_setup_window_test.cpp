// frmModulSetup in the Qt view (offscreen): the window shows the installation
// it made, OK closes it, and a screenshot is kept for a look.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "installer_fixture.h"
#include "platform/qt/qt_desktop.h"
#include "support/dialog_look.h"

namespace setup_test {
namespace {

class WindowTest : public InstallerTest {};

TEST_F(WindowTest, ShowsTargetVersionAndLastLibraryAndClosesOnOk) {
    int argc = 1;
    char name[] = "test_installer";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    WriteFile(source_ / "libhonora.so", "honora");
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
        const QImage shot = window->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        EXPECT_GT(shot.width(), 200);
        const fs::path out = fs::path(KADO_BINARY_DIR) / "test-output";
        fs::create_directories(out);
        EXPECT_TRUE(shot.save(QString::fromStdString((out / "installer_frmModulSetup.png").string())));

        auto* ok = qobject_cast<QPushButton*>(desktop->WidgetOf(setup.Window().Get<kado::forms::CommandButton>("Command1")));
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_FALSE(setup.Window().Loaded());
        EXPECT_EQ(desktop->WindowOf(setup.Window()), nullptr);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace setup_test
