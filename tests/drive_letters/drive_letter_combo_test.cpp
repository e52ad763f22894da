#include "app/drive_letters/drive_letter_combo.h"

#include <gtest/gtest.h>

#include "platform/services/fake_network_drives.h"
#include "platform/services/win_codes.h"

TEST(DriveLetterCombo, ShowsTheListAndPreselectsTheHighestFreeLetter) {
    ostrel::platform::FakeNetworkDrives drives;
    drives.SetLocalDrive('C', ostrel::platform::DRIVE_FIXED);
    drives.Connect('Z', "\\\\10.201.1.11\\Volume_1");
    drives.Connect('Y', "\\\\10.201.2.31\\Archiv\xC3\xA9");  // UTF-8 name
    DriveLetterTable table;
    RefreshDriveLetterTable(table, drives);
    CComboBox combo;
    combo.AddString("stale");
    FillDriveLetterList(table, drives, combo);
    ASSERT_EQ(combo.GetCount(), 23);  // Z .. D
    EXPECT_EQ(combo.GetLBText(0), "Z: \\\\10.201.1.11\\Volume_1");
    EXPECT_EQ(combo.GetLBText(1), QString::fromUtf8("Y: \\\\10.201.2.31\\Archiv\xC3\xA9"));
    EXPECT_EQ(combo.GetLBText(22), "D:");
    EXPECT_EQ(combo.GetCurSel(), 2);  // X:

    for (char letter = 'X'; letter >= 'D'; --letter) {
        drives.Connect(letter, "\\\\nas\\s");
    }
    RefreshDriveLetterTable(table, drives);
    FillDriveLetterList(table, drives, combo);
    EXPECT_EQ(combo.GetCount(), 23);
    EXPECT_LT(combo.GetCurSel(), 0);
}
