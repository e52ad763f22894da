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
#include "protocol/unavailable_operations.h"

using namespace ostrel::platform;

namespace {

// The user-name and password buffers of a connection attempt, and the
// buffer the current user's name is read into.
using NameText = FixedText<64>;
using UserNameText = FixedText<260>;

// The first row at or below `top` whose state is selected, or -1.
int SelectedRowFrom(CListCtrl& list, int top) {
    for (int row = top; row < list.GetItemCount(); ++row) {
        if ((list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) == LVIS_SELECTED) {
            return row;
        }
    }
    return -1;
}

// "DOMAIN\user", or the user alone without a domain; cut to the buffer.
template <std::size_t N>
FixedText<N> WithDomain(std::string_view domain, std::string_view user) {
    if (domain.empty()) {
        return FixedText<N>(user);
    }
    std::string joined(domain);
    joined += '\\';
    joined += user;
    return FixedText<N>(joined);
}

}  // namespace

void CLanscoutDlg::OnMapDrive() {
    const int deviceTop = deviceListWnd->GetTopIndex();
    const int volumeTop = volumeListWnd->GetTopIndex();

    LoginNameFixed = 0;
    LoginUser.Clear();
    LoginPassword.Clear();
    std::string osName;
    GetWindowsVersionName(osName, *services.version);
    const bool ntMode = osName.find("NT") != std::string::npos;

    // The recorder: its address is the server of the share.
    const int deviceRow = SelectedRowFrom(*deviceListWnd, deviceTop);
    std::string serverName;
    std::string deviceKey;
    if (deviceRow >= 0) {
        serverName = deviceListWnd->GetItemText(deviceRow, 1).toStdString();
        CurrentDeviceAddress = serverName;
        deviceKey = DeviceKey(DeviceIdFromRowData(deviceListWnd->GetItemData(deviceRow)));
    }

    // The volume. Without a recorder there is no server to connect to, so a
    // volume row left from an earlier pick is refused the same way.
    const int volumeRow = SelectedRowFrom(*volumeListWnd, volumeTop);
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

    NetResource resource;
    resource.type = RESOURCETYPE_DISK;
    resource.localName = localName;
    resource.remoteName = "\\\\" + serverName + "\\" + volumeName;

    // Whatever the letter was connected to goes first, even if the new
    // connection then fails.
    services.drives->WNetCancelConnection2A(localName.c_str(), CONNECT_UPDATE_PROFILE, true);

    NameText cachedUser;
    NameText cachedPassword;
    if (const CredentialEntry* entry = credentialCache.Find(deviceKey)) {
        cachedUser = entry->userName;
        cachedPassword = entry->password;
    }

    std::uint32_t result = NO_ERROR;
    if (ntMode) {
        for (int attempt = 0; attempt < kNtMapAttempts; ++attempt) {
            result = services.drives->WNetAddConnection2A(
                resource, cachedPassword.c_str(), cachedUser.c_str(), CONNECT_UPDATE_PROFILE);
            if (result == NO_ERROR) {
                break;
            }
        }
    } else {
        DomainName.Clear();
        QueryDomainName();
        if (!DomainName.empty()) {
            std::string current;
            if (services.drives->WNetGetUserA(nullptr, current) != NO_ERROR) {
                current.clear();
            }
            const UserNameText user =
                WithDomain<260>(DomainName.view(), UserNameText(current).view());
            result = services.drives->WNetAddConnection2A(resource, nullptr, user.c_str(),
                                                          CONNECT_UPDATE_PROFILE);
        } else {
            result = services.drives->WNetAddConnection2A(resource, "", "", CONNECT_UPDATE_PROFILE);
        }
        if (result != NO_ERROR && osName.find("Vista") != std::string::npos) {
            // The system asks the user for credentials the share accepts.
            result = services.drives->WNetAddConnection2A(
                resource, "", "", CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE);
        } else if (result != NO_ERROR) {
            const NameText user = WithDomain<64>(DomainName.view(), cachedUser.view());
            result = services.drives->WNetAddConnection2A(resource, cachedPassword.c_str(),
                                                          user.c_str(), CONNECT_UPDATE_PROFILE);
        }
    }

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
    const int deviceTop = deviceListWnd->GetTopIndex();
    const int volumeTop = volumeListWnd->GetTopIndex();

    std::string candidate;
    const int volumeRow = SelectedRowFrom(*volumeListWnd, volumeTop);
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
    if (services.drives->WNetCancelConnection2A(localName.c_str(), CONNECT_UPDATE_PROFILE, true) !=
        NO_ERROR) {
        MessageBox(this, QString::fromLatin1(kUnmapFailedText), QStringLiteral("Error"),
                   MB_OK | MB_ICONERROR);
        return;
    }
    MessageBox(this, QString::fromLatin1(kUnmapSucceededText), QStringLiteral("Confirm"),
               MB_OK | MB_ICONINFORMATION);
    RefreshAfterDriveChange(deviceTop, HostMatch::IgnoringCase);
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
