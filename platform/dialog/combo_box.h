#pragma once

// CComboBox: a drop-down list (CBS_DROPDOWNLIST). No item is selected until
// one is chosen (GetCurSel answers CB_ERR). A choice made by the user sends
// CBN_SELCHANGE to the dialog; SetCurSel does not.

#include <QComboBox>

#include "window.h"

class CComboBox : public QComboBox, public CWnd {
    Q_OBJECT

public:
    explicit CComboBox(QWidget* parent = nullptr);
    ~CComboBox() override;

    int AddString(const QString& text);  // index of the new item
    int InsertString(int index, const QString& text);
    int DeleteString(int index);  // remaining count, or CB_ERR
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;     // CB_ERR when none
    int SetCurSel(int index);  // CB_ERR for -1 or out of range (selection cleared)
    int GetLBText(int index, QString& text) const;  // length, or CB_ERR
    QString GetLBText(int index) const;
    int FindStringExact(int startAfter, const QString& text) const;
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsClass(ostrel::dialog::ControlClass controlClass) const override;
    void ApplyTemplate(const ostrel::dialog::ControlTemplate& control) override;
    QString GetWindowText() const override;

protected:
    bool event(QEvent* event) override;

private:
    void onUserChoice(int index);
    int programmatic_ = 0;
};
