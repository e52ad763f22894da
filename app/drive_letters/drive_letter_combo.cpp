#include "app/drive_letters/drive_letter_combo.h"

#include <QString>

void ComboDriveLetterList::ResetContent() {
    combo_.ResetContent();
}

int ComboDriveLetterList::AddString(const std::string& text) {
    return combo_.AddString(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void ComboDriveLetterList::SetCurSel(int index) {
    combo_.SetCurSel(index);
}

void FillDriveLetterList(const DriveLetterTable& table, ostrel::platform::NetworkDrives& drives,
                         CComboBox& combo) {
    ComboDriveLetterList list(combo);
    FillDriveLetterList(table, drives, list);
}
