// Network drives of the main window: mapping a volume of the picked recorder
// to a drive letter, removing a mapping, and showing the letters afterwards.

#include "app/drive_mapping.h"

#include <algorithm>

#include "app/credential_cache.h"
#include "app/device_row_data.h"
#include "app/drive_letters/drive_letter_combo.h"
#include "app/lanscout_dlg.h"
#include "app/login_policy.h"
#include "app/mount_message_dlg.h"
#include "platform/dialog/message_box.h"
#include "platform/services/win_codes.h"
#include "platform/services/windows_version.h"
#include "protocol/device_key.h"
#include "protocol/fixed_text.h"
#include "protocol/globals.h"
#include "protocol/ipv4_text.h"
#include "protocol/unavailable_operations.h"

using namespace ostrel::platform;

namespace {

// The first selected row, or -1. The search starts at the first row, not at
// the top visible one: a selection scrolled out of view is still the
// selection.
int SelectedRow(CListCtrl& list) {
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if ((list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) == LVIS_SELECTED) {
            return row;
        }
    }
    return -1;
}

}  // namespace

void CLanscoutDlg::OnMapDrive() {
    LoginNameFixed = 0;
    LoginUser.Clear();
    LoginPassword.Clear();
    std::string osName;
    GetWindowsVersionName(osName, *services.version);
    const bool ntMode = osName.find("NT") != std::string::npos;

    // The recorder: its address is the server of the share.
    const int deviceRow = SelectedRow(*deviceListWnd);
    std::string serverName;
    std::string deviceKey;
    if (deviceRow >= 0) {
        serverName = deviceListWnd->GetItemText(deviceRow, 1).toStdString();
        CurrentDeviceAddress = serverName;
        deviceKey = DeviceKey(DeviceIdFromRowData(deviceListWnd->GetItemData(deviceRow)));
    }

    // The volume. Without a recorder there is no server to connect to, so a
    // volume row left from an earlier pick is refused the same way.
    const int volumeRow = SelectedRow(*volumeListWnd);
    if (volumeRow < 0 || serverName.empty()) {
        MessageBox(this, QString::fromLatin1(kSelectDeviceText), QStringLiteral("Warning"),
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string volumeName = volumeListWnd->GetItemText(volumeRow, 0).toStdString();

    // The letter.
    const int letterItem = m_driveLetters.GetCurSel();
    if (letterItem == CB_ERR) {
        return;
    }
    const std::string itemText = m_driveLetters.GetLBText(letterItem).toStdString();
    const std::string localName = itemText.substr(0, 2);
    if (DriveLetterItemInUse(itemText)) {
        MountMessage ask(this);
        ask.DoModal();
        if (MountAnswer == 0) {
            return;
        }
    }

    VolumeMapping mapping;
    mapping.localName = localName;
    mapping.serverName = serverName;
    mapping.volumeName = volumeName;
    mapping.osName = osName;
    if (const CredentialEntry* entry = credentialCache.Find(deviceKey)) {
        mapping.user = entry->userName;
        mapping.password = entry->password;
    }
    if (!ntMode) {
        DomainName.Clear();
        QueryDomainName();
        mapping.domain = DomainName.str();
    }
    // A server that is not plain dotted decimal ("localhost/abc", or
    // "10.0.0.0150", which the system's reader takes as octal) would name
    // another host or a path: it fails as a recorder that cannot be reached,
    // before the letter's present connection is dropped.
    const std::uint32_t result = IsDottedDecimalIpv4(serverName)
                                     ? MapVolume(*services.drives, mapping)
                                     : static_cast<std::uint32_t>(ERROR_BAD_NETPATH);

    if (result != NO_ERROR) {
        MessageBox(this, QString::fromLatin1(kMapFailedText), QStringLiteral("Error"),
                   MB_OK | MB_ICONERROR);
        return;
    }
    MessageBox(this, QString::fromLatin1(kMapSucceededText), QStringLiteral("Confirm"),
               MB_OK | MB_ICONINFORMATION);
    RefreshAfterDriveChange(deviceRow, HostMatch::Exact);
}

void CLanscoutDlg::OnUnmapDrive() {
    std::string candidate;
    const int volumeRow = SelectedRow(*volumeListWnd);
    if (volumeRow >= 0) {
        candidate = volumeListWnd->GetItemText(volumeRow, 1).toStdString();
    } else {
        const int letterItem = m_driveLetters.GetCurSel();
        if (letterItem == CB_ERR) {
            return;
        }
        candidate = m_driveLetters.GetLBText(letterItem).toStdString();
    }
    // An empty "Location" gives an empty name, which the system refuses.
    const std::string localName = candidate.substr(0, 2);
    if (!UnmapLetter(*services.drives, localName)) {
        MessageBox(this, QString::fromLatin1(kUnmapFailedText), QStringLiteral("Error"),
                   MB_OK | MB_ICONERROR);
        return;
    }
    MessageBox(this, QString::fromLatin1(kUnmapSucceededText), QStringLiteral("Confirm"),
               MB_OK | MB_ICONINFORMATION);
    RefreshAfterDriveChange(0, HostMatch::IgnoringCase);
}

void CLanscoutDlg::RefreshAfterDriveChange(int firstDeviceRow, HostMatch hostMatch) {
    RefreshDriveLetterTable(driveLetterTable, *services.drives);
    FillDriveLetterList(driveLetterTable, *services.drives, m_driveLetters);

    // The volumes as they were read at the pick; they are not read again.
    for (int row = std::max(firstDeviceRow, 0); row < deviceListWnd->GetItemCount(); ++row) {
        if ((deviceListWnd->GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != LVIS_SELECTED) {
            continue;
        }
        volumeListWnd->DeleteAllItems();
        volumeListWnd->RedrawItems(0, 0);
        const std::string name = deviceListWnd->GetItemText(row, 0).toStdString();
        const std::string address = deviceListWnd->GetItemText(row, 1).toStdString();
        ShowVolumes(name, address, hostMatch);
    }
}
