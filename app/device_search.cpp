// The search and the device pick of the main window.

#include <cstdio>

#include "app/device_fields.h"
#include "app/device_row_data.h"
#include "app/device_rows.h"
#include "app/lanscout_dlg.h"
#include "app/volume_location.h"
#include "protocol/device_key.h"
#include "protocol/discovery.h"
#include "protocol/globals.h"
#include "protocol/local_address_filter.h"
#include "protocol/local_addresses.h"
#include "protocol/net_io.h"
#include "protocol/operations.h"
#include "protocol/unavailable_operations.h"
#include "protocol/volume_list.h"
#include "res/templates/control_ids.h"

using namespace res;

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void ShowAddress(CIPAddressCtrl& field, const AddressOctets& octets) {
    field.SetAddress(octets[0], octets[1], octets[2], octets[3]);
}

}  // namespace

void CLanscoutDlg::OnSearch() {
    deviceListWnd->DeleteAllItems();
    volumeListWnd->DeleteAllItems();
    credentialCache.Clear();

    SetDlgItemText(IDC_MODEL_TEXT, QString());
    SetDlgItemText(IDC_MAC_TEXT, QString());
    SetDlgItemText(IDC_FIRMWARE_TEXT, QString());
    // Discovery blocks the window for seconds: show the emptied lists first.
    repaint();

    m_ipAddress.ClearAddress();
    m_netmask.ClearAddress();
    m_gateway.ClearAddress();

    m_search.EnableWindow(FALSE);
    DiscoverDevices();
    m_search.EnableWindow(TRUE);
    if (LocalAddressTable.empty()) {
        // The list stays empty, as for a network without recorders; why is
        // written where the command line writes it, one line per address.
        const std::string why = std::string("ostrel-nvr-search: ") + kNoUsableInterfaceText + "\n" +
                                FormatLocalAddressesText(ActiveNetIo().DescribeLocalAddresses());
        std::fputs(why.c_str(), stderr);
    }

    FillDeviceList();
    deviceSelected = 0;
}

void CLanscoutDlg::FillDeviceList() {
    int row = 0;
    for (const DeviceRecord& record : DeviceTable) {
        const DeviceRowTexts texts = DeviceRowFor(record);
        deviceListWnd->InsertItem(row, QString());
        deviceListWnd->SetItemText(row, 0, FromUtf8(texts.name));
        deviceListWnd->SetItemText(row, 1, FromUtf8(texts.ip));
        deviceListWnd->SetItemText(row, 2, FromUtf8(texts.netmask));
        deviceListWnd->SetItemText(row, 3, FromUtf8(texts.gateway));
        deviceListWnd->SetItemData(row, RowDataFor(record.deviceId));
        credentialCache.AddUnauthenticated(DeviceKey(record.deviceId));
        ++row;
    }
}

void CLanscoutDlg::OnClickDeviceList(NMHDR* /*header*/, LRESULT* result) {
    *result = 0;
    m_ipAddress.ClearAddress();
    m_netmask.ClearAddress();
    m_gateway.ClearAddress();

    const int top = deviceListWnd->GetTopIndex();
    deviceSelected = 1;
    deviceListWnd->SetFocus();

    for (int row = top; row < deviceListWnd->GetItemCount(); ++row) {
        if ((deviceListWnd->GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) == 0) {
            continue;
        }
        const std::string name = deviceListWnd->GetItemText(row, 0).toStdString();
        const std::string address = deviceListWnd->GetItemText(row, 1).toStdString();
        const std::string netmask = deviceListWnd->GetItemText(row, 2).toStdString();
        const std::string gateway = deviceListWnd->GetItemText(row, 3).toStdString();

        ShowAddress(m_ipAddress, AddressFieldOctets(address));

        const DeviceId id = DeviceIdFromRowData(deviceListWnd->GetItemData(row));
        if (FindDeviceById(id) == nullptr) {
            return;
        }
        if (!CachedLogin(credentialCache, DeviceKey(id), *this)) {
            return;
        }
        // The login dialog runs the window's messages, and a search among them
        // rebuilds the device table: look the record up only now.
        const DeviceRecord* record = FindDeviceById(id);
        if (record == nullptr) {
            return;
        }
        CurrentTargetId = id;

        const bool dhcp = ShownPortUsesDhcp(*record);
        m_dhcp.SetCurSel(dhcp ? 1 : 0);
        m_ipAddress.EnableWindow(dhcp ? FALSE : TRUE);
        m_gateway.EnableWindow(dhcp ? FALSE : TRUE);
        m_netmask.EnableWindow(dhcp ? FALSE : TRUE);

        modelText = record->model.str();
        SetDlgItemText(IDC_MODEL_TEXT, FromUtf8(modelText));

        ShowAddress(m_netmask, AddressFieldOctets(netmask));
        if (const auto octets = GatewayFieldOctets(gateway)) {
            ShowAddress(m_gateway, *octets);
        } else {
            m_gateway.ClearAddress();
        }

        ReadVolumeList();
        HttpsSetting.Clear();
        QueryHttpsSetting();

        volumeListWnd->DeleteAllItems();
        CurrentDeviceAddress = address;  // cut to the buffer, never past it
        ShowVolumes(name, address);
    }
}

void CLanscoutDlg::ShowVolumes(const std::string& deviceName, const std::string& deviceAddress,
                               HostMatch hostMatch) {
    int row = 0;
    for (const VolumeNameText& node : VolumeList) {
        volumeListWnd->InsertItem(row, QString());
        const std::string shown = DisplayVolumeName(node.buffer());
        volumeListWnd->SetItemText(row, 0, FromUtf8(shown));
        const std::string location =
            VolumeLocation(driveLetterTable, deviceName, deviceAddress, shown, hostMatch);
        if (!location.empty()) {
            volumeListWnd->SetItemText(row, 1, FromUtf8(location));
        }
        ++row;
    }
}
