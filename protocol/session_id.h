#pragma once

#include <cstdint>

#include "protocol/no_qt.h"
#include "protocol/packet_format.h"

// The 8 bytes that tie replies to this running instance; drawn once by
// InitNetwork and echoed by every reply.
extern SessionIdBytes SessionId;

// Draws SessionId anew. The generator is seeded from the clock in seconds
// mixed with per-process entropy (getrandom, the process id and the steady
// clock), so two instances started in the same second still differ.
void DrawSessionId();

// The draw itself, for a given seed: each byte is the low 8 bits of one
// successive draw of the generator.
SessionIdBytes SessionIdFromSeed(std::uint64_t seed);
