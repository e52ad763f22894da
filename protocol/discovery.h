#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/exchange.h"
#include "protocol/no_qt.h"

// The models discovery keeps.
constexpr const char* kSupportedModels[] = {"KVR-610L", "KVR-620"};
constexpr int kDiscoveryCountLimit = 100;
// A slot (drain, send and collection) on a quiet network lasts the drain's
// quiet second and 101 empty polls. However many datagrams keep arriving,
// the collection stops once the slot has lasted twice that.
constexpr std::chrono::microseconds kDiscoverySlotCap =
    2 * (kDrainQuietTime + (kDiscoveryCountLimit + 1) * kPollTimeout);

// Clears the DeviceTable and fills it anew: for each local address in turn,
// sends the discovery request and collects replies until 101 counted events
// (empty 10 ms polls and replies of unsupported models) or kDiscoverySlotCap.
// Rejected datagrams and answers of supported recorders, new or known, are
// not counted, so a site with hundreds of recorders is listed whole.
void DiscoverDevices();

// The text of the last TLV_MODEL record of a reply (empty when none).
std::string_view DiscoveryModelText(std::span<const std::uint8_t> reply);
bool IsSupportedModel(std::string_view model);

// What discovery does with one datagram received on the slot: true (the
// event is counted) for a valid reply of an unsupported model; false for a
// rejected datagram or a supported recorder. A reply of a supported, new
// recorder is added to the DeviceTable (left out when there is no memory for
// its record).
bool HandleDiscoveryDatagram(std::span<const std::uint8_t> datagram, int interfaceIndex);
