// kado-regsvr's message window as an administrator sees it after registering
// the plug-in: another program's window, so it is looked at on the screen of
// a real X server only (the run under Xvfb), and kept as a screenshot.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/shots.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// The part of the screen that differs from how it was before, or an empty rectangle.
QRect Changed(const QImage& before, const QImage& now) {
    QRect r;
    for (int y = 0; y < now.height(); y += 2)
        for (int x = 0; x < now.width(); x += 2)
            if (before.pixel(x, y) != now.pixel(x, y)) r |= QRect(x, y, 2, 2);
    return r;
}

TEST(RegsvrWindow, TheRegistrationIsReportedInItsMessageWindow) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X server: another program's window is seen only on a real screen";
    const kado::testing::TempDir tmp("kado-regsvr");
    const fs::path& dir = tmp.Path();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QImage before = screen->grabWindow(0).toImage();

    QProcess regsvr;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(dir.string()));
    regsvr.setProcessEnvironment(env);
    regsvr.start(QString::fromStdString((fs::path(KADO_BINARY_DIR) / "bin" / "kado-regsvr").string()),
                 {QString::fromStdString((fs::path(KADO_BINARY_DIR) / "lib" / "libhonora.so").string())});
    ASSERT_TRUE(regsvr.waitForStarted(5000));
    QRect window;
    QImage now;
    // Until the window is up and drawn: the changed part of the screen stays the same.
    for (int i = 0; i < 100; ++i) {
        QTest::qWait(200);
        now = screen->grabWindow(0).toImage();
        const QRect changed = Changed(before, now);
        if (!changed.isEmpty() && changed == window) break;
        window = changed;
    }
    // Modal: it waits for OK, having registered the plug-in already.
    EXPECT_EQ(regsvr.state(), QProcess::Running) << regsvr.readAllStandardError().toStdString();
    ASSERT_FALSE(window.isEmpty()) << "no window came up";
    EXPECT_GT(window.width(), 100);
    EXPECT_TRUE(now.copy(window).save(QString::fromStdString((kado::testing::ShotsDir() / "regsvr-meldung.png").string())));
    std::ifstream registry(dir / "KadoKomponenten" / "registry.txt");
    std::stringstream text;
    text << registry.rdbuf();
    EXPECT_FALSE(text.str().empty()) << "nothing registered";
    regsvr.kill();
    regsvr.waitForFinished(5000);
    fs::remove_all(dir);
}

}  // namespace
