#pragma once

#include <string>
#include <string_view>

#include "app/drive_letters/drive_letter_table.h"

// The local name ("X:") of the drive letter mapped to a recorder volume, or
// empty. A letter matches when its host is the recorder's name or its
// address and its share is the volume name, each ignoring case. The table is
// walked from Z down to A and a later match wins, so of several letters
// mapped to one volume the one nearest A is shown.
std::string VolumeLocation(const DriveLetterTable& table, std::string_view deviceName,
                           std::string_view deviceAddress, std::string_view volumeName);
