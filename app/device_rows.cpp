#include "app/device_rows.h"

const LanEntry& ShownLanEntry(const DeviceRecord& record) {
    if (record.activeLan < 0 || record.activeLan >= kLanPortCount) {
        return record.lan[0];
    }
    return record.lan[static_cast<std::size_t>(record.activeLan)];
}

DeviceRowTexts DeviceRowFor(const DeviceRecord& record) {
    const LanEntry& lan = ShownLanEntry(record);
    return {record.name.str(), lan.ip.str(), lan.netmask.str(), lan.gateway.str()};
}

bool ShownPortUsesDhcp(const DeviceRecord& record) {
    return ShownLanEntry(record).dhcp.c_str()[0] == '1';
}
