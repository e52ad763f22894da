#pragma once

#include <string>
#include <string_view>

#include "protocol/no_qt.h"
#include "protocol/packet_format.h"

// The text form of a recorder's 8-byte device id: "0x" and two upper-case hex
// digits per byte, the eight groups joined by "," (39 characters). The window
// keys its credential cache by it; the command line prints it and takes it
// back as a device selector.
std::string DeviceKey(const DeviceId& deviceId);

// How strictly ReadDeviceKey reads a key.
enum class DeviceKeyStrictness {
    // The whole text is a key: eight hex numbers of one or two digits, each
    // with an optional "0x", separated by "," or ":", nothing before or after.
    // Anything else reads nothing, so a name or an address is never taken
    // for a key.
    Exact,
    // As far as it goes: hex numbers ("0x" allowed) separated by any one
    // character, each keeping its low byte, until a number cannot be read or
    // eight bytes are filled. For keys this program wrote itself.
    Lenient,
};

// Reads a key into deviceId and returns how many bytes were read: 8 or 0 when
// Exact, 0 to 8 when Lenient. Bytes that were not read are zero.
int ReadDeviceKey(std::string_view text, DeviceKeyStrictness strictness, DeviceId& deviceId);
