#include "addons/disk_state.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

#include "addons/addon_messages.h"
#include "platform/dialog/message_box.h"
#include "platform/services/win_codes.h"
#include "protocol/globals.h"

namespace ostrel::addons {

int ReplyNumber(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || value < 0 || value > 0xFFFF)
        return 0;
    return static_cast<int>(value);
}

int PollDiskState(AddonContext& context, int attempts, unsigned pauseMs,
                  const std::function<bool(int state, int result)>& done) {
    int state = 0;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        DiskStatus.Clear();
        const int result = context.device->QueryDiskStatus();
        context.sleep(pauseMs);
        state = ReplyNumber(DiskStatus.c_str());
        if (done(state, result))
            break;
    }
    return state;
}

bool ReportDiskProblem(int state, CWnd* owner, AddonContext& context) {
    if (state == 1) {
        MessageBox(owner, QString::fromUtf8(kNoHardDrives));
        return true;
    }
    if (state == 2) {
        MessageBox(owner, QString::fromUtf8(kFormatHardDrive));
        char commandLine[128];
        std::snprintf(commandLine, sizeof commandLine, kExplorerConsoleFormat,
                      CurrentDeviceAddress.c_str());
        context.services->launcher->WinExec(commandLine, platform::SW_HIDE);
        return true;
    }
    return false;
}

}  // namespace ostrel::addons
