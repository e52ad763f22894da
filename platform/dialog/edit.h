#pragma once

// CEdit: a single-line edit field. ES_PASSWORD hides the text, WS_BORDER
// draws the sunken frame, SetLimitText caps what can be typed (and set).

#include <QLineEdit>

#include "window.h"

class CEdit : public QLineEdit, public CWnd {
    Q_OBJECT

public:
    explicit CEdit(QWidget* parent = nullptr);
    ~CEdit() override;

    void SetLimitText(UINT maxChars);  // 0: the platform's limit
    UINT GetLimitText() const;
    void SetPasswordChar(QChar ch);  // 0 shows the text
    void SetSel(int start, int end);
    void ReplaceSel(const QString& text);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsClass(ostrel::dialog::ControlClass controlClass) const override;
    void ApplyTemplate(const ostrel::dialog::ControlTemplate& control) override;
    void SetWindowText(const QString& text) override;
    QString GetWindowText() const override;

protected:
    bool event(QEvent* event) override;
};
