#include "timer_driver.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "window.h"

using namespace ostrel::dialog;

namespace {

// Runs window timers on Qt timers owned by the window's widget.
class QtTimerDriver : public TimerDriver {
public:
    void start(CWnd* target, UINT_PTR id, UINT elapse) override {
        auto key = std::make_pair(target, id);
        QPointer<QTimer>& slot = timers_[key];
        if (!slot) {
            slot = new QTimer(target->widget());
            QObject::connect(slot, &QTimer::timeout, target->widget(),
                             [target, id] { target->SendMessage(WM_TIMER, id, 0); });
        }
        slot->start(static_cast<int>(elapse));
    }
    bool stop(CWnd* target, UINT_PTR id) override {
        auto it = timers_.find(std::make_pair(target, id));
        if (it == timers_.end() || !it->second)
            return false;
        const bool wasRunning = it->second->isActive();
        it->second->stop();
        return wasRunning;
    }
    void forget(CWnd* target) override {
        for (auto it = timers_.begin(); it != timers_.end();) {
            if (it->first.first == target) {
                if (it->second)
                    it->second->deleteLater();
                it = timers_.erase(it);
            } else {
                ++it;
            }
        }
    }
    bool running(CWnd* target, UINT_PTR id) const override {
        auto it = timers_.find(std::make_pair(target, id));
        return it != timers_.end() && it->second && it->second->isActive();
    }

private:
    std::map<std::pair<CWnd*, UINT_PTR>, QPointer<QTimer>> timers_;
};

QtTimerDriver& qtDriver() {
    static QtTimerDriver driver;
    return driver;
}

TimerDriver* current = nullptr;

}  // namespace

TimerDriver& ostrel::dialog::CurrentTimerDriver() {
    return current ? *current : qtDriver();
}

ScopedTimerDriver::ScopedTimerDriver(TimerDriver& driver) : previous_(current) {
    current = &driver;
}

ScopedTimerDriver::~ScopedTimerDriver() {
    current = previous_;
}

void ManualTimerDriver::start(CWnd* target, UINT_PTR id, UINT elapse) {
    if (elapse == 0)
        elapse = 1;
    timers_[std::make_pair(target, id)] = Timer{elapse, now_ + elapse, ++generation_};
}

bool ManualTimerDriver::stop(CWnd* target, UINT_PTR id) {
    return timers_.erase(std::make_pair(target, id)) > 0;
}

void ManualTimerDriver::forget(CWnd* target) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        it = it->first.first == target ? timers_.erase(it) : std::next(it);
    }
}

bool ManualTimerDriver::running(CWnd* target, UINT_PTR id) const {
    return timers_.count(std::make_pair(target, id)) > 0;
}

void ManualTimerDriver::advance(std::int64_t ms) {
    const std::int64_t end = now_ + ms;
    for (;;) {
        // The earliest due timer (ties: the one started first).
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (it->second.due > end)
                continue;
            if (next == timers_.end() || it->second.due < next->second.due ||
                (it->second.due == next->second.due &&
                 it->second.generation < next->second.generation)) {
                next = it;
            }
        }
        if (next == timers_.end())
            break;
        now_ = next->second.due;
        next->second.due += next->second.elapse;
        const auto key = next->first;
        key.first->SendMessage(WM_TIMER, key.second, 0);
    }
    now_ = end;
}
