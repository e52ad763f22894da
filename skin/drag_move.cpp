#include "drag_move.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace skin {
namespace {

ManualWindowMove* gActiveMove = nullptr;

}  // namespace

void StartWindowMove(QWidget* window, const QPoint& globalPressPos) {
  if (window == nullptr) return;
  QWidget* top = window->window();
  QWindow* handle = top->windowHandle();
  if (handle != nullptr && handle->startSystemMove()) return;
  delete gActiveMove;  // a stale move whose release never arrived
  new ManualWindowMove(top, globalPressPos);
}

bool PressMovesWindow(const QWidget* window, const QWidget* target) {
  if (target == nullptr || window == nullptr) return false;
  if (target == window) return true;
  // A label takes no mouse press unless it lets the user select or click its
  // text; such presses fall through to the window, like a static text without
  // notifications does.
  const auto* label = qobject_cast<const QLabel*>(target);
  return label != nullptr && label->textInteractionFlags() == Qt::NoTextInteraction &&
         !target->testAttribute(Qt::WA_TransparentForMouseEvents) && target->window() == window;
}

ManualWindowMove::ManualWindowMove(QWidget* w, const QPoint& globalPressPos)
    : window(w), pressGlobal(globalPressPos), startPos(w->pos()) {
  gActiveMove = this;
  qApp->installEventFilter(this);
}

ManualWindowMove::~ManualWindowMove() {
  qApp->removeEventFilter(this);
  if (gActiveMove == this) gActiveMove = nullptr;
}

ManualWindowMove* ManualWindowMove::active() { return gActiveMove; }

bool ManualWindowMove::eventFilter(QObject* watched, QEvent* event) {
  (void)watched;
  switch (event->type()) {
    case QEvent::MouseMove: {
      const auto* me = static_cast<QMouseEvent*>(event);
      if (window == nullptr || !(me->buttons() & Qt::LeftButton)) {
        finish();
        return false;
      }
      window->move(startPos + (me->globalPosition().toPoint() - pressGlobal));
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) finish();
      return false;
    default:
      return false;
  }
}

void ManualWindowMove::finish() { deleteLater(); qApp->removeEventFilter(this); if (gActiveMove == this) gActiveMove = nullptr; }

}  // namespace skin
