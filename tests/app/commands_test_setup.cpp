// The commands tests build the product's windows from its templates with
// its fonts, as the program does at start-up.

#include "app/lanscout_app.h"
#include "tests/support/qt_test_main.h"

namespace {

[[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
    .withApplication = SetUpProductDialogs,
});

}  // namespace
