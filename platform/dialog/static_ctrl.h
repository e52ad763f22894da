#pragma once

// CStatic: a static text (SS_LEFT word-wrapped, SS_CENTER, SS_RIGHT) or an
// icon (SS_ICON). Before painting it asks its dialog for colours with
// WM_CTLCOLOR (CTLCOLOR_STATIC); without an answer it paints its rectangle
// in COLOR_BTNFACE and the text in COLOR_BTNTEXT, as the platform does.
// Without SS_NOTIFY it is transparent to the mouse, so a press on it reaches
// the dialog (as HTTRANSPARENT does).

#include <QIcon>
#include <QWidget>

#include "window.h"

class CStatic : public QWidget, public CWnd {
    Q_OBJECT

public:
    explicit CStatic(QWidget* parent = nullptr);
    ~CStatic() override;

    BOOL Create(const QString& text, DWORD style, const QRect& rect, CWnd* parent,
                int id = IDC_STATIC);
    void SetIcon(const QIcon& icon);
    QIcon GetIcon() const { return icon_; }

    bool AcceptsClass(ostrel::dialog::ControlClass controlClass) const override;
    void ApplyTemplate(const ostrel::dialog::ControlTemplate& control) override;
    void SetWindowText(const QString& text) override;
    QString GetWindowText() const override { return text_; }
    void OnStyleChanged() override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void updateMouseTransparency();
    QFont fittedFont() const;
    QString text_;
    QIcon icon_;
};
