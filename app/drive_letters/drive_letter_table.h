#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/services/network_drives.h"

// What every drive letter is connected to, and the drive-letter list built
// from it (the letters that can take a recorder volume, highest free letter
// preselected).

inline constexpr std::size_t kDriveLetterCount = 26;
inline constexpr std::size_t kDriveHostSize = 256;
inline constexpr std::size_t kDriveShareSize = 256;
inline constexpr std::size_t kDriveLocalNameSize = 8;

struct DriveLetterEntry {
    // Server part of the letter's connection, without the leading backslashes.
    char host[kDriveHostSize] = {};
    // Everything after the server part's closing backslash (share and deeper path).
    char share[kDriveShareSize] = {};
    // "Z:".
    char localName[kDriveLocalNameSize] = {};
};

// Entry k holds the letter 'Z' - k: Z first, A last.
struct DriveLetterTable {
    std::array<DriveLetterEntry, kDriveLetterCount> entries{};
};

// The list the table is shown in (the drop-down combo box of the main window).
class DriveLetterList {
public:
    virtual ~DriveLetterList() = default;
    virtual void ResetContent() = 0;
    virtual int AddString(const std::string& text) = 0;
    virtual void SetCurSel(int index) = 0;
};

// Rebuilds every entry from the network connections of the letters. A letter
// without a connection (or whose connection cannot be read) gets empty host
// and share; names longer than the fields are cut.
void RefreshDriveLetterTable(DriveLetterTable& table, ostrel::platform::NetworkDrives& drives);

// Refills the list from Z down to C, leaving out local drives (fixed,
// removable, CD-ROM, RAM disk) and always A and B, and selects the highest
// letter without a connection (nothing when every listed letter is taken).
void FillDriveLetterList(const DriveLetterTable& table, ostrel::platform::NetworkDrives& drives,
                         DriveLetterList& list);

// "Z: \\host\share" for a connected letter, "Z:" for a free one.
std::string DriveLetterItemText(const DriveLetterEntry& entry);

// An item names a letter in use when it shows a connection after its local name.
bool DriveLetterItemInUse(std::string_view itemText);
