// The configure command of the main window: probe the picked recorder's web
// console, then open it in the default browser.

#include "app/web_console.h"

#include "app/lanscout_dlg.h"
#include "platform/dialog/list_ctrl.h"
#include "platform/dialog/message_box.h"
#include "platform/services/win_codes.h"
#include "protocol/globals.h"
#include "protocol/ipv4_text.h"

namespace platform = ostrel::platform;

void CLanscoutDlg::OnConfigure() {
    int selected = -1;
    for (int row = deviceListWnd->GetTopIndex(); row < deviceListWnd->GetItemCount(); ++row) {
        if (deviceListWnd->GetItemState(row, LVIS_SELECTED) == LVIS_SELECTED) {
            selected = row;
            break;
        }
    }
    if (selected < 0) {
        MessageBox(this, QString::fromLatin1(kSelectDeviceToConfigureText),
                   QStringLiteral("Warning"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CurrentDeviceAddress = deviceListWnd->GetItemText(selected, 1).toStdString();

    // An address that is not plain dotted decimal ("localhost/abc", or
    // "10.0.0.0150", which the system's reader takes as octal) would send the
    // probe and the browser to another host: it counts as a recorder that
    // cannot be reached, and nothing is probed or opened.
    if (!IsDottedDecimalIpv4(CurrentDeviceAddress.str())) {
        ReportUnreachable();
        return;
    }
    webConsole.probe.Start(*services.probe, CurrentDeviceAddress);
    if (WaitForProbe() == 0) {
        return;
    }
    LaunchWebConsole(*services.registry, *services.launcher, HttpsSetting.c_str(),
                     CurrentDeviceAddress.c_str());
}

int CLanscoutDlg::WaitForProbe() {
    const int result = AwaitProbe(webConsole.sleep);
    if (result == kProbeReachable) {
        return 1;
    }
    ReportUnreachable();
    return 0;
}

void CLanscoutDlg::ReportUnreachable() {
    MessageBox(this, QString::fromLatin1(kDeviceNoLongerAvailableText), QStringLiteral("Warning"),
               MB_OK | MB_ICONEXCLAMATION);
    FullRefresh();
}
