#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/no_qt.h"

// Size of a record holding the text: 4 header bytes, then the text padded
// with zeros to the next multiple of 4 strictly above its length (no value
// bytes for an empty text).
std::size_t TlvRecordSize(std::string_view text);

// Writes one record at position and returns its size; the caller adds it to
// its position and to the header's payload length. Writes nothing and returns
// 0 when the record does not fit the buffer.
std::size_t AppendTlv(std::span<std::uint8_t> buffer, std::size_t position, std::int16_t type,
                      std::string_view text);

// AppendTlv for a request under construction: advances position by the
// record's size and adds it to the header's payload length.
std::size_t AppendTlvToRequest(std::span<std::uint8_t> buffer, std::size_t& position,
                               std::int16_t type, std::string_view text);

// One record of a received datagram.
struct TlvView {
    std::int16_t type;
    std::span<const std::uint8_t> value;  // the length - 4 bytes after the record header
};

// Walks the records of a datagram from offset 44. The walk ends at the end of
// the datagram, and also, without reading past it, at a record whose length
// is below 4 or whose end lies beyond the datagram.
class TlvWalker {
public:
    explicit TlvWalker(std::span<const std::uint8_t> datagram);
    // The next record, or false when the walk has ended.
    bool Next(TlvView& record);

private:
    std::span<const std::uint8_t> datagram_;
    std::size_t offset_;
};

// Calls visit(TlvView) for each record of the datagram, in order.
template <typename Visit>
void ForEachTlv(std::span<const std::uint8_t> datagram, Visit&& visit) {
    TlvWalker walker(datagram);
    TlvView record{};
    while (walker.Next(record)) {
        visit(record);
    }
}

// A value read as text: its bytes up to the first zero byte.
std::string_view TlvText(std::span<const std::uint8_t> value);
// A value read as a decimal number the way atoi reads it (leading white
// space, optional sign, digits; no digits give 0), saturated at the limits
// of a 32-bit integer.
std::int32_t TlvNumber(std::span<const std::uint8_t> value);
