#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What ostrel-nvr prints, built from plain values so it can be tested without
// a network. Texts that come from a recorder are shown with their control
// characters replaced, so a recorder cannot drive the user's terminal.
namespace cli {

using DeviceIdBytes = std::array<std::uint8_t, 8>;

// One recorder of the search, with the settings of its active LAN port.
struct DeviceSummary {
    std::string name;
    DeviceIdBytes id{};
    std::string model;
    std::string ip;
    std::string netmask;
    std::string gateway;
    bool dhcp = false;
    std::string interfaceAddress;      // the local address it answered on
    std::vector<std::string> portIps;  // every LAN port's address
};

// "0x00,0x1A,...": two upper-case hex digits per byte, joined by ",".
std::string FormatDeviceKey(const DeviceIdBytes& id);
// Reads a key back: eight hexadecimal numbers (each with an optional "0x")
// separated by "," or ":". Nothing when the text is not such a key.
std::optional<DeviceIdBytes> ParseDeviceKey(std::string_view text);

// The text with every control character (C0, DEL and C1, raw or in UTF-8)
// replaced by "?"; other bytes are kept.
std::string PrintableText(std::string_view text);

// One tab-separated line per recorder: name, key, model, ip, netmask,
// gateway, "dhcp" or "static", the local address it answered on.
std::string FormatSearchText(const std::vector<DeviceSummary>& devices);
// A JSON array of objects with name, id, model, ip, netmask, gateway, dhcp
// (a boolean) and interface.
std::string FormatSearchJson(const std::vector<DeviceSummary>& devices);

// One volume name per line, or a JSON array of names.
std::string FormatVolumesText(const std::vector<std::string>& volumes);
std::string FormatVolumesJson(const std::vector<std::string>& volumes);

// The three identity texts, one "label: text" line each.
std::string FormatIdentityText(std::string_view name, std::string_view shortText,
                               std::string_view longText);

}  // namespace cli
