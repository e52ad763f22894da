// The hidden codepage command (1022) through the real main window against a
// lab recorder's smbd: the recorder is picked in the device list with its
// login, the command is posted through the dialog layer, a scripted device
// answers the add-on queries, and the items the install task writes are read
// back with smbclient and compared with the exported file set.
// Run under Xvfb (lab_drive_mapping.sh) so the windows are real X windows.

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include "addons/addon_context.h"
#include "addons/addon_messages.h"
#include "addons/addon_state.h"
#include "addons/embedded_file.h"
#include "addons/progress_dlg.h"
#include "app/lanscout_app.h"
#include "app/lanscout_dlg.h"
#include "app/login_policy.h"
#include "platform/dialog/combo_box.h"
#include "platform/dialog/list_ctrl.h"
#include "platform/dialog/message_box.h"
#include "platform/dialog/timer_driver.h"
#include "platform/services/file_service.h"
#include "platform/services/smb_network_drives.h"
#include "platform/services/win_codes.h"
#include "protocol/globals.h"
#include "protocol/network.h"
#include "res/fileset/file_set_items.h"
#include "res/templates/control_ids.h"
#include "tests/lab/lab_support.h"
#include "tests/support/qt_test_main.h"

using namespace ostrel::dialog;
namespace fs = std::filesystem;

namespace {

constexpr const char* kShare = "HDD_a";  // the share the HDD_a layout writes to
constexpr int kWesternEuropean = 2;      // its row in the language dialog

fs::path& Scratch() {
    static fs::path folder;
    return folder;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A recorder whose disks are ready, whose codepage (437) is none of the
// list's, and whose volume is HDD_a; every request is counted.
class ReadyRecorder : public ostrel::addons::AddonDevice {
public:
    int QueryDiskStatus() override {
        DiskStatus = "3";
        return 1;
    }
    int QueryDeviceCodepage() override {
        DeviceCodepage = "437";
        return 1;
    }
    int QueryVolumeName() override {
        VolumeName = kShare;
        return 1;
    }
    int SetDiskAccessMode() override {
        accessModes.push_back(DiskAccessMode.str());
        return 1;
    }
    int SetDeviceCodepage() override {
        codepagesSet.push_back(DeviceCodepage.str());
        return 1;
    }
    int SendStopRequest() override {
        stopRequests.push_back(StopRequest.str());
        return 1;
    }
    std::vector<std::string> accessModes;
    std::vector<std::string> codepagesSet;
    std::vector<std::string> stopRequests;
};

// The lab recorders share one folder per volume; none is called HDD_a. The
// test adds that share to the recorder's smbd for its own run (smbd rereads
// its configuration on SIGHUP) and takes it away again afterwards.
class ExtraShare {
public:
    explicit ExtraShare(const lab::Recorder& recorder) {
        const fs::path root = recorder.shareRoot;
        const fs::path keyDir = root.parent_path();
        config = keyDir / "samba" / "smb.conf";
        folder = root / kShare;
        original = ReadBytes(config);
        std::istringstream pidLine(
            ReadBytes(keyDir.parent_path() / "pids" / (recorder.key + "-smbd")));
        pidLine >> smbd;
        if (original.empty() || smbd <= 0)
            return;
        fs::create_directories(folder / ".codepages");
        lab::RunProcess({"chown", "-R", "--reference=" + root.string(), folder.string()});
        std::ofstream(config, std::ios::app) << "\n[" << kShare << "]\n  path = " << folder.string()
                                             << "\n  read only = no\n  valid users = admin\n";
        ready = kill(static_cast<pid_t>(smbd), SIGHUP) == 0;
        // The parent reloads before it accepts the next connection.
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    ~ExtraShare() {
        if (original.empty())
            return;
        std::ofstream(config, std::ios::trunc | std::ios::binary) << original;
        if (smbd > 0)
            kill(static_cast<pid_t>(smbd), SIGHUP);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    long Smbd() const { return smbd; }
    bool ready = false;
    fs::path folder;

private:
    fs::path config;
    std::string original;
    long smbd = 0;
};

// The first supported plain recorder with SMB shares, or null.
const lab::Recorder* PlainSmbRecorder() {
    if (lab::CurrentLab() == nullptr)
        return nullptr;
    for (const auto& candidate : lab::CurrentLab()->recorders) {
        if (candidate.smb && candidate.supported && candidate.role == "plain" &&
            !candidate.volumes.empty() && !candidate.shareRoot.empty())
            return &candidate;
    }
    return nullptr;
}

// The real main window with the real network drives and files of this run,
// the recorder picked in its device list with its administrator login, as a
// user does. The add-on queries go to a ReadyRecorder with fast pauses.
class PickedWindow {
public:
    explicit PickedWindow(const lab::Recorder& picked)
        : recorder(picked), drives(DriveOptions()), files(FileOptions(drives)) {
        services = ostrel::platform::SystemServices();
        services.drives = &drives;
        services.files = &files;
        LoginNameFixed = 0;
        InitNetwork();
        window = std::make_unique<CLanscoutDlg>(services);
        if (!window->Create())
            return;
        window->show();
        QApplication::processEvents();

        auto& devices = *window->GetDlgItemAs<CListCtrl>(res::IDC_DEVICE_LIST);
        int row = -1;
        for (int r = 0; r < devices.GetItemCount(); ++r) {
            if (devices.GetItemText(r, 0).toStdString() == recorder.name)
                row = r;
        }
        if (row < 0)
            return;
        ScopedModalHook login([&](CDialog& modal) {
            modal.SetDlgItemText(res::IDC_USER_NAME, QString::fromStdString(recorder.user));
            modal.SetDlgItemText(res::IDC_PASSWORD, QString::fromStdString(recorder.password));
            modal.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        devices.EnsureVisible(row);
        const QPoint point =
            devices.GetItemRect(row).center() - devices.viewport()->geometry().topLeft();
        QTest::mouseClick(devices.viewport(), Qt::LeftButton, {}, point);
        QApplication::processEvents();
        picked_ = CurrentDeviceAddress.str() == recorder.ip;

        ostrel::addons::AddonContext& context = window->Addons();
        context.device = &device;
        context.sleep = [this](unsigned ms) { sleeps.push_back(ms); };
        context.progressStep = std::chrono::milliseconds(0);
        ostrel::addons::ResetAddonState();
    }
    ~PickedWindow() {
        if (window)
            window->DestroyWindow();
        window.reset();
        LoginNameFixed = 0;
    }
    bool Picked() const { return picked_; }

    // The administrator's session with the share, as a mapped volume leaves
    // it; the install task then connects with the default credentials.
    bool ConnectShare(const std::string& share) {
        ostrel::platform::NetResource target{ostrel::platform::RESOURCETYPE_ANY, "",
                                             "\\\\" + recorder.ip + "\\" + share};
        return drives.WNetAddConnection2A(target, recorder.password.c_str(), recorder.user.c_str(),
                                          0) == ostrel::platform::NO_ERROR;
    }

    // Command 1022 with the language dialog answered by OK on its
    // preselection, the task run in its first tick and the restart window
    // let run to its end; every modal window run is recorded.
    void RunCodepageCommand() {
        ManualTimerDriver timers;
        ScopedTimerDriver scopedTimers(timers);
        int languageRuns = 0;
        ScopedModalHook answer([&](CDialog& modal) {
            runs.push_back(modal.GetTemplateId());
            switch (modal.GetTemplateId()) {
                case res::IDD_LANGUAGE:
                    // The second time, after a failure, the user gives up.
                    if (++languageRuns > 1) {
                        modal.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                        break;
                    }
                    preselected =
                        modal.GetDlgItemAs<CComboBox>(res::IDC_LANGUAGE_LIST)->GetCurSel();
                    modal.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                    if (modal.IsRunningModal())
                        modal.EndDialog(IDCANCEL);
                    break;
                case res::IDD_INSTALL_TASK:
                    // The task runs in its first tick.
                    if (onInstallTask)
                        onInstallTask(modal, [&timers] { timers.advance(2000); });
                    else
                        timers.advance(2000);
                    break;
                case res::IDD_PROGRESS: {
                    auto& restart = static_cast<progress&>(modal);
                    for (int i = 0; i < 5000 && !restart.WorkerDone(); ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    QApplication::processEvents();
                    timers.advance(90000);
                    break;
                }
                default:
                    modal.EndDialog(IDCANCEL);
            }
        });
        window->SendMessage(WM_COMMAND, MAKEWPARAM(res::IDC_CODEPAGE_INSTALL, BN_CLICKED), 0);
        QApplication::processEvents();
    }

    const lab::Recorder& recorder;
    ostrel::platform::SmbNetworkDrives drives;
    ostrel::platform::PlatformFiles files;
    ostrel::platform::PlatformServices services;
    std::unique_ptr<CLanscoutDlg> window;
    ReadyRecorder device;
    ScopedMessageBoxHook boxes;
    std::vector<unsigned> sleeps;
    std::vector<int> runs;
    int preselected = -1;
    // Runs the install task's first tick (the second argument) its own way.
    std::function<void(CDialog&, const std::function<void()>&)> onInstallTask;

private:
    static ostrel::platform::SmbNetworkDrives::Options DriveOptions() {
        ostrel::platform::SmbNetworkDrives::Options options;
        options.tableFile = (Scratch() / "network-drives").string();
        options.desktop.bookmarksFile = (Scratch() / "bookmarks").string();
        options.desktop.useGvfs = false;
        return options;
    }
    static ostrel::platform::PlatformFiles::Options FileOptions(
        ostrel::platform::SmbNetworkDrives& drives) {
        ostrel::platform::PlatformFiles::Options options;
        options.cDriveFolder = (Scratch() / "c-drive").string();
        options.sessions = drives.sessions();
        options.drives = &drives;
        return options;
    }

    bool picked_ = false;
};

// A small tmpfs mounted over the share's folder inside smbd's own mount
// namespace, so the recorder's disk fills up part-way through the file set.
class FullDisk {
public:
    FullDisk(const ExtraShare& share, const std::string& size) : share_(share) {
        const std::string folder = share.folder.string();
        const std::string owner = share.folder.parent_path().string();
        mounted = Run("mount -t tmpfs -o size=" + size + " ostrel-full " + folder + " && mkdir " +
                      folder + "/.codepages && chown -R --reference=" + owner + " " + folder);
    }
    ~FullDisk() {
        // Detached even while an smbd child still has its working folder
        // there, so later tests write to the share's own disk again.
        if (mounted) {
            EXPECT_TRUE(Run("umount -l " + share_.folder.string()))
                << "the small disk is still over " << share_.folder;
        }
    }
    // The names and sizes of the files under .codepages, as smbd sees them.
    std::string Listing() const {
        return Shell("ls -ln " + share_.folder.string() + "/.codepages").out;
    }
    bool mounted = false;

private:
    lab::ProcessResult Shell(const std::string& command) const {
        return lab::RunProcess(
            {"nsenter", "-t", std::to_string(share_.Smbd()), "-m", "sh", "-c", command});
    }
    bool Run(const std::string& command) const { return Shell(command).exitCode == 0; }
    const ExtraShare& share_;
};

}  // namespace

TEST(LabCodepageInstall, WesternEuropeanItemsLandOnTheShareByteForByte) {
    const lab::Recorder* found = PlainSmbRecorder();
    if (found == nullptr)
        GTEST_SKIP() << "no lab recorder with SMB shares: " << lab::LabUnavailableReason();
    const lab::Recorder& recorder = *found;
    ExtraShare share(recorder);
    ASSERT_TRUE(share.ready) << "could not add the " << kShare << " share to the recorder's smbd";
    PickedWindow w(recorder);
    ASSERT_TRUE(w.Picked()) << recorder.name << " could not be picked";
    ASSERT_TRUE(w.ConnectShare(kShare));
    w.RunCodepageCommand();

    EXPECT_EQ(w.preselected, kWesternEuropean) << "437 preselects Western European";
    EXPECT_EQ(w.runs,
              (std::vector<int>{res::IDD_LANGUAGE, res::IDD_INSTALL_TASK, res::IDD_PROGRESS}));
    EXPECT_EQ(w.boxes.records().size(), 0u);
    EXPECT_TRUE(w.device.stopRequests.empty());
    EXPECT_EQ(w.device.accessModes, (std::vector<std::string>{"rw"}));
    EXPECT_EQ(w.device.codepagesSet,
              (std::vector<std::string>{ostrel::fileset::LanguageCodepageText(kWesternEuropean)}));
    EXPECT_EQ(ostrel::addons::InstallAborted, 0);

    // Every item of the list, read back from smbd with Samba's own client.
    std::ofstream(Scratch() / "auth")
        << "username = " << recorder.user << "\npassword = " << recorder.password << "\n";
    const auto list =
        ostrel::fileset::InstallList(kWesternEuropean, ostrel::fileset::VolumeLayout::kHddA);
    ASSERT_FALSE(list.empty());
    for (unsigned id : list) {
        const auto* item = ostrel::fileset::FindFileSetItem(id);
        ASSERT_NE(item, nullptr);
        SCOPED_TRACE(item->fileName);
        const fs::path got = Scratch() / item->fileName;
        const auto result = lab::RunProcess(
            {"smbclient", "//" + recorder.ip + "/" + kShare, "-A", (Scratch() / "auth").string(),
             "-c", "get .codepages/" + std::string(item->fileName) + " " + got.string()});
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
        const std::string exported =
            ReadBytes(fs::path(OSTREL_FILESET_DIR) / ostrel::fileset::ExportName(*item));
        ASSERT_EQ(exported.size(), item->size);
        EXPECT_TRUE(ReadBytes(got) == exported) << "differs from the exported item";
    }
    // Nothing but the list was written.
    std::size_t written = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(share.folder / ".codepages"))
        ++written;
    EXPECT_EQ(written, list.size());
}

TEST(LabCodepageInstall, AFullShareEndsWithCheckHardDrivesAndStopAndNoNewCodepage) {
    const lab::Recorder* found = PlainSmbRecorder();
    if (found == nullptr)
        GTEST_SKIP() << "no lab recorder with SMB shares: " << lab::LabUnavailableReason();
    const lab::Recorder& recorder = *found;
    ExtraShare share(recorder);
    ASSERT_TRUE(share.ready) << "could not add the " << kShare << " share to the recorder's smbd";
    // 64 KiB holds the Western European table and module, not its 131614-byte
    // map: that write stops part-way and leaves a cut file behind.
    FullDisk full(share, "64k");
    ASSERT_TRUE(full.mounted) << "could not mount a small tmpfs over " << share.folder;
    PickedWindow w(recorder);
    ASSERT_TRUE(w.Picked()) << recorder.name << " could not be picked";
    ASSERT_TRUE(w.ConnectShare(kShare));
    w.RunCodepageCommand();

    const std::string listing = full.Listing();
    EXPECT_NE(listing.find("unicode_map.850"), std::string::npos)
        << "the cut map is on the share:\n"
        << listing;
    EXPECT_EQ(w.runs,
              (std::vector<int>{res::IDD_LANGUAGE, res::IDD_INSTALL_TASK, res::IDD_LANGUAGE}));
    ASSERT_EQ(w.boxes.records().size(), 1u);
    EXPECT_EQ(w.boxes.records()[0].text, QString::fromUtf8(ostrel::addons::kCheckHardDrives));
    EXPECT_EQ(w.device.stopRequests, (std::vector<std::string>{"stop"}));
    EXPECT_TRUE(w.device.codepagesSet.empty()) << "the recorder's codepage stays";
    EXPECT_EQ(ostrel::addons::LastWriteFailed, 1);
    EXPECT_NE(ostrel::addons::InstallAborted, 0);
}

// How long the install-task window's thread is held by the task's first
// tick: a timer of that thread ticks every 20 ms and asks the window to
// repaint; no tick (and so no repaint) comes while the thread is held.
struct TaskWatch {
    int ticks = 0;
    double seconds = 0;
    double longestGap = 0;
};

TEST(LabCodepageInstall, WithoutASessionTheRefusedTaskEndsWithCheckHardDrives) {
    const lab::Recorder* found = PlainSmbRecorder();
    if (found == nullptr)
        GTEST_SKIP() << "no lab recorder with SMB shares: " << lab::LabUnavailableReason();
    const lab::Recorder& recorder = *found;
    ExtraShare share(recorder);
    ASSERT_TRUE(share.ready) << "could not add the " << kShare << " share to the recorder's smbd";
    PickedWindow w(recorder);
    ASSERT_TRUE(w.Picked()) << recorder.name << " could not be picked";
    // No drive mapped, no session: the task's default-credential
    // connections are refused and so is every write.
    TaskWatch watch;
    w.onInstallTask = [&](CDialog& task, const std::function<void()>& run) {
        QElapsedTimer clock;
        double lastTick = 0;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            const double now = clock.nsecsElapsed() / 1e9;
            watch.longestGap = std::max(watch.longestGap, now - lastTick);
            lastTick = now;
            ++watch.ticks;
            task.update();
        });
        heartbeat.start(20);
        clock.start();
        run();
        watch.seconds = clock.nsecsElapsed() / 1e9;
        watch.longestGap = std::max(watch.longestGap, watch.seconds - lastTick);
        heartbeat.stop();
    };
    w.RunCodepageCommand();

    EXPECT_EQ(w.runs,
              (std::vector<int>{res::IDD_LANGUAGE, res::IDD_INSTALL_TASK, res::IDD_LANGUAGE}));
    ASSERT_EQ(w.boxes.records().size(), 1u);
    EXPECT_EQ(w.boxes.records()[0].text, QString::fromUtf8(ostrel::addons::kCheckHardDrives));
    EXPECT_EQ(w.device.stopRequests, (std::vector<std::string>{"stop"}));
    EXPECT_TRUE(w.device.codepagesSet.empty());

    // Not a time limit, a figure: the window stops painting for this long.
    std::printf(
        "install task without a session: %.3f s, longest time without a tick %.3f s, "
        "%d ticks\n",
        watch.seconds, watch.longestGap, watch.ticks);
    RecordProperty("task_seconds", std::to_string(watch.seconds));
    RecordProperty("longest_gap_seconds", std::to_string(watch.longestGap));
}

namespace {

void PrepareLabRun() {
    lab::EnterClientNamespace();
    Scratch() = fs::temp_directory_path() / ("ostrel-codepage-lab-" + std::to_string(getpid()));
    fs::create_directories(Scratch() / "config");
    setenv("XDG_CONFIG_HOME", (Scratch() / "config").c_str(), 1);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const fs::path run = Scratch() / "run";
        fs::create_directories(run);
        fs::permissions(run, fs::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
    }
}

[[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
    .beforeApplication = PrepareLabRun,
    .withApplication = SetUpProductDialogs,
    .afterTests =
        [] {
            std::error_code ignored;
            fs::remove_all(Scratch(), ignored);
        },
});

}  // namespace
