#pragma once

#include <span>

#include "platform/dialog/dialog_template.h"

// The product's dialog templates as data: the main window, the login, the
// about box, the drive-letter confirmation and the add-on dialogs. Control
// and template ids are in control_ids.h.

namespace res {

// Every template of the product, in template-number order.
std::span<const ostrel::dialog::DialogTemplate> ProductDialogTemplates();

// The template numbered `id`; throws std::out_of_range for a number that is
// not one of the product's (a programming error, not a run-time condition).
const ostrel::dialog::DialogTemplate& ProductDialogTemplate(int id);

// Registers every product template with the dialog layer, so dialogs can be
// built by number. Safe to call more than once.
void RegisterProductDialogTemplates();

// The nineteen controls of the main window that its dialog class binds to
// objects, in binding order.
std::span<const int> MainWindowBoundControls();

}  // namespace res
