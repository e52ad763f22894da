#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "protocol/local_address_filter.h"
#include "protocol/packet_format.h"
#include "protocol/printable_text.h"

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

// PrintableText (protocol/printable_text.h) shows them.

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

// What search --verbose adds: FormatLocalAddressesText (protocol/local_address_filter.h).
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
