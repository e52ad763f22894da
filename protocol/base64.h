#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "protocol/no_qt.h"

// Length of the Base64 form of n bytes, without the terminator.
constexpr std::size_t Base64Length(std::size_t n) {
    return (n + 2) / 3 * 4;
}

// Writes the standard Base64 of the text (RFC 4648 alphabet, "=" padding, no
// line breaks, bytes taken as unsigned) followed by a zero byte. Writes
// nothing and returns 0 when the output cannot hold it all; otherwise returns
// the number of characters written before the zero.
std::size_t Base64Encode(std::string_view text, std::span<char> output);
