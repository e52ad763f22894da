#include "sim/wire.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace sim {
namespace {

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void WriteU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
    const auto pos = kAlphabet.find(c);
    return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

// One half of the credential block: Base64 text up to its first zero byte, or
// all 64 bytes when it fills the half.
std::optional<std::string> DecodeCredentialHalf(std::span<const std::uint8_t> half) {
    std::string text;
    for (const auto b : half) {
        if (b == 0)
            break;
        text.push_back(static_cast<char>(b));
    }
    return Base64Decode(text);
}

struct OpcodeEntry {
    std::uint16_t code;
    std::string_view name;
};

constexpr OpcodeEntry kOpcodes[] = {
    {op::kDiscover, "discover"},       {op::kLogin, "login"},
    {op::kSetLanDhcp, "setLanDhcp"},   {op::kSetLanStatic, "setLanStatic"},
    {op::kGetIdentity, "getIdentity"}, {op::kSetIdentity, "setIdentity"},
    {op::kGetVolumes, "getVolumes"},
};

}  // namespace

std::string_view OpcodeName(std::uint16_t opcode) {
    for (const auto& entry : kOpcodes) {
        if (entry.code == opcode)
            return entry.name;
    }
    return {};
}

std::optional<std::uint16_t> OpcodeByName(std::string_view name) {
    for (const auto& entry : kOpcodes) {
        if (entry.name == name)
            return entry.code;
    }
    if (name.empty() || name.size() > 5)
        return std::nullopt;
    unsigned value = 0;
    for (const char c : name) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::string Record::Text() const {
    const auto end = value.find('\0');
    return end == std::string::npos ? value : value.substr(0, end);
}

int Record::Number() const {
    const std::string text = Text();
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long number = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            break;
    }
    if (negative)
        number = -number;
    return static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
}

std::vector<Record> ParseRecords(std::span<const std::uint8_t> bytes, bool* complete) {
    std::vector<Record> records;
    std::size_t offset = 0;
    if (complete)
        *complete = false;
    while (offset + 4 <= bytes.size()) {
        const auto type = static_cast<std::int16_t>(ReadU16(bytes, offset));
        const auto length = static_cast<std::int16_t>(ReadU16(bytes, offset + 2));
        if (length < 4 || offset + static_cast<std::size_t>(length) > bytes.size())
            break;
        Record record;
        record.type = type;
        record.value.assign(reinterpret_cast<const char*>(bytes.data() + offset + 4),
                            static_cast<std::size_t>(length) - 4);
        records.push_back(std::move(record));
        offset += static_cast<std::size_t>(length);
    }
    if (complete)
        *complete = offset == bytes.size();
    return records;
}

std::optional<Request> ParseRequest(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kHeaderSize || datagram.size() > kMaxDatagram)
        return std::nullopt;
    if (ReadU16(datagram, 0) != kRequestMagic)
        return std::nullopt;
    const std::size_t payloadLength = ReadU16(datagram, 42);
    if (kHeaderSize + payloadLength != datagram.size())
        return std::nullopt;

    Request request;
    request.opcode = ReadU16(datagram, 2);
    request.status = ReadU16(datagram, 4);
    std::copy_n(datagram.begin() + 8, 8, request.session.begin());
    std::copy_n(datagram.begin() + 16, 8, request.deviceId.begin());

    auto payload = datagram.subspan(kHeaderSize);
    if (request.opcode != op::kDiscover) {
        if (payload.size() < kCredentialBlockSize)
            return std::nullopt;
        request.hasCredentials = true;
        auto user = DecodeCredentialHalf(payload.subspan(0, 64));
        auto password = DecodeCredentialHalf(payload.subspan(64, 64));
        request.credentialsDecoded = user.has_value() && password.has_value();
        if (user)
            request.user = std::move(*user);
        if (password)
            request.password = std::move(*password);
        payload = payload.subspan(kCredentialBlockSize);
    }
    request.records = ParseRecords(payload, &request.recordsComplete);
    return request;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int values[4];
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + static_cast<std::size_t>(k)];
            if (c == '=' && last && k >= 2) {
                values[k] = 0;
                ++padding;
                continue;
            }
            if (padding > 0)
                return std::nullopt;  // data after padding
            values[k] = Base64Value(c);
            if (values[k] < 0)
                return std::nullopt;
        }
        const unsigned group =
            (static_cast<unsigned>(values[0]) << 18) | (static_cast<unsigned>(values[1]) << 12) |
            (static_cast<unsigned>(values[2]) << 6) | static_cast<unsigned>(values[3]);
        out.push_back(static_cast<char>((group >> 16) & 0xFF));
        if (padding < 2)
            out.push_back(static_cast<char>((group >> 8) & 0xFF));
        if (padding < 1)
            out.push_back(static_cast<char>(group & 0xFF));
    }
    return out;
}

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        unsigned group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group <<= 8;
            if (k < n)
                group |= static_cast<unsigned char>(bytes[i + k]);
        }
        out.push_back(kAlphabet[(group >> 18) & 63]);
        out.push_back(kAlphabet[(group >> 12) & 63]);
        out.push_back(n > 1 ? kAlphabet[(group >> 6) & 63] : '=');
        out.push_back(n > 2 ? kAlphabet[group & 63] : '=');
    }
    return out;
}

std::size_t PaddedSize(std::size_t textLength) {
    return textLength == 0 ? 0 : textLength - (textLength % 4) + 4;
}

ReplyWriter::ReplyWriter(std::uint16_t opcode, std::uint16_t status, const SessionBytes& session,
                         const DeviceId& deviceId)
    : bytes_(kHeaderSize, 0) {
    WriteU16(bytes_, 0, kReplyMagic);
    WriteU16(bytes_, 2, opcode);
    WriteU16(bytes_, 4, status);
    std::copy(session.begin(), session.end(), bytes_.begin() + 8);
    std::copy(deviceId.begin(), deviceId.end(), bytes_.begin() + 16);
}

ReplyWriter& ReplyWriter::Text(std::int16_t type, std::string_view text) {
    // Keep every reply within one receive buffer: a text that would not fit
    // is cut so that its padded record still does.
    const std::size_t room = kMaxDatagram - std::min(kMaxDatagram, bytes_.size());
    if (room < 4)
        return *this;
    std::size_t maxText = room - 4;
    maxText = maxText == 0 ? 0 : maxText - 1;  // room for at least one zero byte
    if (text.size() > maxText)
        text = text.substr(0, maxText);
    const std::size_t valueSize = PaddedSize(text.size());
    std::vector<std::uint8_t> record(4 + valueSize, 0);
    const auto length = static_cast<std::uint16_t>(record.size());
    record[0] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(type) & 0xFF);
    record[1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(type) >> 8);
    record[2] = static_cast<std::uint8_t>(length & 0xFF);
    record[3] = static_cast<std::uint8_t>(length >> 8);
    std::memcpy(record.data() + 4, text.data(), text.size());
    Append(record);
    return *this;
}

ReplyWriter& ReplyWriter::Number(std::int16_t type, long value) {
    return Text(type, std::to_string(value));
}

ReplyWriter& ReplyWriter::Raw(std::int16_t type, std::int16_t lengthField,
                              std::span<const std::uint8_t> value) {
    std::vector<std::uint8_t> record(4, 0);
    const auto utype = static_cast<std::uint16_t>(type);
    const auto ulength = static_cast<std::uint16_t>(lengthField);
    record[0] = static_cast<std::uint8_t>(utype & 0xFF);
    record[1] = static_cast<std::uint8_t>(utype >> 8);
    record[2] = static_cast<std::uint8_t>(ulength & 0xFF);
    record[3] = static_cast<std::uint8_t>(ulength >> 8);
    record.insert(record.end(), value.begin(), value.end());
    if (bytes_.size() + record.size() <= kMaxDatagram)
        Append(record);
    return *this;
}

ReplyWriter& ReplyWriter::ForcePayloadLength(std::uint16_t length) {
    forcedLength_ = true;
    WriteU16(bytes_, 42, length);
    return *this;
}

ReplyWriter& ReplyWriter::SetMagic(std::uint16_t magic) {
    WriteU16(bytes_, 0, magic);
    return *this;
}

void ReplyWriter::Append(std::span<const std::uint8_t> part) {
    bytes_.insert(bytes_.end(), part.begin(), part.end());
    UpdateLength();
}

void ReplyWriter::UpdateLength() {
    if (!forcedLength_)
        WriteU16(bytes_, 42, static_cast<std::uint16_t>(bytes_.size() - kHeaderSize));
}

}  // namespace sim
