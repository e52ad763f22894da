// The commands tests build the product's windows from its templates with
// its fonts, as the program does at start-up.

#include "platform/dialog/dialog_units.h"
#include "platform/dialog/message_box.h"
#include "res/product_name.h"
#include "res/templates/dialog_templates.h"
#include "tests/support/qt_test_main.h"

using namespace ostrel::dialog;

namespace {

[[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
    .withApplication =
        [] {
            SetAppName(QString::fromLatin1(res::kProductName));
            EnsureDialogFonts();
            res::RegisterProductDialogTemplates();
        },
});

}  // namespace
