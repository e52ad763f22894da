#include "protocol/discovery.h"

#include <algorithm>
#include <array>
#include <new>

#include "protocol/device_table.h"
#include "protocol/exchange.h"
#include "protocol/local_addresses.h"
#include "protocol/net_io.h"
#include "protocol/packet_format.h"
#include "protocol/reply_check.h"
#include "protocol/tlv.h"

std::string_view DiscoveryModelText(std::span<const std::uint8_t> reply) {
    std::string_view model;
    ForEachTlv(reply, [&](const TlvView& tlv) {
        if (tlv.type == TLV_MODEL) {
            model = TlvText(tlv.value);
        }
    });
    return model;
}

bool IsSupportedModel(std::string_view model) {
    for (const char* supported : kSupportedModels) {
        if (model == supported) {
            return true;
        }
    }
    return false;
}

bool HandleDiscoveryDatagram(std::span<const std::uint8_t> datagram, int interfaceIndex) {
    if (!CheckReply(datagram, OP_DISCOVER)) {
        return false;
    }
    if (!IsSupportedModel(DiscoveryModelText(datagram))) {
        return true;
    }
    if (DeviceIdKnown(HeaderDeviceId(datagram)) == 1) {
        return false;
    }
    // Linked in before it is filled, as readers of a running discovery expect.
    DeviceRecord* record = nullptr;
    try {
        record = &DeviceTable.emplace_back();
    } catch (const std::bad_alloc&) {
        return false;  // no memory for it: this recorder is left out, discovery goes on
    }
    FillDeviceRecord(*record, datagram, interfaceIndex);
    return false;
}

void DiscoverDevices() {
    ClearDeviceTable();
    std::array<std::uint8_t, kPacketBufferSize> request{};
    const std::size_t length = BuildHeader(request, OP_DISCOVER);
    const auto requestBytes = std::span<const std::uint8_t>(request).first(length);

    NetIo& io = ActiveNetIo();
    std::array<std::uint8_t, kPacketBufferSize> reply;
    for (std::size_t slot = 0; slot < LocalAddressTable.size(); ++slot) {
        const int index = static_cast<int>(slot);
        const auto cap = io.Now() + kDiscoverySlotCap;
        SendRequest(index, requestBytes);
        const int socket = LocalAddressTable[slot].receiveSocket;
        int counter = 0;
        for (;;) {
            const auto now = io.Now();
            if (now >= cap) {
                break;
            }
            bool counted = true;
            if (io.WaitReadable(socket, std::min(kPollTimeout, cap - now)) ==
                NetIo::WaitResult::Ready) {
                const std::ptrdiff_t received = io.Receive(socket, reply);
                counted = received > 0 &&
                          HandleDiscoveryDatagram(std::span<const std::uint8_t>(reply).first(
                                                      static_cast<std::size_t>(received)),
                                                  index);
            }
            if (!counted) {
                continue;
            }
            if (counter++ >= kDiscoveryCountLimit) {
                break;
            }
        }
    }
}
