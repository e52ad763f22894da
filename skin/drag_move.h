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
// Call it from the window's left-button-down handling, that is for presses
// that reach the window itself: on its own surface, or on a static text,
// which lets presses fall through to the window. Controls that take the
// press (buttons, lists, combo boxes, address fields, scroll bars) never
// get here.
void StartWindowMove(QWidget* window, const QPoint& globalPressPos);

// True when a press on `target` should move `window`: the window itself, or a
// static text (a plain label that does not ask for mouse notifications).
bool PressMovesWindow(const QWidget* window, const QWidget* target);

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
