#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "protocol/fixed_text.h"
#include "protocol/no_qt.h"

// The volume (share) names of the recorder last read, in the order received,
// each unique (exact comparison), each cut to 255 bytes. Raw bytes as the
// recorder sent them (UTF-8).
using VolumeNameText = FixedText<256>;
extern std::vector<VolumeNameText> VolumeList;

void ClearVolumeList();

// Splits a text at ":" (runs of ":" count as one separator, so no empty
// name) and appends each name not yet in the list, in order.
void AppendVolumeNames(std::string_view joined);

// Fills the list from a valid OP_GET_VOLUMES reply: the value of its first
// record, whatever its type, when that record is longer than 4 bytes.
void FillVolumeListFromReply(std::span<const std::uint8_t> reply);
