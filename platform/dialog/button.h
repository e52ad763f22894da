#pragma once

// CButton: push button, default push button, check box and radio button,
// told apart by the BS_* type in the style word as on Windows. The pressed
// look is BST_PUSHED (Qt's "down"); the check is the button's own state.
// Automatic check boxes toggle and automatic radio buttons check themselves
// and clear the other radio buttons of their group on a click. A click
// sends BN_CLICKED to the dialog. With BS_OWNERDRAW the face is painted by
// the virtual DrawItem.

#include <QAbstractButton>

#include "window.h"

class CButton : public QAbstractButton, public CWnd {
    Q_OBJECT

public:
    explicit CButton(QWidget* parent = nullptr);
    ~CButton() override;

    BOOL Create(const QString& caption, DWORD style, const QRect& rect, CWnd* parent, int id);

    int GetCheck() const;
    void SetCheck(int check);
    UINT GetState() const;  // BST_CHECKED | BST_PUSHED | BST_FOCUS
    void SetState(BOOL pushed);
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);

    // Accessibility: the name and tooltip that readers and hovering show
    // (buttons of the skin have no caption of their own).
    void SetAccessibleName(const QString& name);
    void SetToolTip(const QString& tip);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsClass(ostrel::dialog::ControlClass controlClass) const override;
    void ApplyTemplate(const ostrel::dialog::ControlTemplate& control) override;
    void SetWindowText(const QString& text) override;
    QString GetWindowText() const override;

    // Paints an owner-drawn button (BS_OWNERDRAW).
    virtual void DrawItem(DRAWITEMSTRUCT* drawItem);

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override;
    void checkStateSet() override;

private:
    void onClicked();
    int check_ = BST_UNCHECKED;
};
