#include "app/drive_letters/drive_letter_table.h"

#include <algorithm>
#include <cstring>

#include "platform/services/win_codes.h"

namespace {

namespace services = ostrel::platform;

template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text) {
    const std::size_t length = std::min(text.size(), N - 1);
    if (length > 0) {
        std::memcpy(field, text.data(), length);
    }
    std::memset(field + length, 0, N - length);
}

bool IsLocalDrive(std::uint32_t driveType) {
    return driveType == services::DRIVE_FIXED || driveType == services::DRIVE_REMOVABLE ||
           driveType == services::DRIVE_CDROM || driveType == services::DRIVE_RAMDISK;
}

}  // namespace

void RefreshDriveLetterTable(DriveLetterTable& table, services::NetworkDrives& drives) {
    for (std::size_t k = 0; k < kDriveLetterCount; ++k) {
        DriveLetterEntry& entry = table.entries[k];
        const char localName[3] = {static_cast<char>('Z' - k), ':', '\0'};
        CopyField(entry.localName, localName);
        std::string remote;
        if (drives.WNetGetConnectionA(localName, remote) != services::NO_ERROR) {
            CopyField(entry.host, {});
            CopyField(entry.share, {});
            continue;
        }
        // Positions 0 and 1 hold the two leading backslashes; the server part
        // ends at the next backslash.
        const auto split = remote.size() > 2 ? remote.find('\\', 2) : std::string::npos;
        if (split == std::string::npos) {
            // Not a \\host\share name: nothing of it can be shown, and an
            // older rebuild's values would name a connection that is gone.
            CopyField(entry.host, {});
            CopyField(entry.share, {});
            continue;
        }
        CopyField(entry.host, std::string_view(remote).substr(2, split - 2));
        CopyField(entry.share, std::string_view(remote).substr(split + 1));
    }
}

std::string DriveLetterItemText(const DriveLetterEntry& entry) {
    if (entry.host[0] != '\0' && entry.share[0] != '\0') {
        return std::string(entry.localName) + " \\\\" + entry.host + "\\" + entry.share;
    }
    return entry.localName;
}

bool DriveLetterItemInUse(std::string_view itemText) {
    return itemText.size() > 4;
}

void FillDriveLetterList(const DriveLetterTable& table, services::NetworkDrives& drives,
                         DriveLetterList& list) {
    list.ResetContent();
    int count = 0;
    int firstFree = 0;
    for (const DriveLetterEntry& entry : table.entries) {
        const char letter = entry.localName[0];
        if (letter == 'A' || letter == 'B' || IsLocalDrive(drives.GetDriveTypeA(entry.localName))) {
            continue;
        }
        ++count;
        const std::string text = DriveLetterItemText(entry);
        list.AddString(text);
        if (!DriveLetterItemInUse(text) && firstFree == 0) {
            firstFree = count;
        }
    }
    list.SetCurSel(firstFree - 1);
}
