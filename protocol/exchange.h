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

// A drain that keeps receiving datagrams stops two seconds after it began,
// once it has discarded more than kDrainStaleCount of them. A few stale
// replies of an earlier exchange (a recorder's duplicates) still get the
// whole quiet second after the last one; more than that is a stream of
// foreign traffic that the reply check rejects anyway, and draining it
// longer would let anyone on the segment hold the program. Two seconds keep
// an operation under such a stream within about twice its quiet time.
constexpr std::chrono::microseconds kDrainCap{2'000'000};
constexpr int kDrainStaleCount = 8;

// The longest wait for a reply after the send when nothing at all arrives:
// the pause, (pollingLimit + 1) empty polls and pollingLimit pauses between
// them. Rejected datagrams never stretch an exchange past it.
constexpr std::chrono::microseconds NominalReplyWait(std::chrono::microseconds pollTimeout,
                                                     int pollingLimit) {
    return kReplyPause + (pollingLimit + 1) * pollTimeout + pollingLimit * kEmptyPollPause;
}

// Receives and discards datagrams on the slot until its receive socket has
// been quiet for a whole second, a wait fails, or (past kDrainStaleCount
// datagrams) kDrainCap has passed since it began.
void DrainReceiveSocket(int interfaceIndex);

// Sends a request through a slot: chooses the slot's address as the outgoing
// multicast interface, drains the slot, sends to the group. False when the
// slot does not exist or the send fails.
bool SendRequest(int interfaceIndex, std::span<const std::uint8_t> request);

// Sends the request through the slot, pauses 50 ms, then polls for a reply
// that passes CheckReply with the expected opcode. A poll that finds nothing
// (or whose wait fails) is followed by a 20 ms pause; the exchange gives up at
// the (pollingLimit + 1)th such poll. Rejected datagrams do not count, but
// once one has arrived the exchange also ends when NominalReplyWait has
// passed since the send, so a stream of them cannot hold it; a valid reply
// that arrives before then is taken however many rejected ones surround it.
// The valid reply is left in the reply buffer; returns its length.
std::optional<std::size_t> ExchangeRequest(int interfaceIndex,
                                           std::span<const std::uint8_t> request,
                                           std::uint16_t expectedOpcode,
                                           std::chrono::microseconds pollTimeout, int pollingLimit,
                                           std::span<std::uint8_t> reply);
