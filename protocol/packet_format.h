#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/no_qt.h"

// Wire layout of the recorders' protocol. All integers are little-endian.
//
// PacketHeader, 44 bytes:
//   0  magic (2)          request 0x55AA, reply 0xAA55
//   2  opcode (2)         echoed in the reply
//   4  status (2)         reply: 1 success, anything else failure
//   6  reserved (2)
//   8  session id (8)     the SessionId, echoed
//  16  device id (8)      CurrentTargetId; zero in OP_DISCOVER
//  24  reserved (18)
//  42  payload length (2) bytes after the header
// A request's payload starts with the 128-byte CredentialBlock (except
// OP_DISCOVER); then, as in replies, come TlvRecords.

using DeviceId = std::array<std::uint8_t, 8>;
using SessionIdBytes = std::array<std::uint8_t, 8>;

constexpr const char* kGroupAddress = "224.0.0.10";
constexpr std::uint16_t kProtocolPort = 24680;

constexpr std::size_t kPacketBufferSize = 4096;
constexpr std::size_t kPacketHeaderSize = 44;

constexpr std::uint16_t REQUEST_MAGIC = 0x55AA;
constexpr std::uint16_t REPLY_MAGIC = 0xAA55;

struct PacketHeader {
    static constexpr std::size_t kMagic = 0;
    static constexpr std::size_t kOpcode = 2;
    static constexpr std::size_t kStatus = 4;
    static constexpr std::size_t kSessionId = 8;
    static constexpr std::size_t kDeviceId = 16;
    static constexpr std::size_t kPayloadLength = 42;
    static constexpr std::size_t kSize = kPacketHeaderSize;
};

// TlvRecord: type (signed 16) at 0, length of the whole record including these
// 4 bytes (signed 16) at 2, value at 4.
struct TlvRecord {
    static constexpr std::size_t kType = 0;
    static constexpr std::size_t kLength = 2;
    static constexpr std::size_t kHeaderSize = 4;
};

// CredentialBlock: Base64 of the user name in bytes 0-63, of the password in
// 64-127, each zero-padded; each text is cut to 48 characters first.
struct CredentialBlock {
    static constexpr std::size_t kSize = 128;
    static constexpr std::size_t kHalfSize = 64;
    static constexpr std::size_t kTextLimit = 48;
};

enum Opcode : std::uint16_t {
    OP_DISCOVER = 101,
    OP_LOGIN = 102,
    OP_SET_LAN_DHCP = 104,
    OP_SET_LAN_STATIC = 106,
    OP_GET_IDENTITY = 123,
    OP_SET_IDENTITY = 124,
    OP_GET_VOLUMES = 164,
};

enum RecordType : std::int16_t {
    TLV_NAME = 504,
    TLV_DHCP = 505,
    TLV_IP = 506,
    TLV_NETMASK = 507,
    TLV_GATEWAY = 508,
    TLV_DNS1 = 509,
    TLV_DNS2 = 510,
    TLV_IDENT_SHORT = 525,
    TLV_IDENT_LONG = 526,
    TLV_MODEL = 527,
    TLV_LAN_INDEX = 529,
    TLV_NUMBER_A = 530,
    TLV_NUMBER_B = 531,
    TLV_ACTIVE_LAN = 535,
    TLV_SHORT_TEXT = 536,
    TLV_LAN_OPTION = 538,
};

// Little-endian field access. Reads outside the bytes give 0; writes outside
// them do nothing.
std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset);
void WriteU16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value);

// The header fields of a datagram of at least 44 bytes.
std::uint16_t HeaderStatus(std::span<const std::uint8_t> datagram);
std::uint16_t HeaderPayloadLength(std::span<const std::uint8_t> datagram);
DeviceId HeaderDeviceId(std::span<const std::uint8_t> datagram);

// Writes the request header: REQUEST_MAGIC, the opcode, the SessionId and,
// except for OP_DISCOVER, CurrentTargetId. Status, reserved bytes and payload
// length stay as they are (zero in a cleared buffer). Returns 44, where the
// payload starts, or 0 when the buffer is too small.
std::size_t BuildHeader(std::span<std::uint8_t> buffer, std::uint16_t opcode);

// Adds size to the header's payload length (16-bit addition).
void AddPayloadLength(std::span<std::uint8_t> buffer, std::size_t size);
