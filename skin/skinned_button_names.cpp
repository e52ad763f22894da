#include "skin/skinned_button_names.h"

#include <array>

#include "platform/dialog/button.h"
#include "res/button_skins.h"
#include "res/templates/control_ids.h"
#include "skin/skin_button.h"

namespace {

constexpr std::array kNames = {
    SkinnedButtonName{res::IDD_MAIN, res::IDC_SEARCH, "Search", "Search the network for recorders"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_WEB_CONSOLE, "Configure",
                      "Open the web console of the selected recorder"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_APPLY, "Apply",
                      "Apply the LAN settings to the selected recorder"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_MAP_DRIVE, "Map Drive",
                      "Map the selected volume to the chosen drive letter"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_UNMAP_DRIVE, "Unmap",
                      "Remove the mapping of the chosen drive letter"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_ABOUT, "About", "About this program"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_EXIT, "Exit", "Close the program"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_MINIMIZE, "Minimize", "Minimize the window"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_CLOSE, "Close", "Close the program"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_CODEPAGE_INSTALL, "Install Codepage",
                      "Install codepage files on the selected recorder"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_ADDON_INSTALL, "Install Add-on",
                      "Install the add-on on the selected recorder"},
    SkinnedButtonName{res::IDD_MAIN, res::IDC_WIDGET, "Desktop Widget", "Open the desktop widget"},
    SkinnedButtonName{res::IDD_LOGIN, IDOK, "OK", "Log in with this user name and password"},
    SkinnedButtonName{res::IDD_LOGIN, IDCANCEL, "Cancel", "Do not log in"},
    SkinnedButtonName{res::IDD_ABOUT, IDOK, "OK", "Close this box"},
    SkinnedButtonName{res::IDD_MOUNT_MESSAGE, IDOK, "OK", "Use this drive letter"},
    SkinnedButtonName{res::IDD_MOUNT_MESSAGE, IDCANCEL, "Cancel", "Keep the drive letter as it is"},
    SkinnedButtonName{res::IDD_CREDENTIALS_PROMPT, IDOK, "OK",
                      "Connect with this user name and password"},
    SkinnedButtonName{res::IDD_CREDENTIALS_PROMPT, IDCANCEL, "Cancel", "Do not connect"},
    // The add-on windows' buttons carry names only, as their bitmaps show.
    SkinnedButtonName{res::IDD_LANGUAGE, IDOK, "OK", nullptr},
    SkinnedButtonName{res::IDD_LANGUAGE, IDCANCEL, "Cancel", nullptr},
    SkinnedButtonName{res::IDD_WIDGET_ALERT, IDOK, "Download", nullptr},
    SkinnedButtonName{res::IDD_WIDGET_ALERT, IDCANCEL, "Next", nullptr},
    SkinnedButtonName{res::IDD_SERVER_MODEL, IDOK, "OK", nullptr},
    SkinnedButtonName{res::IDD_SERVER_MODEL, IDCANCEL, "Cancel", nullptr},
};

}  // namespace

const SkinnedButtonName* FindSkinnedButtonName(int templateId, int controlId) {
    for (const SkinnedButtonName& entry : kNames) {
        if (entry.templateId == templateId && entry.controlId == controlId) {
            return &entry;
        }
    }
    return nullptr;
}

void NameSkinnedButton(int templateId, CButton& button) {
    if (const SkinnedButtonName* entry = FindSkinnedButtonName(templateId, button.GetDlgCtrlID())) {
        button.SetAccessibleName(QString::fromLatin1(entry->name));
        if (entry->toolTip != nullptr) {
            button.SetToolTip(QString::fromLatin1(entry->toolTip));
        }
    }
}

void SkinAndNameButton(int skinTemplateId, int nameTemplateId, CxSkinButton& button) {
    if (const res::ButtonSkin* skin = res::FindButtonSkin(skinTemplateId, button.GetDlgCtrlID())) {
        button.LoadSkinBitmaps(skin->normal, skin->down, skin->over, skin->disabled, 0, 0, 0, 0, 0);
    }
    NameSkinnedButton(nameTemplateId, button);
}
