#include "addons/addon_commands.h"

#include <QString>

#include "addons/addon_messages.h"
#include "addons/addon_state.h"
#include "addons/disk_state.h"
#include "addons/language_dlg.h"
#include "addons/message_dlg.h"
#include "addons/progress_dlg.h"
#include "addons/server_model_dlg.h"
#include "addons/widget_alert_dlg.h"
#include "platform/dialog/message_box.h"
#include "platform/services/win_codes.h"
#include "protocol/globals.h"

namespace ostrel::addons {

namespace {

constexpr int kDiskStatePolls = 15;
constexpr unsigned kDiskStatePauseMs = 2000;
constexpr unsigned kAddonFirstPauseMs = 1000;
constexpr int kAddonStatusPolls = 15;
constexpr unsigned kAddonStatusPauseMs = 2000;
constexpr const char* kLocalAddonFolder = "C:\\bt\\";

struct ModelWidget {
    const char* model;
    const char* file;
};
constexpr ModelWidget kWidgets[] = {
    {"HSV-520", "OSTRELEu_HSV520_Widget.widget"},
    {"HSV-540", "OSTRELEu_HSV540_Widget.widget"},
    {"HSV-510", "OSTRELEu_HSV510_Widget.widget"},
    {"HSV-530", "OSTRELEu_HSV530_Widget"},
};
// ServerModel's choices 0, 1, 2.
constexpr const char* kChoiceModels[] = {"HSV-510", "HSV-520", "HSV-540"};

void SelectDeviceFirst(AddonHost& host) {
    MessageBox(host.Window(), QString::fromUtf8(kSelectDevice), QString::fromUtf8(kErrorCaption),
               MB_ICONERROR);
}

}  // namespace

std::string WidgetFileForModel(const std::string& model) {
    for (const ModelWidget& widget : kWidgets) {
        if (model == widget.model)
            return widget.file;
    }
    return {};
}

void RunCodepageInstallation(AddonHost& host, AddonContext& context) {
    if (host.DeviceSelected() == 0) {
        SelectDeviceFirst(host);
        return;
    }
    {
        language dialog(context, host.Window());
        dialog.DoModal();
    }
    InstallMode = 0;
    if (InstallAborted == 0)
        host.FullRefresh();
}

bool CheckAddonSupport(AddonHost& host, AddonContext& context) {
    int state = PollDiskState(context, kDiskStatePolls, kDiskStatePauseMs, [](int s, int result) {
        return (s >= 1 && s <= 4) || (s == 5 && result == 1);
    });
    if (state >= 3 && state <= 5) {
        DiskStatus = "3";
        state = 3;
    }

    AddonStatusText.Clear();
    int result = context.device->QueryAddonStatus();
    context.sleep(kAddonFirstPauseMs);
    if (!(ReplyNumber(AddonStatusText.c_str()) == 2 && result == 1)) {
        for (int attempt = 0; attempt < kAddonStatusPolls; ++attempt) {
            AddonStatusText.Clear();
            result = context.device->QueryAddonStatus();
            context.sleep(kAddonStatusPauseMs);
            if (ReplyNumber(AddonStatusText.c_str()) == 1)
                break;
        }
    }

    if (ReportDiskProblem(state, host.Window(), context)) {
        InstallAborted = -1;
        return false;
    }
    if (state == 3 && ReplyNumber(AddonStatusText.c_str()) == 1)
        return true;
    MessageBox(host.Window(), QString::fromUtf8(kBitTorrentUnsupported));
    InstallAborted = -1;
    return false;
}

void RunAddonInstallation(AddonHost& host, AddonContext& context) {
    InstallMode = 1;
    if (host.DeviceSelected() == 0) {
        InstallMode = 0;
        SelectDeviceFirst(host);
        return;
    }
    if (!host.DefaultCredentialsFirst() || !CheckAddonSupport(host, context)) {
        InstallMode = 0;
        return;
    }
    {
        messageDlg task(context, host.Window());
        task.DoModal();
    }
    if (AddonInstalled == 1) {
        progress restart(context, host.Window());
        restart.DoModal();
    }
    if (InstallAborted == 0) {
        InstallMode = 0;
        AddonInstalled = 0;
        host.FullRefresh();
        context.services->files->RemoveDirectoryA(kLocalAddonFolder);
    }
}

void RunDesktopWidget(AddonHost& host, AddonContext& context) {
    const std::optional<std::string> address = host.SelectedDeviceAddress();
    if (!address) {
        MessageBox(host.Window(), QString::fromUtf8(kSelectServer),
                   QString::fromUtf8(kWarningCaption), MB_ICONEXCLAMATION);
        return;
    }
    context.services->files->WriteFile(kWidgetAddressFile, *address);

    {
        yahoowidgetalert alert(host.Window());
        alert.DoModal();
    }
    if (WidgetAnswer == 1) {
        context.services->launcher->WinExec(
            (std::string("explorer ") + kWidgetDownloadPage).c_str(), platform::SW_HIDE);
        return;
    }

    std::string file = WidgetFileForModel(host.ShownModelText());
    if (file.empty()) {
        {
            ServerModel picker(host.Window());
            picker.DoModal();
        }
        if (ModelChoice < 0 || ModelChoice > 2)
            return;
        file = WidgetFileForModel(kChoiceModels[ModelChoice]);
    }
    if (context.services->launcher->ShellExecuteA("open", file.c_str(), "", "",
                                                  platform::SW_SHOW) <= 32) {
        MessageBox(host.Window(), QString::fromUtf8(kWidgetFileError),
                   QString::fromUtf8(kWarningCaption), MB_ICONINFORMATION);
    }
}

}  // namespace ostrel::addons
