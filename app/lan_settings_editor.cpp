// The LAN settings editor of the main window: the DHCP choice and the apply
// command with its rediscovery.

#include "app/lan_settings_editor.h"

#include "app/lanscout_dlg.h"
#include "app/login_policy.h"
#include "platform/dialog/list_ctrl.h"
#include "protocol/discovery.h"
#include "protocol/globals.h"
#include "protocol/operations.h"

AddressMessageStyle StyleOf(AddressMessageKind kind) {
    switch (kind) {
        case AddressMessageKind::Warning:
            return {QStringLiteral("Warning"), MB_ICONEXCLAMATION};
        case AddressMessageKind::OctetRange:
            return {QStringLiteral("Error"), MB_ICONINFORMATION};
        case AddressMessageKind::Refused:
            break;
    }
    return {QStringLiteral("Error"), MB_ICONERROR};
}

namespace {

// An address field's octets (blank parts read 0) and whether it is all blank.
void ReadField(const CIPAddressCtrl& field, Octets& octets, bool& blank) {
    BYTE o[4] = {0, 0, 0, 0};
    field.GetAddress(o[0], o[1], o[2], o[3]);
    octets = {o[0], o[1], o[2], o[3]};
    blank = field.IsBlank() != FALSE;
}

}  // namespace

void CLanscoutDlg::OnSelchangeDhcp() {
    const int selected = m_dhcp.GetCurSel();
    if (selected == CB_ERR) {
        return;
    }
    const BOOL enable = m_dhcp.GetLBText(selected) == QLatin1String(kDhcpEnableItem) ? FALSE : TRUE;
    m_ipAddress.EnableWindow(enable);
    m_gateway.EnableWindow(enable);
    m_netmask.EnableWindow(enable);
}

void CLanscoutDlg::OnApplyLan() {
    LoginNameFixed = 1;
    if (deviceSelected == 0) {
        MessageBox(this, QString::fromLatin1(kSelectDeviceAboveText), QStringLiteral("Error"),
                   MB_OK | MB_ICONERROR);
        return;
    }
    const int selected = m_dhcp.GetCurSel();
    if (selected == CB_ERR) {
        return;
    }
    LanModeText = kLanModeFirst;

    if (m_dhcp.GetLBText(selected) == QLatin1String(kDhcpEnableItem)) {
        if (SetLanDhcp() == 0) {
            MessageBox(this, QString::fromLatin1(kDhcpFailedText), QStringLiteral("Error"),
                       MB_OK | MB_ICONERROR);
            return;
        }
        MessageBox(this, QString::fromLatin1(kDhcpEnabledText), QStringLiteral("Confirm"),
                   MB_OK | MB_ICONINFORMATION);
        for (CIPAddressCtrl* field : {&m_ipAddress, &m_netmask, &m_gateway}) {
            field->ClearAddress();
            field->EnableWindow(TRUE);
        }
        deviceSelected = 0;
        RediscoverDevices();
        return;
    }

    // Static: every rule is checked before anything is sent, and a refusal
    // leaves the fields as the user typed them.
    StaticLanInput input;
    ReadField(m_ipAddress, input.ip, input.ipBlank);
    ReadField(m_netmask, input.netmask, input.netmaskBlank);
    ReadField(m_gateway, input.gateway, input.gatewayBlank);
    const StaticLanCheck check = CheckStaticLanInput(input);
    if (check.fault) {
        const AddressFault& fault = *check.fault;
        const AddressMessageStyle style = StyleOf(fault.kind);
        MessageBox(
            this,
            QString::fromLatin1(fault.message.data(), static_cast<qsizetype>(fault.message.size())),
            style.caption, MB_OK | style.icon);
        if (fault.octet >= 0) {
            CIPAddressCtrl* field = fault.field == AddressField::Ip        ? &m_ipAddress
                                    : fault.field == AddressField::Netmask ? &m_netmask
                                                                           : &m_gateway;
            field->SetFieldFocus(static_cast<WORD>(fault.octet));
        }
        return;
    }
    StaticIpText = check.ipText;
    StaticNetmaskText = check.netmaskText;
    StaticGatewayText = check.gatewayText;
    const int changed = SetLanStatic();

    m_ipAddress.ClearAddress();
    m_netmask.ClearAddress();
    m_gateway.ClearAddress();
    if (changed == 0) {
        MessageBox(this, QString::fromLatin1(kStaticFailedText), QStringLiteral("Error"),
                   MB_OK | MB_ICONERROR);
    }
    RediscoverDevices();
}

void CLanscoutDlg::RediscoverDevices() {
    deviceListWnd->DeleteAllItems();
    volumeListWnd->DeleteAllItems();
    m_search.EnableWindow(FALSE);
    credentialCache.Clear();
    // Discovery blocks the window: show the emptied lists and the disabled
    // search button before it starts.
    repaint();
    DiscoverDevices();
    m_search.EnableWindow(TRUE);
    FillDeviceList();
}
