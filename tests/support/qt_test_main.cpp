#include "tests/support/qt_test_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

namespace ostrel::test {
namespace {

QtTestSetup& Setup() {
    static QtTestSetup setup;
    return setup;
}

bool& SetupGiven() {
    static bool given = false;
    return given;
}

void DefaultEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString dir = QDir::tempPath() + "/ostrel-test-runtime";
        QDir().mkpath(dir);
        QFile::setPermissions(
            dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    }
}

}  // namespace

bool SetQtTestSetup(QtTestSetup setup) {
    if (SetupGiven()) {
        std::fprintf(stderr, "SetQtTestSetup: a test executable gives its setup once\n");
        std::abort();
    }
    SetupGiven() = true;
    Setup() = std::move(setup);
    return true;
}

}  // namespace ostrel::test

int main(int argc, char** argv) {
    using ostrel::test::Setup;
    ::testing::InitGoogleTest(&argc, argv);
    if (Setup().beforeApplication) {
        Setup().beforeApplication();
    }
    ostrel::test::DefaultEnvironment();
    std::unique_ptr<QGuiApplication> application;
    if (Setup().guiOnly) {
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QApplication>(argc, argv);
        QApplication::setStyle("Fusion");
    }
    if (Setup().withApplication) {
        Setup().withApplication();
    }
    const int result = RUN_ALL_TESTS();
    application.reset();
    if (Setup().afterTests) {
        Setup().afterTests();
    }
    return result;
}
