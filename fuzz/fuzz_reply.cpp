// Fuzz target over everything that reads a received datagram: the reply
// check, the discovery record walk and record filling, the volume split and
// the identity read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/globals.h"
#include "protocol/identity.h"
#include "protocol/packet_format.h"
#include "protocol/reply_check.h"
#include "protocol/session_id.h"
#include "protocol/tlv.h"
#include "protocol/volume_list.h"

namespace {

// The corpus's replies echo this session id (see make_corpus.py).
constexpr SessionIdBytes kFuzzSessionId = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};

constexpr std::uint16_t kOpcodes[] = {OP_DISCOVER,       OP_LOGIN,        OP_SET_LAN_DHCP,
                                      OP_SET_LAN_STATIC, OP_GET_IDENTITY, OP_SET_IDENTITY,
                                      OP_GET_VOLUMES};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SessionId = kFuzzSessionId;
    // A datagram is received into a 4096-byte buffer; copy it into a block of
    // its exact size so that any read past it is caught.
    const std::vector<std::uint8_t> copy(data, data + std::min(size, kPacketBufferSize));
    const std::span<const std::uint8_t> datagram(copy);

    for (std::uint16_t opcode : kOpcodes) {
        (void)CheckReplyVerdict(datagram, opcode);
    }

    // Discovery as it runs, then the record filling on any bytes at all.
    if (HandleDiscoveryDatagram(datagram, 0)) {
        (void)FindDeviceById(HeaderDeviceId(datagram));
    }
    ClearDeviceTable();
    (void)IsSupportedModel(DiscoveryModelText(datagram));
    DeviceRecord record;
    FillDeviceRecord(record, datagram, 1);

    // The operations' readers.
    FillVolumeListFromReply(datagram);
    ClearVolumeList();
    FillIdentityFromReply(datagram);
    ForEachTlv(datagram, [](const TlvView& tlv) { (void)TlvNumber(tlv.value); });
    ResetProtocolGlobals();
    return 0;
}
