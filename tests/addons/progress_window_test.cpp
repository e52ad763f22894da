#include <QCoreApplication>
#include <QImage>
#include <chrono>

#include <gtest/gtest.h>

#include "addon_harness.h"
#include "addons/addon_state.h"
#include "addons/progress_dlg.h"
#include "platform/dialog/sys_colors.h"
#include "skin/skin_progress.h"

using namespace ostrel::dialog;

// The restart window: its worker steps the skinned bar to the end, its
// timer closes it after 90 seconds and marks the restart completed, and it
// never leaves the worker running.
using namespace ostrel::addons;

TEST(RestartWindow, TheWorkerFillsTheBarAndTheTimerClosesTheWindow) {
    AddonHarness h;
    InstallAborted = -1;
    progress window(h.context);
    bool stillOpenBeforeTime = false;
    ScopedModalHook hook([&](CDialog& dialog) {
        auto& restart = static_cast<progress&>(dialog);
        EXPECT_TRUE(WaitForRestartWorker(restart));
        EXPECT_EQ(InstallAborted, -1) << "the worker's end decides nothing, the timer does";
        CSkinProgress& bar = restart.Bar();
        int lower = 0;
        int upper = 0;
        bar.GetRange(lower, upper);
        EXPECT_EQ(lower, 1);
        EXPECT_EQ(upper, 100);
        EXPECT_EQ(bar.GetPos(), 100) << "99 steps from 1";

        // The fill, probed at three positions.
        const QColor fill(4, 134, 232);
        const QColor face = sysColor(COLOR_BTNFACE);
        for (int pos : {1, 50, 100}) {
            SCOPED_TRACE(pos);
            bar.SetPos(pos);
            const QImage image = bar.grab().toImage();
            const int width = image.width();
            const int right = ProgressFillRight(1, 100, pos, 0, width);
            const int y = image.height() / 2;
            if (right > 0) {
                EXPECT_EQ(image.pixelColor(0, y), fill);
                EXPECT_EQ(image.pixelColor(right - 1, y), fill);
            }
            if (right < width) {
                EXPECT_EQ(image.pixelColor(right, y), face);
                EXPECT_EQ(image.pixelColor(width - 1, y), face);
            }
        }
        EXPECT_TRUE(h.timers.running(&dialog, progress::kCloseTimer));
        dialog.SendMessage(WM_COMMAND, IDOK, 0);
        dialog.SendMessage(WM_COMMAND, IDCANCEL, 0);
        h.timers.advance(89999);
        stillOpenBeforeTime = dialog.IsRunningModal();
        h.timers.advance(1);
    });
    window.DoModal();
    EXPECT_TRUE(stillOpenBeforeTime);
    EXPECT_EQ(hook.runs().size(), 1u);
    EXPECT_EQ(InstallAborted, 0);
}

// Only the window's timer decides that the restart completed (and so that
// the main window is refreshed), whichever thread is first.
TEST(RestartWindow, TheTimerDecidesTheRestartCompletedNotTheWorker) {
    AddonHarness h;
    h.context.progressStep = std::chrono::minutes(10);
    {
        SCOPED_TRACE("a worker late on a busy machine");
        InstallAborted = -1;
        progress window(h.context);
        ScopedModalHook hook([&](CDialog& dialog) {
            EXPECT_FALSE(static_cast<progress&>(dialog).WorkerDone());
            h.timers.advance(progress::kCloseAfterMs);
        });
        window.DoModal();
        EXPECT_TRUE(window.WorkerDone()) << "stopped when the time was up";
        EXPECT_EQ(InstallAborted, 0) << "the restart's time is over, so it completed";
    }
    {
        SCOPED_TRACE("closed before its time");
        InstallAborted = -1;
        progress window(h.context);
        ScopedModalHook hook([&](CDialog& dialog) {
            EXPECT_FALSE(static_cast<progress&>(dialog).WorkerDone());
            dialog.DestroyWindow();
        });
        window.DoModal();
        // Stopped and joined by the tear-down, not left sleeping.
        EXPECT_TRUE(window.WorkerDone());
        EXPECT_EQ(InstallAborted, -1) << "closed before its time, the restart did not complete";
    }
}
