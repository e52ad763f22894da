#pragma once

#include <string>
#include <string_view>

#include "app/drive_letters/drive_letter_table.h"

// How a letter's host is compared with the recorder's name and address. The
// device pick and the refresh after an unmap ignore case; the refresh after a
// mapping compares exactly.
enum class HostMatch { IgnoringCase, Exact };

// The local name ("X:") of the drive letter mapped to a recorder volume, or
// empty. A letter matches when its host is the recorder's name or its
// address (compared as `hostMatch` says) and its share is the volume name,
// ignoring case. The table is walked from Z down to A and a later match
// wins, so of several letters mapped to one volume the one nearest A is shown.
std::string VolumeLocation(const DriveLetterTable& table, std::string_view deviceName,
                           std::string_view deviceAddress, std::string_view volumeName,
                           HostMatch hostMatch = HostMatch::IgnoringCase);
