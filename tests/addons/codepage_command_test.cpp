#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "addon_harness.h"
#include "addons/addon_messages.h"
#include "addons/addon_state.h"
#include "addons/embedded_file.h"
#include "addons/language_dlg.h"
#include "addons/message_dlg.h"
#include "platform/dialog/combo_box.h"
#include "platform/services/win_codes.h"
#include "protocol/globals.h"
#include "res/templates/control_ids.h"

using namespace ostrel::dialog;

// Command 1022: the language dialog, the install task and the restart window.
using namespace ostrel::addons;
using ostrel::platform::FakeFiles;

namespace {

// Chooses `index` in the language dialog and presses OK; a dialog that
// stays open after that is cancelled.
std::function<void(CDialog&)> Choose(int index, int* preselected = nullptr) {
    return [index, preselected](CDialog& dialog) {
        auto* list = dialog.GetDlgItemAs<CComboBox>(res::IDC_LANGUAGE_LIST);
        if (preselected != nullptr)
            *preselected = list->GetCurSel();
        list->SetCurSel(index);
        static_cast<language&>(dialog).OnOK();
        if (dialog.IsRunningModal())
            static_cast<language&>(dialog).OnCancel();
    };
}

const std::string kHdd1 = "\\\\10.0.0.2\\HDD_1\\.systemfile\\.codepages\\";

}  // namespace

TEST(CodepageCommand, AllCodepagesStateInstallsTurkishWithoutFiles) {
    AddonHarness h;
    h.device.diskStates = {"5"};
    h.device.codepages = {"850"};
    int preselected = -1;
    h.answer[res::IDD_LANGUAGE] = Choose(5, &preselected);
    RunCodepageInstallation(h.host, h.context);

    EXPECT_EQ(preselected, 2) << "codepage 850 preselects Western European";
    EXPECT_EQ(h.Runs(),
              (std::vector<int>{res::IDD_LANGUAGE, res::IDD_INSTALL_TASK, res::IDD_PROGRESS}));
    EXPECT_TRUE(h.files.writes.empty());
    EXPECT_EQ(h.device.codepagesSet, (std::vector<std::string>{"857"}));
    EXPECT_EQ(h.device.accessModes, (std::vector<std::string>{"rw"}));
    EXPECT_TRUE(h.Messages().empty());
    EXPECT_EQ(InstallAborted, 0);
    EXPECT_EQ(h.host.refreshes, 1);
    EXPECT_EQ(h.host.deviceSelected, 0);
    // One disk poll and one codepage poll, a second each.
    EXPECT_EQ(h.sleeps, (std::vector<unsigned>{1000, 1000}));
}

TEST(CodepageCommand, FirmwareWithoutTurkishKeepsTheUserInTheDialog) {
    AddonHarness h;
    h.device.diskStates = {"", "3"};
    h.device.codepages = {"437"};
    int preselected = -1;
    h.answer[res::IDD_LANGUAGE] = Choose(5, &preselected);
    RunCodepageInstallation(h.host, h.context);

    EXPECT_EQ(h.Messages(), (std::vector<std::string>{kCodepageNeedsFirmware}));
    EXPECT_EQ(h.Runs(), (std::vector<int>{res::IDD_LANGUAGE})) << "no install task";
    EXPECT_TRUE(h.device.codepagesSet.empty());
    EXPECT_EQ(InstallAborted, -1);
    EXPECT_EQ(h.host.refreshes, 0) << "cancelling leaves the device list alone";
    EXPECT_EQ(h.host.deviceSelected, 1);
    // 437 is none of the list's: Western European, after all ten polls.
    EXPECT_EQ(preselected, 2);
    EXPECT_EQ(h.device.calls["disk"], 2);
    EXPECT_EQ(h.device.calls["codepage"], 10);
    EXPECT_EQ(h.SleptMs(), 12000u);
}

TEST(CodepageCommand, CyrillicOnHdd1WritesSevenItemsInOrder) {
    AddonHarness h;
    h.device.diskStates = {"3"};
    h.device.codepages = {"866"};
    h.device.volumes = {"", "hdd_1"};
    h.answer[res::IDD_LANGUAGE] = Choose(7);
    RunCodepageInstallation(h.host, h.context);

    const std::vector<std::string> names = {
        "codepage.866",     "nls_cp866.ko",    "nls_koi8-r.ko",     "nls_cp866_12.ko",
        "nls_koi8-r_12.ko", "unicode_map.866", "unicode_map.KOI8-R"};
    ASSERT_EQ(h.files.writes.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        // The volume name goes into the path as the recorder gave it.
        EXPECT_EQ(
            h.files.writes[i],
            FakeFiles::Normalise("\\\\10.0.0.2\\hdd_1\\.systemfile\\.codepages\\" + names[i]));
    }
    EXPECT_EQ(h.files.files.at(FakeFiles::Normalise(kHdd1 + "unicode_map.KOI8-R")).size(), 131614u);
    EXPECT_EQ(h.device.codepagesSet, (std::vector<std::string>{"866"}));
    EXPECT_EQ(h.device.calls["volume"], 2);
    EXPECT_EQ(h.Runs().back(), res::IDD_PROGRESS);
    EXPECT_EQ(h.host.refreshes, 1);
}

TEST(CodepageCommand, AFailedItemStopsTheListAndOffersTheLanguagesAgain) {
    AddonHarness h;
    h.device.diskStates = {"3"};
    h.device.codepages = {"932"};
    // HDD_a layout: the disk fills part-way through the Japanese list's
    // second item, over a copy left by an earlier run.
    const std::string module = FakeFiles::Normalise("\\\\10.0.0.2\\HDD_a\\.codepages\\nls_cp932.o");
    h.files.files[module] = "from an earlier run";
    h.files.spaceLeft = 8 + 100;
    int runs = 0;
    h.answer[res::IDD_LANGUAGE] = [&](CDialog& dialog) {
        if (++runs == 1)
            Choose(8)(dialog);
        else
            static_cast<language&>(dialog).OnCancel();
    };
    RunCodepageInstallation(h.host, h.context);

    EXPECT_EQ(h.files.writes, (std::vector<std::string>{FakeFiles::Normalise(
                                  "\\\\10.0.0.2\\HDD_a\\.codepages\\codepage.932")}));
    EXPECT_EQ(h.files.files.at(module).size(), 100u);
    EXPECT_EQ(h.device.stopRequests, (std::vector<std::string>{"stop"}));
    EXPECT_TRUE(h.device.codepagesSet.empty()) << "the recorder's codepage stays";
    EXPECT_EQ(h.Messages(), (std::vector<std::string>{kCheckHardDrives}));
    EXPECT_EQ(h.Runs(),
              (std::vector<int>{res::IDD_LANGUAGE, res::IDD_INSTALL_TASK, res::IDD_LANGUAGE}));
    EXPECT_EQ(LastWriteFailed, 1);
    EXPECT_EQ(h.host.refreshes, 0);

    // A later language without files is not sent back by that old failure.
    AddonHarness again;
    LastWriteFailed = 1;
    again.device.diskStates = {"5"};
    again.answer[res::IDD_LANGUAGE] = Choose(3);
    RunCodepageInstallation(again.host, again.context);
    EXPECT_EQ(again.Runs().back(), res::IDD_PROGRESS);
    EXPECT_EQ(again.device.codepagesSet, (std::vector<std::string>{"865"}));
}

TEST(CodepageCommand, DeviceStatesThatEndTheDialog) {
    struct Case {
        std::string state;
        std::string message;
    };
    for (const Case& c : {Case{"1", kNoHardDrives}, Case{"2", kFormatHardDrive},
                          Case{"4", kUnicodeDevice}, Case{"7", kMultiLanguageUnsupported}}) {
        SCOPED_TRACE(c.state);
        AddonHarness h;
        h.device.diskStates = {c.state};
        RunCodepageInstallation(h.host, h.context);
        EXPECT_EQ(h.Messages(), (std::vector<std::string>{c.message}));
        EXPECT_TRUE(h.boxes.records().front().caption == AfxGetAppName());
        EXPECT_EQ(h.boxes.records().front().icon(), 0u);
        EXPECT_TRUE(h.Runs().empty()) << "the dialog closed itself before it was shown";
        EXPECT_EQ(InstallAborted, -1);
        EXPECT_EQ(h.host.refreshes, 0);
        if (c.state == "2") {
            EXPECT_EQ(h.launcher.commandLines,
                      (std::vector<std::string>{"explorer http://10.0.0.2"}));
        } else {
            EXPECT_TRUE(h.launcher.commandLines.empty());
        }
    }
}

TEST(CodepageCommand, TheProductsUnavailableQueriesEndAfterTenSeconds) {
    AddonHarness h;
    AddonDevice unavailable;  // what the program itself uses
    h.context.device = &unavailable;
    RunCodepageInstallation(h.host, h.context);
    EXPECT_EQ(h.Messages(), (std::vector<std::string>{kMultiLanguageUnsupported}));
    EXPECT_EQ(h.sleeps, std::vector<unsigned>(10, 1000));
    EXPECT_EQ(h.host.refreshes, 0);
}

TEST(CodepageCommand, NoSelectedDeviceIsAnError) {
    AddonHarness h;
    h.host.deviceSelected = 0;
    RunCodepageInstallation(h.host, h.context);
    ASSERT_EQ(h.boxes.records().size(), 1u);
    EXPECT_EQ(h.boxes.records()[0].text.toStdString(), kSelectDevice);
    EXPECT_EQ(h.boxes.records()[0].caption.toStdString(), kErrorCaption);
    EXPECT_EQ(h.boxes.records()[0].icon(), MB_ICONERROR);
    EXPECT_TRUE(h.Runs().empty());
}

TEST(CodepageCommand, SelectionChangeWarnsAboutUnsupportedLanguages) {
    AddonHarness h;
    h.device.diskStates = {"3"};
    h.device.codepages = {"950"};
    int preselected = -1;
    h.answer[res::IDD_LANGUAGE] = [&](CDialog& dialog) {
        auto* list = dialog.GetDlgItemAs<CComboBox>(res::IDC_LANGUAGE_LIST);
        preselected = list->GetCurSel();
        list->SetCurSel(4);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(res::IDC_LANGUAGE_LIST, CBN_SELCHANGE), 0);
        EXPECT_EQ(list->GetCurSel(), 4) << "the selection stays";
        list->SetCurSel(6);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(res::IDC_LANGUAGE_LIST, CBN_SELCHANGE), 0);
        static_cast<language&>(dialog).OnCancel();
    };
    RunCodepageInstallation(h.host, h.context);
    EXPECT_EQ(preselected, 0);
    EXPECT_EQ(h.Messages(), (std::vector<std::string>{kCodepageNeedsFirmware}));
}

TEST(InstallTask, EnterEscAndCommand1024DoNotCloseIt) {
    AddonHarness h;
    SelectedLanguage = 3;
    messageDlg task(h.context);
    bool stayedOpen = false;
    h.answer.clear();
    ScopedModalHook hook([&](CDialog& dialog) {
        EXPECT_TRUE(h.timers.running(&dialog, messageDlg::kCodepageTimer));
        dialog.SendMessage(WM_COMMAND, IDOK, 0);
        dialog.SendMessage(WM_COMMAND, IDCANCEL, 0);
        dialog.SendMessage(WM_COMMAND, 1024, 0);
        dialog.SendMessage(WM_CLOSE, 0, 0);
        h.timers.advance(1999);
        stayedOpen = dialog.IsRunningModal();
        h.timers.advance(1);
    });
    task.DoModal();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(h.device.codepagesSet, (std::vector<std::string>{"865"}));
}

TEST(InstallTask, TargetsByVolumeName) {
    EXPECT_EQ(TargetFor("", false).directory, "HDD_a\\.codepages");
    EXPECT_EQ(TargetFor("hdd_A", false).directory, "HDD_a\\.codepages");
    EXPECT_EQ(TargetFor("HDD_1", false).directory, "HDD_1\\.systemfile\\.codepages");
    EXPECT_EQ(TargetFor("HDD_1", true).directory, "HDD_1\\Nas_Prog/BT");
    EXPECT_EQ(TargetFor("", true).directory, "HDD_a\\Nas_Prog/BT");
    // A name the recorders are not known to use gets the HDD_a layout.
    EXPECT_EQ(TargetFor("Volume_1", false).layout, ostrel::fileset::VolumeLayout::kHddA);
    EXPECT_EQ(TargetFor("Volume_1", false).directory, "HDD_a\\.codepages");
}
