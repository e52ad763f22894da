#include <QGuiApplication>

#include <gtest/gtest.h>

#include "platform/dialog/dialog_units.h"

int main(int argc, char** argv) {
    // Test discovery runs without the test environment; pick the offscreen
    // platform ourselves so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    EnsureDialogFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
