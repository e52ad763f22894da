#pragma once

#include <cstdint>
#include <span>

#include "protocol/no_qt.h"

// Fills IdentityName, IdentityShort and IdentityLong from the records of a
// valid OP_GET_IDENTITY reply; each value is cut to its buffer (31, 31 and
// 511 bytes) and zero-filled after it. Texts without a record keep their value.
void FillIdentityFromReply(std::span<const std::uint8_t> reply);
