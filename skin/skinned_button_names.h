#pragma once

#include <QString>

class CButton;
class CxSkinButton;

// What a skinned button does, for screen readers and tooltips: its caption
// is empty and the label lives in the bitmap.
struct SkinnedButtonName {
    int templateId;
    int controlId;
    const char* name;     // the label the bitmap shows
    const char* toolTip;  // what a press does, or nullptr for none
};

// The name of button `controlId` of template `templateId`, or nullptr.
const SkinnedButtonName* FindSkinnedButtonName(int templateId, int controlId);

// Gives the button its accessible name and tooltip from the table.
void NameSkinnedButton(int templateId, CButton& button);

// Loads the button's bitmaps from the button-skin table entry of template
// `skinTemplateId` (the look) and names it from the entry of
// `nameTemplateId` (what it does), as every skinned dialog does at
// initialisation.
void SkinAndNameButton(int skinTemplateId, int nameTemplateId, CxSkinButton& button);
inline void SkinAndNameButton(int templateId, CxSkinButton& button) {
    SkinAndNameButton(templateId, templateId, button);
}
