#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "protocol/no_qt.h"

// Timing of the request/reply exchange.
constexpr std::chrono::microseconds kDrainQuietTime{1'000'000};
constexpr std::chrono::microseconds kReplyPause{50'000};
constexpr std::chrono::microseconds kEmptyPollPause{20'000};
constexpr std::chrono::microseconds kPollTimeout{10'000};
constexpr int kPollingLimit = 100;
constexpr std::chrono::microseconds kDhcpPollTimeout{20'000};
constexpr int kDhcpPollingLimit = 200;

// Receives and discards datagrams on the slot until its receive socket has
// been quiet for a whole second (or a wait fails).
void DrainReceiveSocket(int interfaceIndex);

// Sends a request through a slot: chooses the slot's address as the outgoing
// multicast interface, drains the slot, sends to the group. False when the
// slot does not exist or the send fails.
bool SendRequest(int interfaceIndex, std::span<const std::uint8_t> request);

// Sends the request through the slot, pauses 50 ms, then polls for a reply
// that passes CheckReply with the expected opcode. A poll that finds nothing
// (or whose wait fails) is followed by a 20 ms pause; the exchange gives up at
// the (pollingLimit + 1)th such poll. Rejected datagrams do not count. The
// valid reply is left in the reply buffer; returns its length.
std::optional<std::size_t> ExchangeRequest(int interfaceIndex,
                                           std::span<const std::uint8_t> request,
                                           std::uint16_t expectedOpcode,
                                           std::chrono::microseconds pollTimeout, int pollingLimit,
                                           std::span<std::uint8_t> reply);
