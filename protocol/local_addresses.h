#pragma once

#include <cstddef>
#include <vector>

#include "protocol/fixed_text.h"
#include "protocol/no_qt.h"

constexpr std::size_t kMaxLocalAddresses = 8;

// One local IPv4 address with its pair of sockets. A slot's position in the
// table is its interface index: a recorder is reached again through the
// index on which it answered discovery.
struct LocalAddressSlot {
    FixedText<16> address;
    int sendSocket = -1;
    int receiveSocket = -1;
};

// Up to 8 slots, in the host's order. Filled by InitNetwork, emptied by
// ShutdownNetwork.
extern std::vector<LocalAddressSlot> LocalAddressTable;

// Empties the table (closing any sockets its slots still hold), fills it
// with the first 8 local addresses the active NetIo lists (no sockets yet)
// and draws the SessionId.
void EnumerateLocalAddresses();
