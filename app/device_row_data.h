#pragma once

#include <cstring>

#include "platform/dialog/win_types.h"
#include "protocol/device_table.h"

// A device row's data is the recorder's 8-byte id itself, not a pointer into
// the device table, so a row can never outlive what it names.
static_assert(sizeof(DWORD_PTR) >= sizeof(DeviceId), "a row's data must hold a device id");

inline DWORD_PTR RowDataFor(const DeviceId& id) {
    DWORD_PTR data = 0;
    std::memcpy(&data, id.data(), id.size());
    return data;
}

inline DeviceId DeviceIdFromRowData(DWORD_PTR data) {
    DeviceId id{};
    std::memcpy(id.data(), &data, id.size());
    return id;
}
