#include "res/button_skins.h"

#include <array>

#include "platform/dialog/win_types.h"
#include "res/bitmap_ids.h"
#include "res/templates/control_ids.h"

namespace res {
namespace {

constexpr ButtonSkin OkCancelOk(int dialog) {
    return {dialog, IDOK, IDB_OK, IDB_OK_DOWN, IDB_OK_DOWN, IDB_OK_DOWN};
}
constexpr ButtonSkin OkCancelCancel(int dialog) {
    return {dialog, IDCANCEL, IDB_CANCEL, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN, IDB_CANCEL_DOWN};
}

// The main window loads them in this order.
constexpr std::array kSkins = {
    ButtonSkin{IDD_MAIN, IDC_CLOSE, IDB_CLOSE, IDB_CLOSE_DOWN, IDB_CLOSE_DOWN, IDB_CLOSE},
    ButtonSkin{IDD_MAIN, IDC_MINIMIZE, IDB_MINIMIZE, IDB_MINIMIZE_DOWN, IDB_MINIMIZE_DOWN,
               IDB_MINIMIZE},
    ButtonSkin{IDD_MAIN, IDC_SEARCH, IDB_SEARCH, IDB_SEARCH_DOWN, IDB_SEARCH_DOWN, IDB_SEARCH},
    ButtonSkin{IDD_MAIN, IDC_WEB_CONSOLE, IDB_CONFIGURE, IDB_CONFIGURE_DOWN, IDB_CONFIGURE_DOWN,
               IDB_CONFIGURE},
    ButtonSkin{IDD_MAIN, IDC_CODEPAGE_INSTALL, IDB_CODEPAGE, IDB_CODEPAGE_DOWN, IDB_CODEPAGE_DOWN,
               IDB_CODEPAGE},
    ButtonSkin{IDD_MAIN, IDC_ADDON_INSTALL, IDB_ADDON, IDB_ADDON_DOWN, IDB_ADDON_DOWN, IDB_ADDON},
    ButtonSkin{IDD_MAIN, IDC_APPLY, IDB_APPLY, IDB_APPLY_DOWN, IDB_APPLY_DOWN, IDB_APPLY},
    ButtonSkin{IDD_MAIN, IDC_MAP_DRIVE, IDB_MAP_DRIVE, IDB_MAP_DRIVE_DOWN, IDB_MAP_DRIVE_DOWN,
               IDB_MAP_DRIVE},
    ButtonSkin{IDD_MAIN, IDC_UNMAP_DRIVE, IDB_UNMAP, IDB_UNMAP_DOWN, IDB_UNMAP_DOWN, IDB_UNMAP},
    ButtonSkin{IDD_MAIN, IDC_ABOUT, IDB_ABOUT, IDB_ABOUT_DOWN, IDB_ABOUT_DOWN, IDB_ABOUT},
    ButtonSkin{IDD_MAIN, IDC_EXIT, IDB_EXIT, IDB_EXIT_DOWN, IDB_EXIT_DOWN, IDB_EXIT},
    OkCancelOk(IDD_LOGIN),
    OkCancelCancel(IDD_LOGIN),
    OkCancelOk(IDD_LANGUAGE),
    OkCancelCancel(IDD_LANGUAGE),
    OkCancelOk(IDD_MOUNT_MESSAGE),
    OkCancelCancel(IDD_MOUNT_MESSAGE),
    ButtonSkin{IDD_WIDGET_ALERT, IDOK, IDB_DOWNLOAD, IDB_DOWNLOAD_DOWN, IDB_DOWNLOAD_DOWN,
               IDB_DOWNLOAD_DOWN},
    ButtonSkin{IDD_WIDGET_ALERT, IDCANCEL, IDB_NEXT, IDB_NEXT_DOWN, IDB_NEXT_DOWN, IDB_NEXT_DOWN},
    OkCancelOk(IDD_SERVER_MODEL),
    OkCancelCancel(IDD_SERVER_MODEL),
    OkCancelOk(IDD_ABOUT),
};

}  // namespace

std::span<const ButtonSkin> ButtonSkins() {
    return kSkins;
}

const ButtonSkin* FindButtonSkin(int templateId, int controlId) {
    for (const ButtonSkin& s : kSkins) {
        if (s.templateId == templateId && s.controlId == controlId)
            return &s;
    }
    return nullptr;
}

}  // namespace res
