#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
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
