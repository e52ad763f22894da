#pragma once

// CWnd: what every window of the dialog layer has in common, whatever Qt
// widget it is built on. A dialog or control class derives from its Qt
// widget first and from CWnd second:
//
//   class CButton : public QAbstractButton, public CWnd { ... };
//
// Windows-style messages reach a window through WindowProc: SendMessage
// calls it at once (from another thread it waits for the window's thread to
// run it), PostMessage queues it as a Qt event and the window's event()
// hands it to WindowProc later. Classes override WindowProc to handle their
// messages and pass the rest to the base class.

#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <map>

#include "dialog_template.h"
#include "win_types.h"

class QWidget;
class CDialog;

class CWnd {
public:
    explicit CWnd(QWidget* self);
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The Qt widget this window is.
    QWidget* widget() const { return self_; }
    // The CWnd of a widget, or nullptr when it is not one of ours.
    static CWnd* FromWidget(QWidget* widget);

    // Message handling. The default handles WM_TIMER (OnTimer), WM_SETTEXT,
    // WM_GETTEXT is not supported; everything else answers 0.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Identity and style. The style word is the Win32 one from the template
    // (or Create); ModifyStyle changes the bits only, it does not re-create.
    int GetDlgCtrlID() const { return id_; }
    void SetDlgCtrlID(int id) { id_ = id; }
    DWORD GetStyle() const { return style_; }
    DWORD GetExStyle() const { return exStyle_; }
    BOOL ModifyStyle(DWORD remove, DWORD add);
    void SetStyleWord(DWORD style, DWORD exStyle = 0);
    // Called after every change of the style word.
    virtual void OnStyleChanged();

    // The dialog this window belongs to (itself for a dialog), and the parent
    // CWnd (nullptr for a top-level window or a non-CWnd parent).
    CDialog* GetOwnerDialog() const;
    CWnd* GetParent() const;

    // Timers: WM_TIMER with wParam = id reaches WindowProc every `elapse` ms
    // until KillTimer. Setting an id again restarts it.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
    BOOL KillTimer(UINT_PTR id);
    virtual void OnTimer(UINT_PTR id);

    // Window state.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetFocus();
    virtual void SetWindowText(const QString& text);
    virtual QString GetWindowText() const;
    void SetFont(const QFont& font, BOOL redraw = TRUE);
    QFont GetFont() const;
    void SetIcon(const QIcon& icon, BOOL bigIcon);
    QIcon GetIcon(BOOL bigIcon) const;

    // Geometry in pixels. The client rectangle starts at (0, 0); the window
    // rectangle is in screen coordinates.
    QRect GetClientRect() const;
    QRect GetWindowRect() const;
    void MoveWindow(const QRect& rect, BOOL repaint = TRUE);
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    QPoint ClientToScreen(const QPoint& point) const;
    QPoint ScreenToClient(const QPoint& point) const;
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();

    // The window region (Qt's mask). An empty region removes it.
    void SetWindowRgn(const QRegion& region, BOOL redraw = TRUE);
    QRegion GetWindowRgn() const;

    // Control set-up by the dialog layer. ApplyTemplate takes the kind's own
    // options from the template entry (texts, items, limits); AcceptsClass
    // says whether this object can stand for a control of that class;
    // PreSubclassWindow runs when a bound object has been attached to its
    // control (id, style and geometry are set).
    virtual bool AcceptsClass(ostrel::dialog::ControlClass controlClass) const;
    virtual void ApplyTemplate(const ostrel::dialog::ControlTemplate& control);
    virtual void PreSubclassWindow();

    // Makes this object a child control of `parent` at run time (pixels),
    // with a Win32 style word and id, and adds it to the dialog's controls.
    BOOL CreateChild(DWORD style, const QRect& rect, CWnd* parent, int id);

    // Sent by the dialog layer: notifications to the owner dialog.
    LRESULT NotifyParentCommand(UINT code);
    LRESULT NotifyParent(NMHDR& header);

protected:
    // Call first from the widget's event(): runs posted messages and answers
    // true for them.
    bool dispatchPostedMessage(QEvent* event);

private:
    QWidget* self_;
    int id_ = 0;
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    QIcon bigIcon_;
    QIcon smallIcon_;
};

namespace ostrel::dialog {

// The Qt event that carries a posted message.
class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam);
    static QEvent::Type eventType();
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

}  // namespace ostrel::dialog

// True while `window` exists (it may be called with a pointer to a window
// that is gone).
BOOL IsWindow(const CWnd* window);

// Free forms, for code that holds a window pointer. A null target, or one
// that no longer exists, answers 0 / FALSE; these are the forms to use
// from worker threads.
LRESULT SendMessage(CWnd* target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
BOOL PostMessage(CWnd* target, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
