#include "res/dialog_looks.h"

#include <array>

#include "res/bitmap_ids.h"
#include "res/templates/control_ids.h"

namespace res {
namespace {

constexpr COLORREF kBlackText = RGB(0, 0, 0);
constexpr COLORREF kWhiteText = RGB(255, 255, 255);

constexpr std::array kLooks = {
    DialogLook{IDD_MAIN, IDB_BG_MAIN, BackgroundLoad::InInitDialog, BackgroundPaint::Stretched,
               kBlackText},
    DialogLook{IDD_LOGIN, IDB_BG_LOGIN, BackgroundLoad::InInitDialog, BackgroundPaint::Stretched,
               kWhiteText},
    DialogLook{IDD_LANGUAGE, IDB_BG_LANGUAGE, BackgroundLoad::OnFirstErase,
               BackgroundPaint::Stretched, kWhiteText},
    DialogLook{IDD_PROGRESS, IDB_BG_PROGRESS, BackgroundLoad::AtConstruction,
               BackgroundPaint::OneToOne, kWhiteText},
    DialogLook{IDD_INSTALL_TASK, IDB_BG_LANGUAGE, BackgroundLoad::AtConstruction,
               BackgroundPaint::OneToOne, kWhiteText},
    DialogLook{IDD_MOUNT_MESSAGE, IDB_BG_MOUNT_MESSAGE, BackgroundLoad::OnFirstErase,
               BackgroundPaint::Stretched, kWhiteText},
    DialogLook{IDD_WIDGET_ALERT, IDB_BG_WIDGET_ALERT, BackgroundLoad::OnFirstErase,
               BackgroundPaint::Stretched, kWhiteText},
    DialogLook{IDD_SERVER_MODEL, IDB_BG_SERVER_MODEL, BackgroundLoad::OnFirstErase,
               BackgroundPaint::Stretched, kWhiteText},
    DialogLook{IDD_ABOUT, IDB_BG_ABOUT, BackgroundLoad::InInitDialog, BackgroundPaint::Stretched,
               kWhiteText},
};

}  // namespace

std::span<const DialogLook> DialogLooks() {
    return kLooks;
}

const DialogLook* FindDialogLook(int templateId) {
    for (const DialogLook& look : kLooks) {
        if (look.templateId == templateId)
            return &look;
    }
    return nullptr;
}

}  // namespace res
