#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "addons/addon_context.h"
#include "platform/dialog/dialog.h"
#include "skin/dialog_looks.h"
#include "skin/skin_progress.h"

// The restart window (template 141): a worker steps the skinned progress
// bar from 1 to 100 over about 89 seconds; a 90-second timer closes the
// window and marks the installation as run to its end (InstallAborted 0).
// Enter and Esc do nothing. A window destroyed before its time marks
// nothing.
//
// The worker only shows progress: it touches the window through posted
// messages (dropped once the bar is gone) and nothing else, so a worker
// late on a busy machine cannot change the outcome. The window stops and
// joins it when the timer fires or the window is destroyed, so it never
// outlives the window.
class progress : public CDialog {
public:
    static constexpr UINT_PTR kCloseTimer = 1;
    static constexpr UINT kCloseAfterMs = 90000;
    static constexpr int kSteps = 99;

    progress(ostrel::addons::AddonContext& context, CWnd* parent = nullptr);
    ~progress() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;

    CSkinProgress& Bar() { return m_progress; }
    // True once the worker has ended (run to its end or stopped).
    bool WorkerDone() const { return workerDone.load(); }

protected:
    void OnDestroy();
    BOOL OnEraseBkgnd(QPainter& painter);
    void OnCtlColor(CtlColor& color);

    DECLARE_MESSAGE_MAP()

private:
    void RunWorker(CWnd* bar, std::chrono::milliseconds step);
    void StopWorker();

    ostrel::addons::AddonContext& context;
    skin::SkinBackground background;
    CSkinProgress m_progress;
    std::thread worker;
    std::mutex stopMutex;
    std::condition_variable stopSignal;
    bool stopRequested = false;
    std::atomic<bool> workerDone{false};
};
