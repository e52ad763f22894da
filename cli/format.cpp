#include "cli/format.h"

#include <nlohmann/json.hpp>

#include "protocol/device_key.h"

namespace cli {
namespace {

// JSON output must survive names that are not valid UTF-8.
std::string Dump(const nlohmann::ordered_json& value) {
    return value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace

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
        out += PrintableText(device.name) + '\t' + DeviceKey(device.id) + '\t' +
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
            {"id", DeviceKey(device.id)},
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
