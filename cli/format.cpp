#include "cli/format.h"

#include "cli/json_text.h"
#include "protocol/device_key.h"
#include "protocol/ipv4_text.h"
#include "protocol/local_addresses.h"

namespace cli {
namespace {

std::string Dump(const nlohmann::ordered_json& value) {
    return JsonText(value, 2);
}

nlohmann::ordered_json DevicesJson(const std::vector<DeviceSummary>& devices) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const DeviceSummary& device : devices) {
        array.push_back({
            {"name", device.name},
            {"id", DeviceKey(device.id)},
            {"model", device.model},
            {"ip", device.ip},
            {"ip_valid", IsDottedDecimalIpv4(device.ip)},
            {"netmask", device.netmask},
            {"gateway", device.gateway},
            {"dhcp", device.dhcp},
            {"interface", device.interfaceAddress},
        });
    }
    return array;
}

}  // namespace

std::string AddressText(std::string_view ip) {
    return PrintableText(ip) + (IsDottedDecimalIpv4(ip) ? "" : " (invalid)");
}

std::string FormatSearchText(const std::vector<DeviceSummary>& devices) {
    std::string out;
    for (const DeviceSummary& device : devices) {
        out += PrintableText(device.name) + '\t' + DeviceKey(device.id) + '\t' +
               PrintableText(device.model) + '\t' + AddressText(device.ip) + '\t' +
               PrintableText(device.netmask) + '\t' + PrintableText(device.gateway) + '\t' +
               (device.dhcp ? "dhcp" : "static") + '\t' + device.interfaceAddress + '\n';
    }
    return out;
}

std::string FormatSearchJson(const std::vector<DeviceSummary>& devices) {
    return Dump(DevicesJson(devices));
}

std::string FormatSearchJson(const std::vector<DeviceSummary>& devices,
                             const std::vector<LocalAddressVerdict>& verdicts) {
    nlohmann::ordered_json searched = nlohmann::ordered_json::array();
    nlohmann::ordered_json leftOut = nlohmann::ordered_json::array();
    for (const LocalAddressVerdict& verdict : verdicts) {
        nlohmann::ordered_json entry = {{"interface", verdict.interfaceName},
                                        {"address", verdict.address}};
        if (verdict.leftOut) {
            entry["reason"] = LeftOutText(*verdict.leftOut);
            leftOut.push_back(std::move(entry));
        } else {
            searched.push_back(std::move(entry));
        }
    }
    nlohmann::ordered_json object = {
        {"recorders", DevicesJson(devices)}, {"searched", searched}, {"left_out", leftOut}};
    return Dump(object);
}

std::string OverLimitText(const std::vector<LocalAddressVerdict>& verdicts) {
    std::string list;
    for (const LocalAddressVerdict& verdict : verdicts) {
        if (verdict.leftOut == LeftOutReason::OverLimit) {
            list += (list.empty() ? "" : ", ") + AddressOnInterface(verdict);
        }
    }
    if (list.empty()) {
        return {};
    }
    return "searched the first " + std::to_string(kMaxLocalAddresses) +
           " local addresses only; left out: " + list;
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
