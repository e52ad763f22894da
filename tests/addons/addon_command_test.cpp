#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "addon_harness.h"
#include "addons/addon_messages.h"
#include "addons/addon_state.h"
#include "addons/language_dlg.h"
#include "addons/message_dlg.h"
#include "platform/dialog/combo_box.h"
#include "res/templates/control_ids.h"

using namespace ostrel::dialog;

// Command 1025: the add-on check, the task with timer 2, the restart window
// and the clean-up.
using namespace ostrel::addons;
using ostrel::platform::FakeFiles;

namespace {

const std::string kBtFolder = "\\\\10.0.0.2\\HDD_a\\Nas_Prog/BT\\";

}  // namespace

TEST(AddonCommand, InstallsBothFilesThenRestartsAndCleansUp) {
    AddonHarness h;
    h.device.diskStates = {"4"};
    h.device.addonStates = {"0", "0", "1"};
    bool stagedGone = false;
    h.onRestartWindow = [&](CDialog&) {
        // Only after both files were written.
        stagedGone = !h.files.PathFileExistsA("C:\\bt\\bt") &&
                     !h.files.PathFileExistsA("C:\\bt\\btdog") &&
                     h.files.PathFileExistsA(kBtFolder + "bt") &&
                     h.files.PathFileExistsA(kBtFolder + "btdog");
    };
    RunAddonInstallation(h.host, h.context);

    EXPECT_EQ(h.host.logins, 1);
    EXPECT_EQ(h.Runs(), (std::vector<int>{res::IDD_INSTALL_TASK, res::IDD_PROGRESS}));
    EXPECT_TRUE(stagedGone);
    // The set holds no "BT" items: both files are empty.
    EXPECT_EQ(h.files.files.at(FakeFiles::Normalise(kBtFolder + "bt")), "");
    EXPECT_EQ(h.files.files.at(FakeFiles::Normalise(kBtFolder + "btdog")), "");
    EXPECT_EQ(h.files.writes.front(), FakeFiles::Normalise("C:\\bt\\bt"));
    EXPECT_EQ(h.device.addonNames, (std::vector<std::string>{"BT"}));
    EXPECT_EQ(h.device.accessModes, (std::vector<std::string>{"rw"}));
    EXPECT_TRUE(h.Messages().empty());
    // Clean-up: modes back, refresh, the staging folder gone.
    EXPECT_EQ(InstallMode, 0);
    EXPECT_EQ(AddonInstalled, 0);
    EXPECT_EQ(h.host.refreshes, 1);
    EXPECT_EQ(h.host.deviceSelected, 0);
    EXPECT_FALSE(h.files.PathFileExistsA("C:\\bt"));
    // One disk poll of 2 s, the first status look (1 s), two more polls.
    EXPECT_EQ(h.sleeps, (std::vector<unsigned>{2000, 1000, 2000, 2000}));
}

TEST(AddonCommand, EitherFailedWriteSendsStopAndShowsNoRestartWindowButBothAreAttempted) {
    const std::string folder = "\\\\10.0.0.2\\HDD_1\\Nas_Prog/BT\\";
    for (const std::string failing : {"bt", "btdog"}) {
        SCOPED_TRACE(failing);
        const std::string other = failing == "bt" ? "btdog" : "bt";
        AddonHarness h;
        h.device.diskStates = {"3"};
        h.device.addonStates = {"1"};
        h.device.volumes = {"HDD_1"};
        // An old copy on the recorder that cannot be replaced.
        const std::string stuck = FakeFiles::Normalise(folder + failing);
        h.files.files[stuck] = "old";
        h.files.undeletable.insert(stuck);
        RunAddonInstallation(h.host, h.context);
        EXPECT_EQ(h.Runs(), (std::vector<int>{res::IDD_INSTALL_TASK}));
        EXPECT_EQ(h.files.files.at(stuck), "old");
        EXPECT_TRUE(h.files.PathFileExistsA(folder + other)) << "the other file still reached it";
        EXPECT_FALSE(h.files.PathFileExistsA("C:\\bt\\" + failing));
        EXPECT_EQ(h.device.stopRequests, (std::vector<std::string>{"stop"}));
        EXPECT_EQ(h.Messages(), (std::vector<std::string>{kCheckHardDrives}));
        EXPECT_TRUE(h.device.addonNames.empty());
        EXPECT_EQ(AddonInstalled, 0);
    }
}

TEST(AddonCommand, DiskProblemsEndOnlyTheCommand) {
    for (const std::string state : {"1", "2"}) {
        SCOPED_TRACE(state);
        AddonHarness h;
        h.device.diskStates = {state};
        h.device.addonStates = {"1"};
        RunAddonInstallation(h.host, h.context);
        EXPECT_EQ(h.Messages(),
                  (std::vector<std::string>{state == "1" ? kNoHardDrives : kFormatHardDrive}));
        EXPECT_TRUE(h.Runs().empty());
        EXPECT_EQ(InstallMode, 0);
        EXPECT_EQ(InstallAborted, -1);
        EXPECT_EQ(h.host.refreshes, 0);
        EXPECT_EQ(h.host.deviceSelected, 1) << "the window and its pick stay";
        EXPECT_EQ(h.launcher.commandLines.size(), state == "2" ? 1u : 0u);
    }
}

TEST(AddonCommand, TheProductsUnavailableQueriesGiveUpAfterAboutAMinute) {
    AddonHarness h;
    AddonDevice unavailable;
    h.context.device = &unavailable;
    RunAddonInstallation(h.host, h.context);
    EXPECT_EQ(h.Messages(), (std::vector<std::string>{kBitTorrentUnsupported}));
    EXPECT_EQ(h.SleptMs(), 15 * 2000u + 1000u + 15 * 2000u);
    EXPECT_EQ(InstallMode, 0);
    EXPECT_TRUE(h.Runs().empty());
}

TEST(AddonCommand, WaysOutBeforeTheTaskLeaveTheCodepageTaskInPlace) {
    AddonHarness h;
    h.host.loginSucceeds = false;
    RunAddonInstallation(h.host, h.context);
    EXPECT_EQ(InstallMode, 0);
    EXPECT_EQ(h.device.calls["disk"], 0) << "no check after a failed login";

    // The following codepage installation runs the codepage task (timer 1).
    h.device.diskStates = {"5"};
    h.answer[res::IDD_LANGUAGE] = [](CDialog& dialog) {
        dialog.GetDlgItemAs<CComboBox>(res::IDC_LANGUAGE_LIST)->SetCurSel(2);
        static_cast<language&>(dialog).OnOK();
    };
    ScopedModalHook peek([&](CDialog& dialog) {
        if (dialog.GetTemplateId() == res::IDD_INSTALL_TASK) {
            EXPECT_TRUE(h.timers.running(&dialog, messageDlg::kCodepageTimer));
            EXPECT_FALSE(h.timers.running(&dialog, messageDlg::kAddonTimer));
            h.timers.advance(2000);
        } else if (dialog.GetTemplateId() == res::IDD_PROGRESS) {
            dialog.EndDialog(IDCANCEL);
        } else {
            h.answer[res::IDD_LANGUAGE](dialog);
        }
    });
    RunCodepageInstallation(h.host, h.context);
    EXPECT_EQ(h.files.writes.size(), 3u) << "Western European, HDD_a";

    AddonHarness none;
    none.host.deviceSelected = 0;
    RunAddonInstallation(none.host, none.context);
    EXPECT_EQ(InstallMode, 0);
    EXPECT_EQ(none.Messages(), (std::vector<std::string>{kSelectDevice}));
}
