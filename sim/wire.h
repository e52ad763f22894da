#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The recorder's side of the wire: it reads the requests a client sends to the
// group and writes the replies. Written independently of the client's codec so
// that tests run one side against the other.
namespace sim {

inline constexpr std::size_t kHeaderSize = 44;
inline constexpr std::size_t kCredentialBlockSize = 128;
inline constexpr std::size_t kMaxDatagram = 4096;
inline constexpr std::uint16_t kRequestMagic = 0x55AA;  // bytes AA 55
inline constexpr std::uint16_t kReplyMagic = 0xAA55;    // bytes 55 AA

using DeviceId = std::array<std::uint8_t, 8>;
using SessionBytes = std::array<std::uint8_t, 8>;

namespace op {
inline constexpr std::uint16_t kDiscover = 101;
inline constexpr std::uint16_t kLogin = 102;
inline constexpr std::uint16_t kSetLanDhcp = 104;
inline constexpr std::uint16_t kSetLanStatic = 106;
inline constexpr std::uint16_t kGetIdentity = 123;
inline constexpr std::uint16_t kSetIdentity = 124;
inline constexpr std::uint16_t kGetVolumes = 164;
}  // namespace op

namespace tlv {
inline constexpr std::int16_t kName = 504;
inline constexpr std::int16_t kDhcp = 505;
inline constexpr std::int16_t kIp = 506;
inline constexpr std::int16_t kNetmask = 507;
inline constexpr std::int16_t kGateway = 508;
inline constexpr std::int16_t kDns1 = 509;
inline constexpr std::int16_t kDns2 = 510;
inline constexpr std::int16_t kIdentShort = 525;
inline constexpr std::int16_t kIdentLong = 526;
inline constexpr std::int16_t kModel = 527;
inline constexpr std::int16_t kLanIndex = 529;
inline constexpr std::int16_t kNumberA = 530;
inline constexpr std::int16_t kNumberB = 531;
inline constexpr std::int16_t kActiveLan = 535;
inline constexpr std::int16_t kShortText = 536;
inline constexpr std::int16_t kLanOption = 538;
// The type this recorder gives the volume list record (readers take the
// first record whatever its type).
inline constexpr std::int16_t kVolumeList = 537;
}  // namespace tlv

// Name of an opcode for logs ("discover", "login", ...), or "" when unknown.
std::string_view OpcodeName(std::uint16_t opcode);
// Opcode by its log name, or by its decimal text.
std::optional<std::uint16_t> OpcodeByName(std::string_view name);

struct Record {
    std::int16_t type = 0;
    std::string value;  // raw value bytes, zero padding included

    // The value up to its first zero byte.
    std::string Text() const;
    // The value read as a decimal number the way atoi reads it.
    int Number() const;

    bool operator==(const Record&) const = default;
};

// Walks the records in bytes. A record whose length is below 4 or whose end
// lies past the data ends the walk; nothing beyond bytes is read. complete,
// when given, tells whether the records covered the bytes exactly.
std::vector<Record> ParseRecords(std::span<const std::uint8_t> bytes, bool* complete = nullptr);

struct Request {
    std::uint16_t opcode = 0;
    std::uint16_t status = 0;
    SessionBytes session{};
    DeviceId deviceId{};
    bool hasCredentials = false;
    std::string user;                 // decoded from the credential block
    std::string password;             // decoded from the credential block
    bool credentialsDecoded = false;  // both halves were valid Base64
    std::vector<Record> records;      // the records after the credential block
    bool recordsComplete = false;     // they covered the rest of the datagram exactly
};

// The recorder's request check: at least a header, the request magic, and a
// total length of exactly 44 + payload length. Requests other than discovery
// must carry the whole credential block. Anything else gives nothing.
std::optional<Request> ParseRequest(std::span<const std::uint8_t> datagram);

// Decodes RFC 4648 Base64 (with "=" padding, no line breaks). Gives nothing on
// any character outside the alphabet or a bad length.
std::optional<std::string> Base64Decode(std::string_view text);
std::string Base64Encode(std::string_view bytes);

// Builds one reply: header first, then records appended in order. The payload
// length in the header follows the records as they are added.
class ReplyWriter {
public:
    ReplyWriter(std::uint16_t opcode, std::uint16_t status, const SessionBytes& session,
                const DeviceId& deviceId);

    // One text record, padded to the next multiple of 4 strictly above its
    // length; an empty text gives a 4-byte record.
    ReplyWriter& Text(std::int16_t type, std::string_view text);
    ReplyWriter& Number(std::int16_t type, long value);
    // A record written exactly as given: the length field and the value bytes
    // are not checked against each other (used to script malformed replies).
    ReplyWriter& Raw(std::int16_t type, std::int16_t lengthField,
                     std::span<const std::uint8_t> value);

    // Overrides the header's payload length field (for foreign datagrams).
    ReplyWriter& ForcePayloadLength(std::uint16_t length);
    ReplyWriter& SetMagic(std::uint16_t magic);

    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t> Finish() const { return bytes_; }

private:
    void Append(std::span<const std::uint8_t> part);
    void UpdateLength();

    std::vector<std::uint8_t> bytes_;
    bool forcedLength_ = false;
};

// Bytes written for a text value of n characters: the next multiple of 4 above n.
std::size_t PaddedSize(std::size_t textLength);

}  // namespace sim
