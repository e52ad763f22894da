#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/no_qt.h"

// The models discovery keeps.
constexpr const char* kSupportedModels[] = {"KVR-610L", "KVR-620"};
constexpr int kDiscoveryCountLimit = 100;

// Clears the DeviceTable and fills it anew: for each local address in turn,
// sends the discovery request and collects replies until 101 counted events
// (empty 10 ms polls, replies of unsupported models, newly added recorders).
// Rejected datagrams and repeated answers of known recorders are not counted.
void DiscoverDevices();

// The text of the last TLV_MODEL record of a reply (empty when none).
std::string_view DiscoveryModelText(std::span<const std::uint8_t> reply);
bool IsSupportedModel(std::string_view model);

// What discovery does with one datagram received on the slot: false when it
// is rejected or comes from a recorder already known (the event is not
// counted), true otherwise (counted); a reply of a supported, new recorder
// is added to the DeviceTable (left out, and still counted, when there is no
// memory for its record).
bool HandleDiscoveryDatagram(std::span<const std::uint8_t> datagram, int interfaceIndex);
