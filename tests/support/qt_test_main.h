#pragma once

// The main() of every Qt test executable (library ostrel_qt_test_main).
//
// Test discovery runs an executable without the test's environment, so
// main() itself picks Qt's offscreen platform and a private runtime folder
// when the environment names none. It then reads the GoogleTest flags, makes
// the application with the Fusion style (whatever the desktop's), runs every
// test and returns their result.
//
// An executable that needs more gives its setup from one of its own files,
// at static initialisation:
//
//   [[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
//       .withApplication = [] { RegisterProductDialogTemplates(); },
//   });

#include <functional>

namespace ostrel::test {

// Every member has a default, so that a setup names only what it needs.
struct QtTestSetup {
    // After the GoogleTest flags are read, before the application exists
    // and before any thread has started: the process's environment.
    std::function<void()> beforeApplication = {};
    // With the application made, before the first test.
    std::function<void()> withApplication = {};
    // After the last test, whatever the result, once the application is gone.
    std::function<void()> afterTests = {};
    // A QGuiApplication (no widgets) instead of a QApplication.
    bool guiOnly = false;
};

// Gives main() this executable's setup. One per executable; answers true so
// that it can initialise a constant.
bool SetQtTestSetup(QtTestSetup setup);

}  // namespace ostrel::test
