#pragma once

#include <string>

#include "protocol/device_table.h"

// What the device list shows for one recorder, from the LAN port the record
// names as active.
struct DeviceRowTexts {
    std::string name;
    std::string ip;
    std::string netmask;
    std::string gateway;
};

// The port the main window shows: lan[activeLan]. A recorder that names a
// port outside the two the record holds is shown with port 0, so nothing is
// read outside the record.
const LanEntry& ShownLanEntry(const DeviceRecord& record);

DeviceRowTexts DeviceRowFor(const DeviceRecord& record);

// The DHCP choice the pick selects: "Enable" when the port's dhcp text starts
// with "1".
bool ShownPortUsesDhcp(const DeviceRecord& record);
