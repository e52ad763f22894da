#pragma once

#include <cstdint>
#include <span>

#include "protocol/no_qt.h"

// The outcome of the reply check, one value per step that can fail, in the
// order the steps run.
enum class ReplyVerdict {
    Valid,
    TooShort,        // fewer than 44 bytes
    WrongMagic,      // not REPLY_MAGIC
    WrongOpcode,     // not the expected opcode
    WrongSession,    // another instance's SessionId
    LengthMismatch,  // 44 + payload length differs from the received length
};

// Checks a received datagram against the expected opcode and this instance's
// SessionId. The status field is not part of the check.
ReplyVerdict CheckReplyVerdict(std::span<const std::uint8_t> datagram,
                               std::uint16_t expectedOpcode);
bool CheckReply(std::span<const std::uint8_t> datagram, std::uint16_t expectedOpcode);
