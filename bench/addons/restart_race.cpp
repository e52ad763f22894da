// Runs the restart window once with its real waits (the worker's 99 steps of
// 900 ms, the window's 90-second timer) and says whether the command that
// opened it would refresh the main window afterwards: it does only when
// InstallAborted is 0 once the window has closed.
//   ostrel-restart-race        prints "refresh" (exit 0) or "no refresh" (exit 1)
#include <QApplication>
#include <chrono>
#include <cstdio>

#include "addons/addon_context.h"
#include "addons/addon_state.h"
#include "addons/progress_dlg.h"
#include "platform/dialog/dialog_units.h"
#include "res/templates/dialog_templates.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ostrel::dialog::EnsureDialogFonts();
    res::RegisterProductDialogTemplates();

    ostrel::addons::AddonContext context;
    // As the language dialog leaves it until the restart has run to its end.
    ostrel::addons::InstallAborted = -1;
    const auto start = std::chrono::steady_clock::now();
    {
        progress window(context);
        window.DoModal();
    }
    const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    const bool refresh = ostrel::addons::InstallAborted == 0;
    std::printf("%s after %.2f s\n", refresh ? "refresh" : "no refresh", took.count());
    return refresh ? 0 : 1;
}
