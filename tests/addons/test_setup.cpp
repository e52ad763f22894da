// The add-on tests build the product's windows from its templates with its
// fonts, as the program does at start-up.

#include "platform/dialog/dialog_units.h"
#include "res/templates/dialog_templates.h"
#include "tests/support/qt_test_main.h"

namespace {

[[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
    .withApplication =
        [] {
            ostrel::dialog::EnsureDialogFonts();
            res::RegisterProductDialogTemplates();
        },
});

}  // namespace
