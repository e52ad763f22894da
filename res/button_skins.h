#pragma once

#include <span>

// Which bitmaps each skinned button of each dialog loads, as its dialog
// passes them to LoadSkinBitmaps (focus, mask, draw mode, border and margin
// are 0 in every call).

namespace res {

struct ButtonSkin {
    int templateId;
    int controlId;
    unsigned normal;
    unsigned down;
    unsigned over;
    unsigned disabled;
};

// Every skinned button with bitmaps, grouped by template. The main window's
// button 1032 is skinned without bitmaps and is not listed.
std::span<const ButtonSkin> ButtonSkins();

// The skin of button `controlId` in template `templateId`, or nullptr.
const ButtonSkin* FindButtonSkin(int templateId, int controlId);

}  // namespace res
