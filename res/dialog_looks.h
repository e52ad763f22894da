#pragma once

#include <span>

#include "platform/dialog/win_types.h"

// Which background each skinned dialog takes, when it loads it and how it
// paints it, and the colour of its static texts: data beside the button
// skins (button_skins.h). The skin layer paints from it.

namespace res {

// When a dialog's background bitmap is loaded.
enum class BackgroundLoad {
    AtConstruction,  // when the dialog object is built
    InInitDialog,    // in the dialog's initialisation
    OnFirstErase,    // the first time the background is erased
};

// How it is painted onto the client area.
enum class BackgroundPaint {
    Stretched,  // the whole bitmap scaled onto the whole client area
    OneToOne,   // at its own size at (0, 0)
};

// The look of one skinned dialog.
struct DialogLook {
    int templateId;
    unsigned backgroundId;
    BackgroundLoad load;
    BackgroundPaint paint;
    COLORREF staticTextColor;
};

// Every skinned dialog's look, in template-number order.
std::span<const DialogLook> DialogLooks();

// The look of the dialog built from `templateId`, or nullptr for a template
// without a skin.
const DialogLook* FindDialogLook(int templateId);

}  // namespace res
