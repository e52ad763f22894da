#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "protocol/local_address_filter.h"
#include "protocol/packet_format.h"

// What ostrel-nvr prints, built from plain values so it can be tested without
// a network. Texts that come from a recorder are shown with their control
// characters replaced, so a recorder cannot drive the user's terminal.
namespace cli {

using DeviceIdBytes = DeviceId;

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

// The text with every control character (C0, DEL and C1, raw or in UTF-8),
// every character that turns the text's direction (U+202E and its kin) and
// every byte that is not part of UTF-8 replaced by "?"; other text is kept.
std::string PrintableText(std::string_view text);

// A recorder's address as the output shows it: as it came, with " (invalid)"
// after a text that is not a dotted-decimal IPv4 address.
std::string AddressText(std::string_view ip);

// One tab-separated line per recorder: name, device key (DeviceKey), model, ip, netmask,
// gateway, "dhcp" or "static", the local address it answered on.
std::string FormatSearchText(const std::vector<DeviceSummary>& devices);
// A JSON array of objects with name, id, model, ip, ip_valid (false when ip
// is not a dotted-decimal IPv4 address), netmask, gateway, dhcp (a boolean)
// and interface.
std::string FormatSearchJson(const std::vector<DeviceSummary>& devices);

// The words for why a local address was not searched ("no carrier", ...).
std::string_view LeftOutText(LeftOutReason reason);
// What search --verbose adds: one line per local address, "searched ADDRESS
// (INTERFACE)" or "left out ADDRESS (INTERFACE): REASON", in the host's order.
std::string FormatLocalAddressesText(const std::vector<LocalAddressVerdict>& verdicts);
// search --json --verbose: an object with "recorders" (the array of
// FormatSearchJson), "searched" (objects with interface and address) and
// "left_out" (objects with interface, address and reason).
std::string FormatSearchJson(const std::vector<DeviceSummary>& devices,
                             const std::vector<LocalAddressVerdict>& verdicts);
// One line naming the addresses left out over the limit of 8, so that none
// is dropped silently; empty when there are none.
std::string OverLimitText(const std::vector<LocalAddressVerdict>& verdicts);

// One volume name per line, or a JSON array of names.
std::string FormatVolumesText(const std::vector<std::string>& volumes);
std::string FormatVolumesJson(const std::vector<std::string>& volumes);

// The three identity texts, one "label: text" line each.
std::string FormatIdentityText(std::string_view name, std::string_view shortText,
                               std::string_view longText);

}  // namespace cli
