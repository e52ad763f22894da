#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "protocol/no_qt.h"

// One IPv4 address of a network interface, as getifaddrs lists it.
struct InterfaceAddressEntry {
    std::string interfaceName;
    std::string address;  // dotted IPv4
    bool up = false;
    bool loopback = false;
    bool multicast = false;
};

// The addresses that can reach the recorders' multicast group: interfaces
// that are up, not loopback and multicast-capable, in the order given, at
// most maxCount of them.
std::vector<std::string> SelectMulticastAddresses(std::span<const InterfaceAddressEntry> entries,
                                                  std::size_t maxCount);
