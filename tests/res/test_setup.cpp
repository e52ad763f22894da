// The resource tests measure and draw text with the dialogs' fonts and need
// no widgets.

#include "platform/dialog/dialog_units.h"
#include "tests/support/qt_test_main.h"

using namespace ostrel::dialog;

namespace {

[[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
    .withApplication = [] { EnsureDialogFonts(); },
    .guiOnly = true,
});

}  // namespace
