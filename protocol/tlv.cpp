#include "protocol/tlv.h"

#include <algorithm>
#include <limits>

#include "protocol/packet_format.h"

std::size_t TlvRecordSize(std::string_view text) {
    const std::size_t n = text.size();
    const std::size_t padded = n == 0 ? 0 : n - (n % 4) + 4;
    return TlvRecord::kHeaderSize + padded;
}

std::size_t AppendTlv(std::span<std::uint8_t> buffer, std::size_t position, std::int16_t type,
                      std::string_view text) {
    const std::size_t size = TlvRecordSize(text);
    // The length field is signed 16-bit: a longer text cannot be written.
    if (size > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()) ||
        position > buffer.size() || buffer.size() - position < size) {
        return 0;
    }
    auto record = buffer.subspan(position, size);
    WriteU16(record, TlvRecord::kType, static_cast<std::uint16_t>(type));
    WriteU16(record, TlvRecord::kLength, static_cast<std::uint16_t>(size));
    auto value = record.subspan(TlvRecord::kHeaderSize);
    std::fill(value.begin(), value.end(), 0);
    std::copy(text.begin(), text.end(), value.begin());
    return size;
}

std::size_t AppendTlvToRequest(std::span<std::uint8_t> buffer, std::size_t& position,
                               std::int16_t type, std::string_view text) {
    const std::size_t size = AppendTlv(buffer, position, type, text);
    position += size;
    AddPayloadLength(buffer, size);
    return size;
}

TlvWalker::TlvWalker(std::span<const std::uint8_t> datagram)
    : datagram_(datagram), offset_(kPacketHeaderSize) {}

bool TlvWalker::Next(TlvView& record) {
    if (offset_ >= datagram_.size() || datagram_.size() - offset_ < TlvRecord::kHeaderSize) {
        offset_ = datagram_.size();
        return false;
    }
    const auto type = static_cast<std::int16_t>(ReadU16(datagram_, offset_ + TlvRecord::kType));
    const auto length = static_cast<std::int16_t>(ReadU16(datagram_, offset_ + TlvRecord::kLength));
    if (length < static_cast<std::int16_t>(TlvRecord::kHeaderSize) ||
        static_cast<std::size_t>(length) > datagram_.size() - offset_) {
        offset_ = datagram_.size();
        return false;
    }
    record.type = type;
    record.value = datagram_.subspan(offset_ + TlvRecord::kHeaderSize,
                                     static_cast<std::size_t>(length) - TlvRecord::kHeaderSize);
    offset_ += static_cast<std::size_t>(length);
    return true;
}

std::string_view TlvText(std::span<const std::uint8_t> value) {
    const auto end = std::find(value.begin(), value.end(), std::uint8_t{0});
    return std::string_view(reinterpret_cast<const char*>(value.data()),
                            static_cast<std::size_t>(end - value.begin()));
}

std::int32_t TlvNumber(std::span<const std::uint8_t> value) {
    const std::string_view text = TlvText(value);
    std::size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t number = 0;
    constexpr std::int64_t kLimit =
        static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = std::min<std::int64_t>(number * 10 + (text[i] - '0'), kLimit);
    }
    if (negative) {
        number = -number;
    }
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(number, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}
