#include "app/device_key.h"

#include <cstdio>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string DeviceKey(std::span<const std::uint8_t, 8> deviceId) {
    std::string key;
    key.reserve(39);
    for (std::size_t i = 0; i < deviceId.size(); ++i) {
        char group[8];
        std::snprintf(group, sizeof group, "0x%02X", static_cast<unsigned>(deviceId[i]));
        if (i > 0) {
            key += ',';
        }
        key += group;
    }
    return key;
}

int ReadDeviceKey(std::string_view key, std::array<std::uint8_t, 8>& deviceId) {
    deviceId.fill(0);
    std::size_t pos = 0;
    int count = 0;
    while (count < static_cast<int>(deviceId.size())) {
        if (count > 0) {
            // One separator character between numbers.
            if (pos >= key.size()) {
                break;
            }
            ++pos;
        }
        std::size_t digits = pos;
        if (digits + 1 < key.size() && key[digits] == '0' &&
            (key[digits + 1] == 'x' || key[digits + 1] == 'X') && digits + 2 < key.size() &&
            HexDigit(key[digits + 2]) >= 0) {
            digits += 2;
        }
        unsigned value = 0;
        std::size_t end = digits;
        while (end < key.size() && HexDigit(key[end]) >= 0) {
            // Keep the low byte, as a byte-sized conversion would; stop the
            // value from growing without bound on a long run of digits.
            value = ((value << 4) | static_cast<unsigned>(HexDigit(key[end]))) & 0xFFFFu;
            ++end;
        }
        if (end == digits) {
            break;
        }
        deviceId[static_cast<std::size_t>(count)] = static_cast<std::uint8_t>(value & 0xFFu);
        ++count;
        pos = end;
    }
    return count;
}
