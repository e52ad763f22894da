#pragma once

// Where window timers come from. The default driver runs them on Qt timers;
// tests install a ManualTimerDriver and advance its clock by hand, so timer
// behaviour (auto-repeat counts, time-outs) is exact and instant.

#include <cstdint>
#include <map>
#include <utility>

#include "win_types.h"

class CWnd;

namespace ostrel::dialog {

class TimerDriver {
public:
    virtual ~TimerDriver() = default;
    // Starts (or restarts) timer `id` of `target` with period `elapse` ms.
    virtual void start(CWnd* target, UINT_PTR id, UINT elapse) = 0;
    // Stops it; false when it was not running.
    virtual bool stop(CWnd* target, UINT_PTR id) = 0;
    // Forgets every timer of a window that goes away.
    virtual void forget(CWnd* target) = 0;
    // True when timer `id` of `target` is running.
    virtual bool running(CWnd* target, UINT_PTR id) const = 0;
};

// The driver in use (the Qt one unless a test installed another).
TimerDriver& CurrentTimerDriver();

// Installs a driver for its lifetime; the previous one comes back after.
class ScopedTimerDriver {
public:
    explicit ScopedTimerDriver(TimerDriver& driver);
    ~ScopedTimerDriver();
    ScopedTimerDriver(const ScopedTimerDriver&) = delete;
    ScopedTimerDriver& operator=(const ScopedTimerDriver&) = delete;

private:
    TimerDriver* previous_;
};

// A virtual clock: timers fire only inside advance(), in time order, each
// as WM_TIMER sent to its window.
class ManualTimerDriver : public TimerDriver {
public:
    void start(CWnd* target, UINT_PTR id, UINT elapse) override;
    bool stop(CWnd* target, UINT_PTR id) override;
    void forget(CWnd* target) override;
    bool running(CWnd* target, UINT_PTR id) const override;

    // Moves the clock forward by `ms`, firing every timer that falls due
    // (a timer whose period passes several times fires several times).
    void advance(std::int64_t ms);
    std::int64_t now() const { return now_; }

private:
    struct Timer {
        UINT elapse;
        std::int64_t due;
        std::uint64_t generation;
    };
    std::map<std::pair<CWnd*, UINT_PTR>, Timer> timers_;
    std::int64_t now_ = 0;
    std::uint64_t generation_ = 0;
};

}  // namespace ostrel::dialog
