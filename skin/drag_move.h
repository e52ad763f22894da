#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace skin {

// Moves a frameless window by its surface. The press is handed to the window
// system's own move where it has one (X11: the window manager moves the
// window); elsewhere, and where the window manager declines, the window
// follows the mouse until the left button is released.
//
// It is meant for presses that reach the window itself: on its own surface,
// or on a static text, which lets presses fall through to the window (the
// dialog layer turns those into caption presses). Controls that take the
// press (buttons, lists, combo boxes, address fields, scroll bars) never
// get here. With the dialog layer it serves as the caption-press move:
//   CDialog::SetWindowMoveHook([](CDialog& d, QPoint at) { skin::StartWindowMove(&d, at); });
void StartWindowMove(QWidget* window, const QPoint& globalPressPos);

// The follow-the-mouse move used when the window system has none. It watches
// the application's mouse events until the left button is released.
class ManualWindowMove : public QObject {
public:
    ManualWindowMove(QWidget* window, const QPoint& globalPressPos);
    ~ManualWindowMove() override;

    // The move in progress, if any (one at a time).
    static ManualWindowMove* active();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish();

    QPointer<QWidget> window;
    QPoint pressGlobal;
    QPoint startPos;
};

}  // namespace skin
