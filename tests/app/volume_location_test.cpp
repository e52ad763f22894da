#include "app/volume_location.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

DriveLetterTable EmptyTable() {
    DriveLetterTable table;
    for (std::size_t k = 0; k < kDriveLetterCount; ++k) {
        table.entries[k].localName[0] = static_cast<char>('Z' - k);
        table.entries[k].localName[1] = ':';
    }
    return table;
}

void Connect(DriveLetterTable& table, char letter, const char* host, const char* share) {
    DriveLetterEntry& entry = table.entries[static_cast<std::size_t>('Z' - letter)];
    std::strncpy(entry.host, host, sizeof entry.host - 1);
    std::strncpy(entry.share, share, sizeof entry.share - 1);
}

}  // namespace

TEST(VolumeLocation, TheLetterNearestAWinsAndEitherHostFormMatches) {
    DriveLetterTable table = EmptyTable();
    EXPECT_EQ(VolumeLocation(table, "Front door", "192.168.10.101", "Volume_1"), "");

    Connect(table, 'Y', "front door", "VOLUME_1");
    EXPECT_EQ(VolumeLocation(table, "Front door", "192.168.10.101", "Volume_1"), "Y:");

    Connect(table, 'M', "192.168.10.101", "volume_1");
    EXPECT_EQ(VolumeLocation(table, "Front door", "192.168.10.101", "Volume_1"), "M:");

    // Another recorder, another volume, a deeper path: no match.
    Connect(table, 'E', "192.168.10.102", "Volume_1");
    Connect(table, 'D', "Front door", "Volume_2");
    Connect(table, 'C', "Front door", "Volume_1\\sub");
    EXPECT_EQ(VolumeLocation(table, "Front door", "192.168.10.101", "Volume_1"), "M:");
    EXPECT_EQ(VolumeLocation(table, "Front door", "192.168.10.101", "Volume_2"), "D:");
}

TEST(VolumeLocation, NonAsciiSharesCompareIgnoringCase) {
    DriveLetterTable table = EmptyTable();
    Connect(table, 'X', "nvr",
            "\xC3\x9C"
            "bersicht");  // Übersicht
    EXPECT_EQ(VolumeLocation(table, "NVR", "10.0.0.9",
                             "\xC3\xBC"
                             "bersicht"),
              "X:");
}

TEST(VolumeLocation, AnExactHostComparisonTellsNamesApartByCase) {
    DriveLetterTable table = EmptyTable();
    Connect(table, 'W', "front door", "Volume_1");
    EXPECT_EQ(VolumeLocation(table, "Front door", "192.168.10.101", "Volume_1", HostMatch::Exact),
              "");
    EXPECT_EQ(VolumeLocation(table, "Front door", "192.168.10.101", "Volume_1"), "W:");
    // The share still ignores case when the host must match exactly.
    Connect(table, 'V', "192.168.10.101", "VOLUME_1");
    EXPECT_EQ(VolumeLocation(table, "Front door", "192.168.10.101", "Volume_1", HostMatch::Exact),
              "V:");
}
