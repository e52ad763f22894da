// Map Drive and Unmap through the real main window against a lab recorder's
// SMB shares: the real network drives (with a connection table, bookmarks
// and, when a session bus can be started, GVfs mounts of this run only) and
// the program's skinned credentials prompt, answered by typing into it.
// Run under Xvfb (lab_drive_mapping.sh) so the windows are real X windows.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/credentials_prompt.h"
#include "app/drive_mapping.h"
#include "app/lanscout_app.h"
#include "app/lanscout_dlg.h"
#include "app/login_policy.h"
#include "app/mount_message_dlg.h"
#include "platform/dialog/list_ctrl.h"
#include "platform/dialog/message_box.h"
#include "platform/services/smb_network_drives.h"
#include "platform/services/win_codes.h"
#include "protocol/network.h"
#include "res/templates/control_ids.h"
#include "tests/lab/lab_support.h"
#include "tests/support/qt_test_main.h"

using namespace ostrel::dialog;

using namespace res;
namespace fs = std::filesystem;
using ostrel::platform::SmbNetworkDrives;

namespace {

// The folder of this run's connection table, bookmarks and session bus.
fs::path& Scratch() {
    static fs::path folder;
    return folder;
}

// The session bus started for this run, if any (GVfs mounts on it).
bool& HaveSessionBus() {
    static bool have = false;
    return have;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Mounts() {
    const auto listed = lab::RunProcess({"gio", "mount", "-l"}, "", {}, std::chrono::seconds(20));
    return listed.out + listed.err;
}

std::string Lower(std::string text) {
    for (auto& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The dual-port recorder the demo maps too, else any recorder with shares.
const lab::Recorder* ShareRecorder(const lab::Info& info) {
    const lab::Recorder* fallback = nullptr;
    for (const auto& recorder : info.recorders) {
        if (!recorder.smb || recorder.volumes.size() < 2 || !recorder.supported) {
            continue;
        }
        if (recorder.role == "dual-port") {
            return &recorder;
        }
        if (fallback == nullptr && recorder.role == "plain") {
            fallback = &recorder;
        }
    }
    return fallback;
}

#define REQUIRE_SHARES()                                                             \
    if (lab::CurrentLab() == nullptr) {                                              \
        GTEST_SKIP() << "network lab unavailable: " << lab::LabUnavailableReason();  \
    }                                                                                \
    const lab::Recorder* found = ShareRecorder(*lab::CurrentLab());                  \
    if (found == nullptr) {                                                          \
        GTEST_SKIP() << "the lab has no supported recorder with two shared volumes"; \
    }                                                                                \
    const lab::Recorder& recorder = *found

// The real window with real network drives of this run, their interactive
// connections asking through the skinned prompt.
class LabDrivesWindow {
public:
    LabDrivesWindow()
        : drives(Options()), prompt(nullptr), services(ostrel::platform::SystemServices()) {
        drives.SetPrompt(&prompt);
        services.drives = &drives;
        LoginNameFixed = 0;
        InitNetwork();
        dialog = std::make_unique<CLanscoutDlg>(services);
        created = dialog->Create() != FALSE;
        dialog->show();
        QApplication::processEvents();
    }
    ~LabDrivesWindow() {
        // Leave nothing connected for the next test.
        for (const char* letter : {"Z:", "Y:"}) {
            drives.WNetCancelConnection2A(letter, ostrel::platform::CONNECT_UPDATE_PROFILE, true);
        }
        dialog->DestroyWindow();
        dialog.reset();
        LoginNameFixed = 0;
    }

    static SmbNetworkDrives::Options Options() {
        SmbNetworkDrives::Options options;
        options.tableFile = TableFile().string();
        options.desktop.bookmarksFile = BookmarksFile().string();
        options.desktop.useGvfs = HaveSessionBus();
        return options;
    }
    static fs::path TableFile() { return Scratch() / "config" / "ostrel-nvr" / "network-drives"; }
    static fs::path BookmarksFile() { return Scratch() / "config" / "gtk-3.0" / "bookmarks"; }

    CListCtrl& devices() const { return *dialog->GetDlgItemAs<CListCtrl>(IDC_DEVICE_LIST); }
    CListCtrl& volumes() const { return *dialog->GetDlgItemAs<CListCtrl>(IDC_VOLUME_LIST); }
    CComboBox& letters() const { return *dialog->GetDlgItemAs<CComboBox>(IDC_DRIVE_LETTERS); }

    bool Pick(const lab::Recorder& recorder) {
        int row = -1;
        for (int r = 0; r < devices().GetItemCount(); ++r) {
            if (devices().GetItemText(r, 0).toStdString() == recorder.name) {
                row = r;
            }
        }
        if (row < 0) {
            return false;
        }
        ScopedModalHook answer([&](CDialog& login) {
            login.SetDlgItemText(IDC_USER_NAME, QString::fromStdString(recorder.user));
            login.SetDlgItemText(IDC_PASSWORD, QString::fromStdString(recorder.password));
            login.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        Click(devices(), row);
        return volumes().GetItemCount() == static_cast<int>(recorder.volumes.size());
    }

    void Click(CListCtrl& list, int row) {
        list.EnsureVisible(row);
        const QPoint point = list.GetItemRect(row).center() - list.viewport()->geometry().topLeft();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, point);
        QApplication::processEvents();
    }

    void ChooseLetter(const QString& localName) {
        for (int i = 0; i < letters().GetCount(); ++i) {
            if (letters().GetLBText(i).startsWith(localName)) {
                letters().SetCurSel(i);
            }
        }
    }

    // Map with the volume row and letter chosen; the prompt, if it opens, is
    // typed into and confirmed with Enter; the drive-letter confirmation is
    // answered with OK.
    void Map(int volumeRow, const QString& localName, const std::string& user,
             const std::string& password) {
        Click(volumes(), volumeRow);
        ChooseLetter(localName);
        ScopedModalHook answer([&](CDialog& modal) {
            if (modal.GetTemplateId() == IDD_MOUNT_MESSAGE) {
                ++confirmations;
                modal.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return;
            }
            if (modal.GetTemplateId() != SkinnedCredentialsDialog::kTemplateId) {
                return;
            }
            ++prompts;
            auto* userField =
                dynamic_cast<QLineEdit*>(modal.GetDlgItem(CredentialsDialog::IDC_USER_NAME));
            auto* passwordField =
                dynamic_cast<QLineEdit*>(modal.GetDlgItem(CredentialsDialog::IDC_PASSWORD));
            userField->setFocus();
            userField->clear();
            QTest::keyClicks(userField, QString::fromStdString(user));
            passwordField->setFocus();
            QTest::keyClicks(passwordField, QString::fromStdString(password));
            QTest::keyClick(passwordField, Qt::Key_Return);
        });
        boxes.clear();
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MAP_DRIVE, BN_CLICKED), 0);
        QApplication::processEvents();
    }

    void Unmap(int volumeRow) {
        Click(volumes(), volumeRow);
        boxes.clear();
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_UNMAP_DRIVE, BN_CLICKED), 0);
        QApplication::processEvents();
    }

    QString OnlyBox() const {
        return boxes.records().size() == 1 ? boxes.records()[0].text
                                           : QString("%1 boxes").arg(boxes.records().size());
    }
    std::string Connection(const char* localName) {
        std::string remote;
        return drives.WNetGetConnectionA(localName, remote) == ostrel::platform::NO_ERROR ? remote
                                                                                          : "";
    }

    SmbNetworkDrives drives;
    SkinnedCredentialPrompt prompt;
    ostrel::platform::PlatformServices services;
    ScopedMessageBoxHook boxes;
    std::unique_ptr<CLanscoutDlg> dialog;
    bool created = false;
    int prompts = 0;
    int confirmations = 0;
};

TEST(LabDriveMapping, MapAskingForTheSharesPasswordThenUnmap) {
    REQUIRE_SHARES();
    LabDrivesWindow window;
    ASSERT_TRUE(window.created);
    ASSERT_TRUE(window.Pick(recorder)) << recorder.name;
    const int row = window.devices().GetNextItem(-1, LVNI_SELECTED);
    const std::string address = window.devices().GetItemText(row, 1).toStdString();
    const std::string volume = window.volumes().GetItemText(0, 0).toStdString();
    const std::string remote = "\\\\" + address + "\\" + volume;

    window.Map(0, "Z:", recorder.user, recorder.password);
    EXPECT_EQ(window.prompts, 1) << "the share refuses the empty credentials first";
    EXPECT_EQ(window.OnlyBox().toStdString(), kMapSucceededText);
    EXPECT_EQ(window.volumes().GetItemText(0, 1), "Z:");
    EXPECT_EQ(window.letters().GetLBText(0).toStdString(), "Z: " + remote);
    EXPECT_EQ(window.Connection("Z:"), remote);
    EXPECT_NE(ReadFile(LabDrivesWindow::TableFile()).find(remote), std::string::npos);
    const std::string bookmark = "smb://" + address + "/" + volume + " Z: " + volume;
    EXPECT_NE(ReadFile(LabDrivesWindow::BookmarksFile()).find(bookmark), std::string::npos)
        << ReadFile(LabDrivesWindow::BookmarksFile());
    const std::string uri = "smb://" + address + "/" + Lower(volume);
    if (HaveSessionBus()) {
        EXPECT_NE(Mounts().find(uri), std::string::npos) << Mounts();
    }

    window.Unmap(0);
    EXPECT_EQ(window.OnlyBox().toStdString(), kUnmapSucceededText);
    EXPECT_EQ(window.volumes().GetItemText(0, 1), "");
    EXPECT_EQ(window.Connection("Z:"), "");
    EXPECT_EQ(ReadFile(LabDrivesWindow::TableFile()).find(remote), std::string::npos);
    EXPECT_EQ(ReadFile(LabDrivesWindow::BookmarksFile()).find(bookmark), std::string::npos);
    if (HaveSessionBus()) {
        EXPECT_EQ(Mounts().find(uri), std::string::npos) << Mounts();
    }
}

TEST(LabDriveMapping, AWrongPasswordAtThePromptLeavesNoConnection) {
    REQUIRE_SHARES();
    LabDrivesWindow window;
    ASSERT_TRUE(window.Pick(recorder));
    window.Map(0, "Z:", recorder.user, recorder.password + "-wrong");
    EXPECT_EQ(window.prompts, 1);
    EXPECT_EQ(window.OnlyBox().toStdString(), kMapFailedText);
    EXPECT_EQ(window.Connection("Z:"), "");
    EXPECT_EQ(window.volumes().GetItemText(0, 1), "");
    EXPECT_EQ(ReadFile(LabDrivesWindow::TableFile()).find("Z"), std::string::npos);
}

TEST(LabDriveMapping, ALetterInUseIsConfirmedBeforeItIsMappedAgain) {
    REQUIRE_SHARES();
    LabDrivesWindow window;
    ASSERT_TRUE(window.Pick(recorder));
    window.Map(0, "Z:", recorder.user, recorder.password);
    ASSERT_EQ(window.OnlyBox().toStdString(), kMapSucceededText);
    EXPECT_EQ(window.confirmations, 0);

    // The same letter for the second volume: asked first, then moved. The
    // server already accepted this process, so no prompt this time.
    window.prompts = 0;
    window.Map(1, "Z:", recorder.user, recorder.password);
    EXPECT_EQ(window.confirmations, 1);
    EXPECT_EQ(window.OnlyBox().toStdString(), kMapSucceededText);
    EXPECT_EQ(window.volumes().GetItemText(0, 1), "");
    EXPECT_EQ(window.volumes().GetItemText(1, 1), "Z:");
    const std::string second = window.volumes().GetItemText(1, 0).toStdString();
    EXPECT_NE(window.Connection("Z:").find(second), std::string::npos);
}

// A private session bus for GVfs, when the machine has one to start.
long StartSessionBus() {
    if (lab::RunProcess({"sh", "-c", "command -v gio && command -v dbus-daemon"}).exitCode != 0) {
        return 0;
    }
    const fs::path runtime = Scratch() / "run";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    // GVfs's SMB backend needs the system's settings schemas.
    setenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share", 1);
    const auto bus = lab::RunProcess(
        {"dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"}, "", {},
        std::chrono::seconds(10));
    std::istringstream printed(bus.out);
    std::string address;
    long pid = 0;
    printed >> address >> pid;
    if (address.empty() || pid <= 0) {
        return 0;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    HaveSessionBus() = true;
    return pid;
}

// Before the application and any thread exist, so that every later thread
// and child process starts in the lab's client namespace too; with a
// private session bus for GVfs where one can be started.
long sessionBus = 0;

void PrepareLabRun() {
    lab::EnterClientNamespace();

    Scratch() = fs::temp_directory_path() / ("ostrel-drives-lab-" + std::to_string(getpid()));
    fs::create_directories(Scratch() / "config");
    setenv("XDG_CONFIG_HOME", (Scratch() / "config").c_str(), 1);
    sessionBus = lab::CurrentLab() != nullptr ? StartSessionBus() : 0;
    std::printf(
        "drive mapping lab tests: GVfs mounts %s\n",
        HaveSessionBus() ? "checked on a private session bus" : "not checked (no session bus)");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString dir = QString::fromStdString((Scratch() / "run").string());
        QDir().mkpath(dir);
        QFile::setPermissions(
            dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    }
}

[[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
    .beforeApplication = PrepareLabRun,
    .withApplication = SetUpProductDialogs,
    .afterTests =
        [] {
            if (sessionBus > 0) {
                kill(static_cast<pid_t>(sessionBus), SIGTERM);
            }
            std::error_code ignored;
            fs::remove_all(Scratch(), ignored);
        },
});

}  // namespace
