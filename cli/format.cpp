#include "cli/format.h"

#include <cstdio>

#include <nlohmann/json.hpp>

namespace cli {
namespace {

// JSON output must survive names that are not valid UTF-8.
std::string Dump(const nlohmann::ordered_json& value) {
    return value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

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

std::string FormatDeviceKey(const DeviceIdBytes& id) {
    std::string key;
    char group[8];
    for (std::size_t i = 0; i < id.size(); ++i) {
        std::snprintf(group, sizeof group, "%s0x%02X", i == 0 ? "" : ",", id[i]);
        key += group;
    }
    return key;
}

std::optional<DeviceIdBytes> ParseDeviceKey(std::string_view text) {
    DeviceIdBytes id{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < id.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || (text[pos] != ',' && text[pos] != ':')) {
                return std::nullopt;
            }
            ++pos;
        }
        if (text.substr(pos, 2) == "0x" || text.substr(pos, 2) == "0X") {
            pos += 2;
        }
        int value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && HexDigit(text[pos]) >= 0) {
            value = value * 16 + HexDigit(text[pos]);
            ++pos;
            if (++digits > 2) {
                return std::nullopt;
            }
        }
        if (digits == 0) {
            return std::nullopt;
        }
        id[i] = static_cast<std::uint8_t>(value);
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return id;
}

std::string PrintableText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return out;
}

std::string FormatSearchText(const std::vector<DeviceSummary>& devices) {
    std::string out;
    for (const DeviceSummary& device : devices) {
        out += PrintableText(device.name) + '\t' + FormatDeviceKey(device.id) + '\t' +
               PrintableText(device.model) + '\t' + PrintableText(device.ip) + '\t' +
               PrintableText(device.netmask) + '\t' + PrintableText(device.gateway) + '\t' +
               (device.dhcp ? "dhcp" : "static") + '\t' + device.interfaceAddress + '\n';
    }
    return out;
}

std::string FormatSearchJson(const std::vector<DeviceSummary>& devices) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const DeviceSummary& device : devices) {
        array.push_back({
            {"name", device.name},
            {"id", FormatDeviceKey(device.id)},
            {"model", device.model},
            {"ip", device.ip},
            {"netmask", device.netmask},
            {"gateway", device.gateway},
            {"dhcp", device.dhcp},
            {"interface", device.interfaceAddress},
        });
    }
    return Dump(array);
}

std::string FormatVolumesText(const std::vector<std::string>& volumes) {
    std::string out;
    for (const std::string& volume : volumes) {
        out += PrintableText(volume) + '\n';
    }
    return out;
}

std::string FormatVolumesJson(const std::vector<std::string>& volumes) {
    return Dump(nlohmann::ordered_json(volumes));
}

std::string FormatIdentityText(std::string_view name, std::string_view shortText,
                               std::string_view longText) {
    return "name: " + PrintableText(name) + "\nshort: " + PrintableText(shortText) +
           "\nlong: " + PrintableText(longText) + "\n";
}

}  // namespace cli
