#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <span>

#include "protocol/fixed_text.h"
#include "protocol/no_qt.h"
#include "protocol/packet_format.h"

// Settings of one LAN port of a recorder, as discovery read them.
struct LanEntry {
    FixedText<16> ip;
    FixedText<16> netmask;
    FixedText<16> gateway;
    FixedText<16> dns1;
    FixedText<16> dns2;
    FixedText<8> dhcp;  // "1" when the port is a DHCP client
    std::int32_t option = 0;
};

constexpr int kLanPortCount = 2;

// One recorder heard by discovery.
struct DeviceRecord {
    FixedText<256> name;
    DeviceId deviceId{};
    FixedText<256> model;
    std::int32_t numberA = 0;
    std::int32_t numberB = 0;
    std::int32_t lanCount = 0;   // how many TLV_LAN_INDEX records the reply held
    std::int32_t activeLan = 0;  // the port the main window shows and edits
    FixedText<8> shortText;
    std::array<LanEntry, kLanPortCount> lan{};
    std::int32_t interfaceIndex = 0;  // LocalAddressTable slot it answered on
};

// The recorders of the last discovery in the order first heard. A deque keeps
// every record at its address while records are appended.
extern std::deque<DeviceRecord> DeviceTable;

// Empties the table; does nothing when it is already empty.
void ClearDeviceTable();

// Lookups by the 8 raw bytes of the id; the first match from the head wins.
int DeviceIdKnown(const DeviceId& id);
int FindInterfaceIndexById(const DeviceId& id);    // -1 when unknown
DeviceRecord* FindDeviceById(const DeviceId& id);  // nullptr when unknown

// The LAN port (0 or 1) a LAN settings request addresses, from the record's
// port count, its active port and LanModeText.
int SelectLanIndex(const DeviceRecord* record);

// Fills a zeroed record from a valid discovery reply received on the slot.
// Per-port records go to the port the last TLV_LAN_INDEX named (port 0 before
// any); an index other than 0 or 1 is counted but its port records are
// dropped, as the record holds two ports only.
void FillDeviceRecord(DeviceRecord& record, std::span<const std::uint8_t> reply,
                      int interfaceIndex);
