#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "protocol/no_qt.h"

// A zero-terminated text in a buffer of N bytes, the shape of every text field
// of the protocol. It always ends with a zero byte: whatever is assigned is
// cut to N - 1 bytes, and nothing is ever written beyond the buffer. The text
// is what precedes the first zero byte.
template <std::size_t N>
class FixedText {
    static_assert(N >= 1, "a fixed text needs room for its terminator");

public:
    static constexpr std::size_t kCapacity = N;

    FixedText() = default;
    FixedText(std::string_view text) { Assign(text); }  // NOLINT: implicit by design
    FixedText& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }

    // Copies at most N - 1 bytes of text and zero-fills the rest of the buffer.
    void Assign(std::string_view text) {
        const std::size_t length = std::min(text.size(), N - 1);
        // An empty view may point nowhere, and memcpy must never see a null source.
        if (length > 0) {
            std::memcpy(bytes_.data(), text.data(), length);
        }
        std::fill(bytes_.begin() + static_cast<std::ptrdiff_t>(length), bytes_.end(), '\0');
    }
    // Copies a received value as it stands (at most N - 1 bytes, zeros
    // included), then zero-fills the rest.
    void AssignBytes(std::span<const std::uint8_t> value) {
        Assign(std::string_view(reinterpret_cast<const char*>(value.data()), value.size()));
    }
    void Clear() { bytes_.fill('\0'); }

    const char* c_str() const { return bytes_.data(); }
    std::string_view view() const { return std::string_view(bytes_.data(), size()); }
    std::string str() const { return std::string(view()); }
    std::size_t size() const { return std::strlen(bytes_.data()); }
    bool empty() const { return bytes_[0] == '\0'; }
    // The whole buffer, terminator and trailing zeros included.
    const std::array<char, N>& buffer() const { return bytes_; }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

private:
    std::array<char, N> bytes_{};
};
