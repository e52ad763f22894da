#include "protocol/exchange.h"

#include <algorithm>
#include <array>

#include "protocol/local_addresses.h"
#include "protocol/net_io.h"
#include "protocol/packet_format.h"
#include "protocol/reply_check.h"

namespace {

const LocalAddressSlot* Slot(int interfaceIndex) {
    if (interfaceIndex < 0 ||
        static_cast<std::size_t>(interfaceIndex) >= LocalAddressTable.size()) {
        return nullptr;
    }
    return &LocalAddressTable[static_cast<std::size_t>(interfaceIndex)];
}

}  // namespace

void DrainReceiveSocket(int interfaceIndex) {
    const LocalAddressSlot* slot = Slot(interfaceIndex);
    if (slot == nullptr) {
        return;
    }
    NetIo& io = ActiveNetIo();
    std::array<std::uint8_t, kPacketBufferSize> scratch;
    const auto cap = io.Now() + kDrainCap;
    int discarded = 0;
    for (;;) {
        auto wait = kDrainQuietTime;
        if (discarded > kDrainStaleCount) {
            const auto now = io.Now();
            if (now >= cap) {
                return;
            }
            wait = std::min(wait, cap - now);
        }
        if (io.WaitReadable(slot->receiveSocket, wait) != NetIo::WaitResult::Ready) {
            return;
        }
        io.Receive(slot->receiveSocket, scratch);
        ++discarded;
    }
}

bool SendRequest(int interfaceIndex, std::span<const std::uint8_t> request) {
    const LocalAddressSlot* slot = Slot(interfaceIndex);
    if (slot == nullptr) {
        return false;
    }
    NetIo& io = ActiveNetIo();
    io.SetMulticastInterface(slot->sendSocket, slot->address.str());
    DrainReceiveSocket(interfaceIndex);
    return io.SendToGroup(slot->sendSocket, request);
}

std::optional<std::size_t> ExchangeRequest(int interfaceIndex,
                                           std::span<const std::uint8_t> request,
                                           std::uint16_t expectedOpcode,
                                           std::chrono::microseconds pollTimeout, int pollingLimit,
                                           std::span<std::uint8_t> reply) {
    const LocalAddressSlot* slot = Slot(interfaceIndex);
    if (slot == nullptr) {
        return std::nullopt;
    }
    // A failed send is not detected here, as with a lost datagram: the
    // exchange simply hears no reply.
    SendRequest(interfaceIndex, request);

    NetIo& io = ActiveNetIo();
    const auto deadline = io.Now() + NominalReplyWait(pollTimeout, pollingLimit);
    // On a quiet network the count of empty polls alone ends the exchange, at
    // the deadline; the deadline itself is enforced only once a rejected
    // datagram has taken time that the count does not see.
    bool rejected = false;
    const auto bounded = [&](std::chrono::microseconds duration) {
        if (!rejected) {
            return duration;
        }
        return std::clamp(deadline - io.Now(), std::chrono::microseconds{0}, duration);
    };
    io.Sleep(kReplyPause);
    int emptyPolls = 0;
    for (;;) {
        if (rejected && io.Now() >= deadline) {
            return std::nullopt;
        }
        if (io.WaitReadable(slot->receiveSocket, bounded(pollTimeout)) ==
            NetIo::WaitResult::Ready) {
            const std::ptrdiff_t length = io.Receive(slot->receiveSocket, reply);
            if (length > 0) {
                const auto datagram = reply.first(static_cast<std::size_t>(length));
                if (CheckReply(datagram, expectedOpcode)) {
                    return static_cast<std::size_t>(length);
                }
            }
            rejected = true;
            continue;  // rejected or failed receive: no count, no pause
        }
        if (emptyPolls >= pollingLimit) {
            return std::nullopt;
        }
        io.Sleep(bounded(kEmptyPollPause));
        ++emptyPolls;
    }
}
