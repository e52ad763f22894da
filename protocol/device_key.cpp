#include "protocol/device_key.h"

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

bool IsHexPrefix(std::string_view text, std::size_t pos) {
    return pos + 1 < text.size() && text[pos] == '0' &&
           (text[pos + 1] == 'x' || text[pos + 1] == 'X');
}

int ReadExact(std::string_view text, DeviceId& deviceId) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < deviceId.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || (text[pos] != ',' && text[pos] != ':')) {
                return 0;
            }
            ++pos;
        }
        if (IsHexPrefix(text, pos)) {
            pos += 2;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && HexDigit(text[pos]) >= 0) {
            if (++digits > 2) {
                return 0;
            }
            value = value * 16 + static_cast<unsigned>(HexDigit(text[pos]));
            ++pos;
        }
        if (digits == 0) {
            return 0;
        }
        deviceId[i] = static_cast<std::uint8_t>(value);
    }
    return pos == text.size() ? static_cast<int>(deviceId.size()) : 0;
}

int ReadLenient(std::string_view text, DeviceId& deviceId) {
    std::size_t pos = 0;
    int count = 0;
    while (count < static_cast<int>(deviceId.size())) {
        if (count > 0) {
            // One separator character between numbers.
            if (pos >= text.size()) {
                break;
            }
            ++pos;
        }
        std::size_t digits = pos;
        // "0x" counts as a prefix only before a hex digit; "0xz" is the number 0.
        if (IsHexPrefix(text, digits) && digits + 2 < text.size() &&
            HexDigit(text[digits + 2]) >= 0) {
            digits += 2;
        }
        unsigned value = 0;
        std::size_t end = digits;
        while (end < text.size() && HexDigit(text[end]) >= 0) {
            // Keep the low byte, as a byte-sized conversion would; stop the
            // value from growing without bound on a long run of digits.
            value = ((value << 4) | static_cast<unsigned>(HexDigit(text[end]))) & 0xFFFFu;
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

}  // namespace

std::string DeviceKey(const DeviceId& deviceId) {
    std::string key;
    key.reserve(39);
    for (std::size_t i = 0; i < deviceId.size(); ++i) {
        char group[8];
        std::snprintf(group, sizeof group, "%s0x%02X", i == 0 ? "" : ",",
                      static_cast<unsigned>(deviceId[i]));
        key += group;
    }
    return key;
}

int ReadDeviceKey(std::string_view text, DeviceKeyStrictness strictness, DeviceId& deviceId) {
    deviceId.fill(0);
    const int count = strictness == DeviceKeyStrictness::Exact ? ReadExact(text, deviceId)
                                                               : ReadLenient(text, deviceId);
    if (count == 0) {
        deviceId.fill(0);
    }
    return count;
}
