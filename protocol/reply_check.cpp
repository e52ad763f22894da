#include "protocol/reply_check.h"

#include <algorithm>

#include "protocol/packet_format.h"
#include "protocol/session_id.h"

ReplyVerdict CheckReplyVerdict(std::span<const std::uint8_t> datagram,
                               std::uint16_t expectedOpcode) {
    if (datagram.size() < kPacketHeaderSize) {
        return ReplyVerdict::TooShort;
    }
    if (ReadU16(datagram, PacketHeader::kMagic) != REPLY_MAGIC) {
        return ReplyVerdict::WrongMagic;
    }
    if (ReadU16(datagram, PacketHeader::kOpcode) != expectedOpcode) {
        return ReplyVerdict::WrongOpcode;
    }
    if (!std::equal(SessionId.begin(), SessionId.end(),
                    datagram.begin() + PacketHeader::kSessionId)) {
        return ReplyVerdict::WrongSession;
    }
    // Both sides taken as 16-bit numbers.
    const auto expected =
        static_cast<std::uint16_t>(kPacketHeaderSize + HeaderPayloadLength(datagram));
    if (expected != static_cast<std::uint16_t>(datagram.size())) {
        return ReplyVerdict::LengthMismatch;
    }
    return ReplyVerdict::Valid;
}

bool CheckReply(std::span<const std::uint8_t> datagram, std::uint16_t expectedOpcode) {
    return CheckReplyVerdict(datagram, expectedOpcode) == ReplyVerdict::Valid;
}
