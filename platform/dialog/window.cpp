#include "window.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QWidget>
#include <mutex>
#include <unordered_set>

#include "dialog.h"
#include "timer_driver.h"

using namespace ostrel::dialog;

WindowMessageEvent::WindowMessageEvent(UINT msg, WPARAM w, LPARAM l)
    : QEvent(eventType()), message(msg), wParam(w), lParam(l) {}

QEvent::Type WindowMessageEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

namespace {

// Every window that exists, so that a message for a window that is gone
// (from a worker that outlived it) is dropped as the platform drops
// messages for a destroyed window.
std::mutex& liveMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<const CWnd*>& liveWindows() {
    static std::unordered_set<const CWnd*> windows;
    return windows;
}

bool onGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

}  // namespace

BOOL IsWindow(const CWnd* window) {
    std::lock_guard lock(liveMutex());
    return liveWindows().count(window) ? TRUE : FALSE;
}

CWnd::CWnd(QWidget* self) : self_(self) {
    std::lock_guard lock(liveMutex());
    liveWindows().insert(this);
}

CWnd::~CWnd() {
    {
        std::lock_guard lock(liveMutex());
        liveWindows().erase(this);
    }
    CurrentTimerDriver().forget(this);
}

CWnd* CWnd::FromWidget(QWidget* widget) {
    return dynamic_cast<CWnd*>(widget);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        default:
            return 0;
    }
}

namespace {

// Neither helper touches the target before it is known to exist.
LRESULT sendTo(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!onGuiThread()) {
        // A message sent from another thread runs on the window's thread while
        // the sender waits, as the platform does; a window destroyed meanwhile
        // answers 0.
        // The answer passes back under liveMutex: Qt's queue and semaphore
        // order the two threads with locks of their own, which the thread
        // checker cannot see, so without it the read looks like a race.
        LRESULT result = 0;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                if (!IsWindow(target))
                    return;
                const LRESULT answer = target->WindowProc(message, wParam, lParam);
                std::lock_guard lock(liveMutex());
                result = answer;
            },
            Qt::BlockingQueuedConnection);
        std::lock_guard lock(liveMutex());
        return result;
    }
    if (!IsWindow(target))
        return 0;
    return target->WindowProc(message, wParam, lParam);
}

BOOL postTo(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam) {
    // Held while posting: the window cannot go away in between, and its
    // queued messages go with it when it does.
    std::lock_guard lock(liveMutex());
    if (!liveWindows().count(target))
        return FALSE;
    QCoreApplication::postEvent(target->widget(), new WindowMessageEvent(message, wParam, lParam));
    return TRUE;
}

}  // namespace

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return sendTo(this, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return postTo(this, message, wParam, lParam);
}

bool CWnd::dispatchPostedMessage(QEvent* event) {
    if (event->type() != WindowMessageEvent::eventType())
        return false;
    // Read under the lock the poster held while it made the message: Qt's
    // queue hands the event over under a lock of its own, which the thread
    // checker cannot see.
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    {
        std::lock_guard lock(liveMutex());
        const auto* m = static_cast<const WindowMessageEvent*>(event);
        message = m->message;
        wParam = m->wParam;
        lParam = m->lParam;
    }
    WindowProc(message, wParam, lParam);
    return true;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
    const DWORD before = style_;
    style_ = (style_ & ~remove) | add;
    OnStyleChanged();
    return before != style_;
}

void CWnd::SetStyleWord(DWORD style, DWORD exStyle) {
    style_ = style;
    exStyle_ = exStyle;
    OnStyleChanged();
}

void CWnd::OnStyleChanged() {}

CDialog* CWnd::GetOwnerDialog() const {
    for (QWidget* w = self_; w; w = w->parentWidget()) {
        if (auto* d = dynamic_cast<CDialog*>(w))
            return d;
        if (w->isWindow() && w != self_)
            break;
    }
    return nullptr;
}

CWnd* CWnd::GetParent() const {
    QWidget* parent = self_->parentWidget();
    return parent ? FromWidget(parent) : nullptr;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) {
    CurrentTimerDriver().start(this, id, elapse);
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    return CurrentTimerDriver().stop(this, id) ? TRUE : FALSE;
}

void CWnd::OnTimer(UINT_PTR /*id*/) {}

BOOL CWnd::ShowWindow(int command) {
    const BOOL wasVisible = self_->isVisible();
    switch (command) {
        case SW_HIDE:
            self_->hide();
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            self_->showMinimized();
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
            self_->isWindow() ? self_->showNormal() : self_->show();
            break;
        default:
            self_->show();
            break;
    }
    if (command == SW_HIDE) {
        style_ &= ~WS_VISIBLE;
    } else {
        style_ |= WS_VISIBLE;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return self_->isVisible() ? TRUE : FALSE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    const BOOL wasDisabled = !self_->isEnabled();
    self_->setEnabled(enable != FALSE);
    if (enable) {
        style_ &= ~WS_DISABLED;
    } else {
        style_ |= WS_DISABLED;
    }
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return self_->isEnabled() ? TRUE : FALSE;
}

void CWnd::SetFocus() {
    self_->setFocus(Qt::OtherFocusReason);
}

void CWnd::SetWindowText(const QString& text) {
    self_->setWindowTitle(text);
}

QString CWnd::GetWindowText() const {
    return self_->windowTitle();
}

void CWnd::SetFont(const QFont& font, BOOL redraw) {
    self_->setFont(font);
    if (redraw)
        self_->update();
}

QFont CWnd::GetFont() const {
    return self_->font();
}

void CWnd::SetIcon(const QIcon& icon, BOOL bigIcon) {
    (bigIcon ? bigIcon_ : smallIcon_) = icon;
    self_->setWindowIcon(bigIcon_.isNull() ? smallIcon_ : bigIcon_);
}

QIcon CWnd::GetIcon(BOOL bigIcon) const {
    return bigIcon ? bigIcon_ : smallIcon_;
}

QRect CWnd::GetClientRect() const {
    return QRect(QPoint(0, 0), self_->size());
}

QRect CWnd::GetWindowRect() const {
    if (self_->isWindow())
        return self_->frameGeometry();
    return QRect(self_->mapToGlobal(QPoint(0, 0)), self_->size());
}

void CWnd::MoveWindow(const QRect& rect, BOOL repaint) {
    self_->setGeometry(rect);
    if (repaint)
        self_->update();
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    MoveWindow(QRect(x, y, width, height), repaint);
}

QPoint CWnd::ClientToScreen(const QPoint& point) const {
    return self_->mapToGlobal(point);
}

QPoint CWnd::ScreenToClient(const QPoint& point) const {
    return self_->mapFromGlobal(point);
}

void CWnd::Invalidate(BOOL /*erase*/) {
    self_->update();
}

void CWnd::UpdateWindow() {
    self_->repaint();
}

void CWnd::SetWindowRgn(const QRegion& region, BOOL redraw) {
    if (region.isEmpty()) {
        self_->clearMask();
    } else {
        self_->setMask(region);
    }
    if (redraw)
        self_->update();
}

QRegion CWnd::GetWindowRgn() const {
    return self_->mask();
}

bool CWnd::AcceptsClass(ControlClass /*controlClass*/) const {
    return false;
}

void CWnd::ApplyTemplate(const ControlTemplate& /*control*/) {}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::CreateChild(DWORD style, const QRect& rect, CWnd* parent, int id) {
    if (!parent)
        return FALSE;
    self_->setParent(parent->widget());
    id_ = id;
    style_ = style | WS_CHILD;
    OnStyleChanged();
    self_->setGeometry(rect);
    self_->setEnabled((style & WS_DISABLED) == 0);
    self_->setVisible((style & WS_VISIBLE) != 0);
    if (CDialog* dialog = GetOwnerDialog())
        dialog->AddRuntimeControl(this);
    return TRUE;
}

LRESULT CWnd::NotifyParentCommand(UINT code) {
    CDialog* dialog = GetOwnerDialog();
    if (!dialog || dialog == this)
        return 0;
    return dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id_, static_cast<int>(code)),
                               reinterpret_cast<LPARAM>(this));
}

LRESULT CWnd::NotifyParent(NMHDR& header) {
    header.hwndFrom = this;
    header.idFrom = static_cast<UINT_PTR>(id_);
    CDialog* dialog = GetOwnerDialog();
    if (!dialog || dialog == this)
        return 0;
    return dialog->SendMessage(WM_NOTIFY, static_cast<WPARAM>(id_),
                               reinterpret_cast<LPARAM>(&header));
}

LRESULT SendMessage(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam) {
    return target ? sendTo(target, message, wParam, lParam) : 0;
}

BOOL PostMessage(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam) {
    return target ? postTo(target, message, wParam, lParam) : FALSE;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        default:
            return 0;
    }
}
