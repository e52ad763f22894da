#pragma once

// CIPAddressCtrl: four octet fields separated by dots, as the platform's IP
// address control. Only digits can be typed; after three digits, or on a
// dot, the caret moves to the next field; a field whose value is above 255
// is brought back to 255 when it is completed or left. Fields can be blank;
// GetAddress reads blank fields as 0 and answers how many were not blank.

#include <QWidget>
#include <array>

#include "window.h"

class QLineEdit;

class CIPAddressCtrl : public QWidget, public CWnd {
    Q_OBJECT

public:
    explicit CIPAddressCtrl(QWidget* parent = nullptr);
    ~CIPAddressCtrl() override;

    void ClearAddress();
    void SetAddress(DWORD address);  // first octet in the high byte
    void SetAddress(BYTE field0, BYTE field1, BYTE field2, BYTE field3);
    // Octets in reading order; answers the count of non-blank fields.
    int GetAddress(BYTE& field0, BYTE& field1, BYTE& field2, BYTE& field3) const;
    int GetAddress(DWORD& address) const;
    BOOL IsBlank() const;
    // Focus on field k (0-3); k > 3: the first blank field, or field 0.
    void SetFieldFocus(WORD field);

    // The text of field k ("" when blank), for tests and accessibility.
    QString FieldText(int field) const;
    QLineEdit* Field(int field) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsClass(ostrel::dialog::ControlClass controlClass) const override;
    QString GetWindowText() const override;  // "a.b.c.d", "0" for blank fields

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void layoutFields();
    void onTextEdited(int field);
    void completeField(int field);
    void focusField(int field, bool selectAll);
    std::array<QLineEdit*, 4> fields_{};
};
