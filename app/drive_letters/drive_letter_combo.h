#pragma once

#include "app/drive_letters/drive_letter_table.h"
#include "platform/dialog/combo_box.h"

// The drive-letter list as the main window's drop-down combo box.
class ComboDriveLetterList final : public DriveLetterList {
public:
    explicit ComboDriveLetterList(CComboBox& combo) : combo_(combo) {}
    void ResetContent() override;
    int AddString(const std::string& text) override;
    void SetCurSel(int index) override;

private:
    CComboBox& combo_;
};

// Refills the combo box from the table (see the DriveLetterList overload).
void FillDriveLetterList(const DriveLetterTable& table, ostrel::platform::NetworkDrives& drives,
                         CComboBox& combo);
