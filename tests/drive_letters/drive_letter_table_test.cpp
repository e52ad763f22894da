#include "app/drive_letters/drive_letter_table.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/services/fake_network_drives.h"
#include "platform/services/win_codes.h"

using namespace ostrel::platform;

namespace {

// A drop-down list that remembers its items and selection.
class RecordingList final : public DriveLetterList {
public:
    void ResetContent() override {
        items.clear();
        selection = -1;
        ++resets;
    }
    int AddString(const std::string& text) override {
        items.push_back(text);
        return static_cast<int>(items.size()) - 1;
    }
    void SetCurSel(int index) override {
        selection = index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
    }

    std::vector<std::string> items;
    int selection = -2;
    int resets = 0;
};

struct Rebuilt {
    DriveLetterTable table;
    RecordingList list;
};

void Rebuild(Rebuilt& state, FakeNetworkDrives& drives) {
    RefreshDriveLetterTable(state.table, drives);
    FillDriveLetterList(state.table, drives, state.list);
}

}  // namespace

TEST(DriveLetterTable, LocalDisksAreLeftOutAndTheHighestFreeLetterIsChosen) {
    FakeNetworkDrives drives;
    drives.SetLocalDrive('C', DRIVE_FIXED);
    drives.SetLocalDrive('D', DRIVE_CDROM);
    drives.Connect('Z', "\\\\10.201.1.11\\Volume_1");
    Rebuilt state;
    Rebuild(state, drives);

    std::vector<std::string> expected{"Z: \\\\10.201.1.11\\Volume_1"};
    for (char letter = 'Y'; letter >= 'E'; --letter) {
        expected.push_back(std::string(1, letter) + ":");
    }
    EXPECT_EQ(state.list.items, expected);
    EXPECT_EQ(state.list.selection, 1);  // Y:
    EXPECT_EQ(state.list.resets, 1);

    const DriveLetterEntry& z = state.table.entries[0];
    EXPECT_STREQ(z.localName, "Z:");
    EXPECT_STREQ(z.host, "10.201.1.11");
    EXPECT_STREQ(z.share, "Volume_1");
    EXPECT_STREQ(state.table.entries[25].localName, "A:");
    EXPECT_STREQ(state.table.entries[25].host, "");
}

TEST(DriveLetterTable, NothingIsSelectedWhenEveryLetterIsTaken) {
    FakeNetworkDrives drives;
    for (char letter = 'Z'; letter >= 'C'; --letter) {
        if (letter % 3 == 0) {
            drives.SetLocalDrive(letter, letter % 2 == 0 ? DRIVE_FIXED : DRIVE_REMOVABLE);
        } else {
            drives.Connect(letter, std::string("\\\\nas\\share_") + letter);
        }
    }
    Rebuilt state;
    Rebuild(state, drives);
    ASSERT_FALSE(state.list.items.empty());
    for (const auto& item : state.list.items) {
        EXPECT_TRUE(DriveLetterItemInUse(item)) << item;
    }
    EXPECT_EQ(state.list.selection, -1);
}

TEST(DriveLetterTable, AAndBNeverAppearWhateverTheirType) {
    for (const std::uint32_t type : {DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_REMOTE}) {
        FakeNetworkDrives drives;
        drives.SetLocalDrive('A', type);
        drives.Connect('B', "\\\\nas\\floppy");
        Rebuilt state;
        Rebuild(state, drives);
        ASSERT_EQ(state.list.items.size(), 24u);
        EXPECT_EQ(state.list.items.back(), "C:");
        EXPECT_STREQ(state.table.entries[24].host, "nas");  // B: is still in the table
    }
    // Every other type that is not a local disk is offered.
    FakeNetworkDrives drives;
    drives.SetLocalDrive('Z', DRIVE_RAMDISK);
    drives.SetLocalDrive('Y', DRIVE_UNKNOWN);
    Rebuilt state;
    Rebuild(state, drives);
    EXPECT_EQ(state.list.items.front(), "Y:");
    EXPECT_EQ(state.list.selection, 0);
}

TEST(DriveLetterTable, ItemTextsShowHostAndShareOrTheLetterAlone) {
    FakeNetworkDrives drives;
    drives.Connect('X', "\\\\10.201.2.31\\Archive\\2024\\May");  // a folder below the share
    drives.Connect('W', "\\\\hostonly");                         // not a share name
    Rebuilt state;
    Rebuild(state, drives);
    EXPECT_EQ(state.list.items[2], "X: \\\\10.201.2.31\\Archive\\2024\\May");
    EXPECT_STREQ(state.table.entries[2].share, "Archive\\2024\\May");
    EXPECT_EQ(state.list.items[3], "W:");
    EXPECT_EQ(state.list.selection, 0);

    // Items are in use from their fifth character on, never by the letter alone.
    EXPECT_FALSE(DriveLetterItemInUse("Z:"));
    EXPECT_FALSE(DriveLetterItemInUse("Z: \\"));
    EXPECT_TRUE(DriveLetterItemInUse("Z: \\\\"));

    // A later rebuild forgets connections that were removed.
    drives.connections.erase('X');
    Rebuild(state, drives);
    EXPECT_EQ(state.list.items[2], "X:");
    EXPECT_STREQ(state.table.entries[2].host, "");

    // A letter whose share connection became a name without a backslash
    // shows the letter alone: the share it had is no longer connected there.
    drives.Connect('W', "\\\\10.201.2.31\\Archive");
    Rebuild(state, drives);
    ASSERT_EQ(state.list.items[3], "W: \\\\10.201.2.31\\Archive");
    drives.Connect('W', "\\\\hostonly");
    Rebuild(state, drives);
    EXPECT_EQ(state.list.items[3], "W:");
    EXPECT_STREQ(state.table.entries[3].host, "");
    EXPECT_STREQ(state.table.entries[3].share, "");
    EXPECT_FALSE(DriveLetterItemInUse(state.list.items[3]));
}

TEST(DriveLetterTable, LongRemoteNamesAreCutToTheFields) {
    FakeNetworkDrives drives;
    const std::string host(400, 'h');
    const std::string share(600, 's');
    drives.Connect('V', "\\\\" + host + "\\" + share);
    Rebuilt state;
    Rebuild(state, drives);
    const DriveLetterEntry& v = state.table.entries['Z' - 'V'];
    EXPECT_EQ(std::string(v.host), std::string(kDriveHostSize - 1, 'h'));
    EXPECT_EQ(std::string(v.share), std::string(kDriveShareSize - 1, 's'));
    EXPECT_EQ(state.list.items['Z' - 'V'],
              "V: \\\\" + std::string(255, 'h') + "\\" + std::string(255, 's'));
}
