#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/no_qt.h"

// One IPv4 address of a network interface, as getifaddrs lists it.
struct InterfaceAddressEntry {
    std::string interfaceName;
    std::string address;  // dotted IPv4
    bool up = false;
    bool running = false;  // has carrier (IFF_RUNNING)
    bool loopback = false;
    bool multicast = false;
};

// Why an address is not searched, in the order the rules are applied.
enum class LeftOutReason {
    Loopback,
    Down,
    NoCarrier,     // up, but nothing it sends can arrive anywhere
    NotMulticast,  // cannot reach the recorders' group
    OverLimit,     // qualifies, but the table already holds maxCount addresses
};

// One address and whether it is searched: leftOut is empty when it is.
struct LocalAddressVerdict {
    std::string interfaceName;
    std::string address;
    std::optional<LeftOutReason> leftOut;
};

// Judges every address in the order given: searched when its interface is
// up, has carrier, is not loopback and is multicast-capable, up to maxCount
// of them; every other one left out with the first rule it fails.
std::vector<LocalAddressVerdict> JudgeLocalAddresses(std::span<const InterfaceAddressEntry> entries,
                                                     std::size_t maxCount);

// The searched addresses of the verdicts, in their order.
std::vector<std::string> SearchedAddresses(std::span<const LocalAddressVerdict> verdicts);

// "10.201.1.1 (nic-a)", or the address alone when the interface is
// unnamed; the name made printable.
std::string AddressOnInterface(const LocalAddressVerdict& verdict);
// The words for why a local address was not searched ("no carrier", ...).
std::string_view LeftOutText(LeftOutReason reason);
// One line per local address, "searched ADDRESS (INTERFACE)" or "left out
// ADDRESS (INTERFACE): REASON", in the host's order: why a search found no
// usable interface, or where it looked.
std::string FormatLocalAddressesText(const std::vector<LocalAddressVerdict>& verdicts);
// What a search says when no local address can be searched.
inline constexpr const char* kNoUsableInterfaceText =
    "no usable local IPv4 interface (up with carrier, multicast, not loopback) to search on";
