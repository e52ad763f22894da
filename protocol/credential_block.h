#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/no_qt.h"

// Writes the 128-byte CredentialBlock at position: each text cut to its first
// 48 characters, Base64-encoded into its 64-byte half, the rest of the half
// zero (an empty text leaves its half all zero). Writes nothing when the block
// does not fit the buffer. The caller sets the payload length.
void WriteCredentialBlock(std::span<std::uint8_t> buffer, std::size_t position,
                          std::string_view user, std::string_view password);
