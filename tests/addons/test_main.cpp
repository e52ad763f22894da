#include <QApplication>

#include <gtest/gtest.h>

#include "platform/dialog/dialog_units.h"
#include "res/templates/dialog_templates.h"

int main(int argc, char** argv) {
    // Test discovery runs without the test's environment; stay off-screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    EnsureDialogFonts();
    res::RegisterProductDialogTemplates();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
