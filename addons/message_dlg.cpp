#include "addons/message_dlg.h"

#include <QString>

#include <strings.h>

#include "addons/addon_messages.h"
#include "addons/addon_state.h"
#include "addons/embedded_file.h"
#include "platform/dialog/message_box.h"
#include "protocol/globals.h"
#include "res/templates/control_ids.h"

using namespace ostrel::addons;
using ostrel::fileset::VolumeLayout;

namespace {

constexpr int kVolumeQueries = 10;
constexpr const char* kCodepageFolder = ".codepages";
constexpr const char* kAddonFolder = "Nas_Prog/BT";
constexpr const char* kLocalAddonFolder = "C:\\bt\\";
constexpr const char* kAddonType = "BT";
constexpr int kAddonItem = 215;
constexpr int kAddonWatchdogItem = 220;

bool SameName(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

std::string OnDevice(const std::string& targetDir, const std::string& fileName) {
    return "\\\\" + CurrentDeviceAddress.str() + "\\" + targetDir + "\\" + fileName;
}

}  // namespace

namespace ostrel::addons {

InstallTarget TargetFor(const std::string& volumeName, bool addon) {
    const char* folder = addon ? kAddonFolder : kCodepageFolder;
    if (SameName(volumeName, "HDD_1")) {
        if (addon)
            return {std::string("HDD_1\\") + folder, VolumeLayout::kHdd1};
        return {volumeName + "\\.systemfile\\" + folder, VolumeLayout::kHdd1};
    }
    // Empty, "HDD_a", or a name the recorders are not known to use.
    return {std::string("HDD_a\\") + folder, VolumeLayout::kHddA};
}

}  // namespace ostrel::addons

BEGIN_MESSAGE_MAP(messageDlg, CDialog)
ON_WM_TIMER()
ON_WM_ERASEBKGND()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

messageDlg::messageDlg(AddonContext& addonContext, CWnd* parent)
    : CDialog(res::IDD_INSTALL_TASK, parent),
      context(addonContext),
      background(res::IDD_INSTALL_TASK) {}

messageDlg::~messageDlg() = default;

BOOL messageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    background.OnInitDialog();
    SetTimer(InstallMode == 1 ? kAddonTimer : kCodepageTimer, kTaskDelayMs);
    return TRUE;
}

// The task alone ends the window.
void messageDlg::OnOK() {}
void messageDlg::OnCancel() {}

void messageDlg::OnTimer(UINT_PTR id) {
    // All the work is done in the first tick.
    if (taskRan)
        return;
    taskRan = true;

    DiskAccessMode = "rw";
    context.device->SetDiskAccessMode();
    for (int attempt = 0; attempt < kVolumeQueries; ++attempt) {
        VolumeName.Clear();
        context.device->QueryVolumeName();
        if (SameName(VolumeName.str(), "HDD_1") || SameName(VolumeName.str(), "HDD_a"))
            break;
    }
    const bool addon = id == kAddonTimer;
    const InstallTarget target = TargetFor(VolumeName.str(), addon);
    if (addon)
        InstallAddon(target.directory);
    else
        InstallCodepages(target.directory, target.layout);
}

void messageDlg::InstallCodepages(const std::string& targetDir, VolumeLayout layout) {
    CodepageText = ostrel::fileset::LanguageCodepageText(SelectedLanguage);
    // A language without files must not inherit the failure of an earlier
    // run, which would send the user back to the language dialog.
    LastWriteFailed = 0;
    for (unsigned id : ostrel::fileset::InstallList(SelectedLanguage, layout)) {
        const auto* item = ostrel::fileset::FindFileSetItem(id);
        if (!InstallEmbeddedFile(*context.services, "Codepage", static_cast<int>(id),
                                 OnDevice(targetDir, item->fileName), "")) {
            Fail(kCodepageTimer);
            return;
        }
    }
    DeviceCodepage = CodepageText;
    context.device->SetDeviceCodepage();
    CDialog::OnCancel();
    KillTimer(kCodepageTimer);
}

void messageDlg::InstallAddon(const std::string& targetDir) {
    InstallMode = 0;
    context.services->files->CreateDirectoryA(kLocalAddonFolder);
    // Both files are attempted, whatever became of the first.
    const bool addonWritten = InstallEmbeddedFile(*context.services, kAddonType, kAddonItem,
                                                  "C:\\bt\\bt", OnDevice(targetDir, "bt"));
    const bool watchdogWritten =
        InstallEmbeddedFile(*context.services, kAddonType, kAddonWatchdogItem, "C:\\bt\\btdog",
                            OnDevice(targetDir, "btdog"));
    if (!addonWritten || !watchdogWritten) {
        Fail(kAddonTimer);
        return;
    }
    AddonNameText = "BT";
    context.device->NotifyAddonInstalled();
    CDialog::OnCancel();
    KillTimer(kAddonTimer);
    AddonInstalled = 1;
}

void messageDlg::Fail(UINT_PTR timer) {
    CDialog::OnCancel();
    KillTimer(timer);
    StopRequest = "stop";
    context.device->SendStopRequest();
    MessageBox(GetParent(), QString::fromUtf8(kCheckHardDrives));
}

BOOL messageDlg::OnEraseBkgnd(QPainter& painter) {
    return background.OnEraseBkgnd(*this, painter);
}

void messageDlg::OnCtlColor(CtlColor& color) {
    skin::DialogCtlColor(color, res::IDD_INSTALL_TASK);
}
