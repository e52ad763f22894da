#include "drag_move.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace skin {
namespace {

ManualWindowMove* gActiveMove = nullptr;

}  // namespace

void StartWindowMove(QWidget* window, const QPoint& globalPressPos) {
    if (window == nullptr)
        return;
    QWidget* top = window->window();
    QWindow* handle = top->windowHandle();
    if (handle != nullptr && handle->startSystemMove())
        return;
    delete gActiveMove;  // a stale move whose release never arrived
    new ManualWindowMove(top, globalPressPos);
}

ManualWindowMove::ManualWindowMove(QWidget* w, const QPoint& globalPressPos)
    : window(w), pressGlobal(globalPressPos), startPos(w->pos()) {
    gActiveMove = this;
    qApp->installEventFilter(this);
}

ManualWindowMove::~ManualWindowMove() {
    qApp->removeEventFilter(this);
    if (gActiveMove == this)
        gActiveMove = nullptr;
}

ManualWindowMove* ManualWindowMove::active() {
    return gActiveMove;
}

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
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                finish();
            return false;
        default:
            return false;
    }
}

void ManualWindowMove::finish() {
    qApp->removeEventFilter(this);
    if (gActiveMove == this)
        gActiveMove = nullptr;
    deleteLater();
}

}  // namespace skin
