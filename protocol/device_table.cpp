#include "protocol/device_table.h"

#include <algorithm>

#include "protocol/globals.h"
#include "protocol/tlv.h"

std::deque<DeviceRecord> DeviceTable;

void ClearDeviceTable() {
    if (DeviceTable.empty()) {
        return;
    }
    DeviceTable.clear();
}

DeviceRecord* FindDeviceById(const DeviceId& id) {
    const auto it = std::find_if(DeviceTable.begin(), DeviceTable.end(),
                                 [&](const DeviceRecord& record) { return record.deviceId == id; });
    return it == DeviceTable.end() ? nullptr : &*it;
}

int DeviceIdKnown(const DeviceId& id) {
    return FindDeviceById(id) != nullptr ? 1 : 0;
}

int FindInterfaceIndexById(const DeviceId& id) {
    const DeviceRecord* record = FindDeviceById(id);
    return record != nullptr ? record->interfaceIndex : -1;
}

int SelectLanIndex(const DeviceRecord* record) {
    if (record == nullptr) {
        return 0;
    }
    if (record->lanCount == 1) {
        return record->activeLan;
    }
    if (record->lanCount == 2) {
        if (LanModeText == kLanModeBoth) {
            return record->activeLan;
        }
        return LanModeText == kLanModeFirst ? 0 : 1;
    }
    return 0;
}

void FillDeviceRecord(DeviceRecord& record, std::span<const std::uint8_t> reply,
                      int interfaceIndex) {
    record.deviceId = HeaderDeviceId(reply);
    int port = 0;
    ForEachTlv(reply, [&](const TlvView& tlv) {
        LanEntry* lan = port >= 0 && port < kLanPortCount
                            ? &record.lan[static_cast<std::size_t>(port)]
                            : nullptr;
        switch (tlv.type) {
            case TLV_NAME:
                record.name.AssignBytes(tlv.value);
                break;
            case TLV_MODEL:
                record.model.AssignBytes(tlv.value);
                break;
            case TLV_SHORT_TEXT:
                record.shortText.AssignBytes(tlv.value);
                break;
            case TLV_NUMBER_A:
                record.numberA = TlvNumber(tlv.value);
                break;
            case TLV_NUMBER_B:
                record.numberB = TlvNumber(tlv.value);
                break;
            case TLV_ACTIVE_LAN:
                record.activeLan = TlvNumber(tlv.value);
                break;
            case TLV_LAN_INDEX:
                port = TlvNumber(tlv.value);
                ++record.lanCount;
                break;
            case TLV_DHCP:
                if (lan)
                    lan->dhcp.AssignBytes(tlv.value);
                break;
            case TLV_IP:
                if (lan)
                    lan->ip.AssignBytes(tlv.value);
                break;
            case TLV_NETMASK:
                if (lan)
                    lan->netmask.AssignBytes(tlv.value);
                break;
            case TLV_GATEWAY:
                if (lan)
                    lan->gateway.AssignBytes(tlv.value);
                break;
            case TLV_DNS1:
                if (lan)
                    lan->dns1.AssignBytes(tlv.value);
                break;
            case TLV_DNS2:
                if (lan)
                    lan->dns2.AssignBytes(tlv.value);
                break;
            case TLV_LAN_OPTION:
                if (lan)
                    lan->option = TlvNumber(tlv.value);
                break;
            default:
                break;
        }
        record.interfaceIndex = interfaceIndex;
    });
}
