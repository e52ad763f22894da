#include "protocol/packet_format.h"

#include <algorithm>

#include "protocol/globals.h"
#include "protocol/session_id.h"

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 2) {
        return 0;
    }
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void WriteU16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
    if (offset > bytes.size() || bytes.size() - offset < 2) {
        return;
    }
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint16_t HeaderStatus(std::span<const std::uint8_t> datagram) {
    return ReadU16(datagram, PacketHeader::kStatus);
}

std::uint16_t HeaderPayloadLength(std::span<const std::uint8_t> datagram) {
    return ReadU16(datagram, PacketHeader::kPayloadLength);
}

DeviceId HeaderDeviceId(std::span<const std::uint8_t> datagram) {
    DeviceId id{};
    if (datagram.size() >= PacketHeader::kDeviceId + id.size()) {
        std::copy_n(datagram.begin() + PacketHeader::kDeviceId, id.size(), id.begin());
    }
    return id;
}

std::size_t BuildHeader(std::span<std::uint8_t> buffer, std::uint16_t opcode) {
    if (buffer.size() < kPacketHeaderSize) {
        return 0;
    }
    WriteU16(buffer, PacketHeader::kMagic, REQUEST_MAGIC);
    WriteU16(buffer, PacketHeader::kOpcode, opcode);
    WriteU16(buffer, 6, 0);
    std::copy(SessionId.begin(), SessionId.end(), buffer.begin() + PacketHeader::kSessionId);
    if (opcode != OP_DISCOVER) {
        std::copy(CurrentTargetId.begin(), CurrentTargetId.end(),
                  buffer.begin() + PacketHeader::kDeviceId);
    }
    return kPacketHeaderSize;
}

void AddPayloadLength(std::span<std::uint8_t> buffer, std::size_t size) {
    const auto length = static_cast<std::uint16_t>(HeaderPayloadLength(buffer) + size);
    WriteU16(buffer, PacketHeader::kPayloadLength, length);
}
