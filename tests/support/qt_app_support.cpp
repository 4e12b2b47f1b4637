// Test main of the Qt view: one QApplication for all tests, offscreen unless
// the caller chose a platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/german.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kado::qtview::InstallGermanTranslations(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
