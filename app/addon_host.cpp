// The main window's three hidden commands (codepage installation, add-on
// installation, desktop widget) and what they ask of the window.
#include "app/lanscout_dlg.h"
#include "app/login_policy.h"

void CLanscoutDlg::OnCodepageInstall() {
    ostrel::addons::RunCodepageInstallation(*this, addons);
}

void CLanscoutDlg::OnAddonInstall() {
    ostrel::addons::RunAddonInstallation(*this, addons);
}

void CLanscoutDlg::OnWidget() {
    ostrel::addons::RunDesktopWidget(*this, addons);
}

CWnd* CLanscoutDlg::Window() {
    return this;
}

int& CLanscoutDlg::DeviceSelected() {
    return deviceSelected;
}

bool CLanscoutDlg::DefaultCredentialsFirst() {
    return ::DefaultCredentialsFirst(*this);
}

std::optional<std::string> CLanscoutDlg::SelectedDeviceAddress() {
    deviceListWnd->SetFocus();
    for (int row = deviceListWnd->GetTopIndex(); row < deviceListWnd->GetItemCount(); ++row) {
        if (deviceListWnd->GetItemState(row, LVIS_SELECTED) == LVIS_SELECTED)
            return deviceListWnd->GetItemText(row, 1).toStdString();
    }
    return std::nullopt;
}

std::string CLanscoutDlg::ShownModelText() {
    return modelText;
}
