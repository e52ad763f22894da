// The main window's LAN settings editor and web console launch on real
// sockets in the network lab: the simulated recorders, the real reachability
// probe, program launcher and default-browser lookup, with stand-ins for the
// desktop's opener and browser that record what they are asked to open.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "app/lan_settings_editor.h"
#include "app/lanscout_app.h"
#include "app/lanscout_dlg.h"
#include "app/login_policy.h"
#include "app/web_console.h"
#include "platform/dialog/list_ctrl.h"
#include "platform/dialog/message_box.h"
#include "platform/services/fake_network_drives.h"
#include "platform/services/file_service.h"
#include "protocol/network.h"
#include "res/templates/control_ids.h"
#include "tests/lab/lab_support.h"
#include "tests/lab/require_lab.h"
#include "tests/support/qt_test_main.h"

using namespace ostrel::dialog;

using namespace res;
namespace fs = std::filesystem;

namespace {

// The folder of this run's stand-ins and desktop settings (set up in main).
fs::path& Scratch() {
    static fs::path folder;
    return folder;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteExecutable(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

// Waits for a stand-in started in the background to write its record.
std::string WaitForRecord(const fs::path& path) {
    for (int i = 0; i < 100 && !fs::exists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return fs::exists(path) ? ReadFile(path) : std::string();
}

// The real main window on the lab's client namespace. Only the drives and
// files are fakes, so no test touches the user's drive table.
class LabWindow {
public:
    LabWindow() : services(ostrel::platform::SystemServices()) {
        services.drives = &drives;
        services.files = &files;
        LoginNameFixed = 0;
        InitNetwork();
        dialog = std::make_unique<CLanscoutDlg>(services);
        created = dialog->Create() != FALSE;
        dialog->show();
        QApplication::processEvents();
    }
    ~LabWindow() {
        dialog->DestroyWindow();
        dialog.reset();
        LoginNameFixed = 0;
    }

    CListCtrl& devices() const { return *dialog->GetDlgItemAs<CListCtrl>(IDC_DEVICE_LIST); }
    CIPAddressCtrl& field(int id) const { return *dialog->GetDlgItemAs<CIPAddressCtrl>(id); }

    int RowOf(const std::string& name) const {
        for (int row = 0; row < devices().GetItemCount(); ++row) {
            if (devices().GetItemText(row, 0).toStdString() == name) {
                return row;
            }
        }
        return -1;
    }
    std::string AddressOf(const std::string& name) const {
        const int row = RowOf(name);
        return row < 0 ? std::string() : devices().GetItemText(row, 1).toStdString();
    }

    // A mouse click on the recorder's row, the login answered with its password.
    bool Pick(const std::string& name, const std::string& password) {
        const int row = RowOf(name);
        if (row < 0) {
            return false;
        }
        ScopedModalHook answer([&](CDialog& login) {
            if (login.GetDlgItem(IDC_USER_NAME)->IsWindowEnabled()) {
                login.SetDlgItemText(IDC_USER_NAME, QStringLiteral("admin"));
            }
            login.SetDlgItemText(IDC_PASSWORD, QString::fromStdString(password));
            login.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        CListCtrl& list = devices();
        list.EnsureVisible(row);
        const QPoint point = list.GetItemRect(row).center() - list.viewport()->geometry().topLeft();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, point);
        QApplication::processEvents();
        return list.GetItemState(row, LVIS_SELECTED) == LVIS_SELECTED;
    }

    void Command(int id) {
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(dialog->GetDlgItem(id)));
        QApplication::processEvents();
    }

    void Type(int id, const std::string& dotted) {
        CIPAddressCtrl& address = field(id);
        address.ClearAddress();
        QStringList parts = QString::fromStdString(dotted).split('.');
        for (int k = 0; k < 4 && k < parts.size(); ++k) {
            address.Field(k)->setText(parts[k]);
        }
    }

    ostrel::platform::FakeNetworkDrives drives;
    ostrel::platform::FakeFiles files;
    ostrel::platform::PlatformServices services;
    ScopedMessageBoxHook boxes;
    std::unique_ptr<CLanscoutDlg> dialog;
    bool created = false;
};

// A static change through the window, checked in the rediscovered list.
void ApplyStatic(LabWindow& window, const lab::Recorder& recorder, const std::string& ip) {
    window.Type(IDC_IP_ADDRESS, ip);
    window.Type(IDC_NETMASK, recorder.netmask);
    window.Type(IDC_GATEWAY, recorder.gateway);
    window.Command(IDC_APPLY);
}

TEST(LabCommands, StaticChangeThroughTheWindowMovesTheRecorder) {
    REQUIRE_LAB();
    const lab::Recorder* recorder = info.ByRole("mutable");
    ASSERT_TRUE(recorder);
    const std::string moved = recorder->ip.substr(0, recorder->ip.rfind('.')) + ".53";

    LabWindow window;
    ASSERT_TRUE(window.created);
    ASSERT_EQ(window.AddressOf(recorder->name), recorder->ip);
    ASSERT_TRUE(window.Pick(recorder->name, recorder->password));
    ApplyStatic(window, *recorder, moved);
    EXPECT_TRUE(window.boxes.records().empty()) << window.boxes.records()[0].text.toStdString();
    EXPECT_EQ(window.AddressOf(recorder->name), moved) << "the rediscovered list";
    EXPECT_NE(lab::HttpGet(moved).find(recorder->name), std::string::npos)
        << "the recorder's console moved with it";

    // Back again through the window: the pick asks for the password once
    // more, under the fixed "admin".
    ASSERT_TRUE(window.Pick(recorder->name, recorder->password));
    ApplyStatic(window, *recorder, recorder->ip);
    EXPECT_EQ(window.AddressOf(recorder->name), recorder->ip);
    if (::testing::Test::HasFailure()) {
        // Whatever went wrong, leave the recorder where the lab put it.
        for (const std::string& at : {moved, recorder->ip}) {
            lab::RunProcess(
                {OSTREL_NVR_PATH, "static", "--device", at, "--ip", recorder->ip, "--netmask",
                 recorder->netmask, "--gateway", recorder->gateway, "--password-stdin"},
                recorder->password + "\n");
        }
    }
}

// Desktop settings of this process: an empty set, or one default browser.
void RegisterDefaultBrowser(bool registered) {
    const fs::path config = Scratch() / "config";
    const fs::path applications = Scratch() / "data" / "applications";
    fs::remove(config / "mimeapps.list");
    fs::remove(applications / "standin-browser.desktop");
    if (registered) {
        std::ofstream(applications / "standin-browser.desktop")
            << "[Desktop Entry]\nType=Application\nName=Stand-in browser\nExec="
            << (Scratch() / "bin" / "standin-browser").string() << " --new-window %u\n";
        std::ofstream(config / "mimeapps.list")
            << "[Default Applications]\nx-scheme-handler/http=standin-browser.desktop\n";
    }
}

TEST(LabCommands, ConfigureOpensTheConsoleOfTheSelectedRecorder) {
    REQUIRE_LAB();
    const lab::Recorder* recorder = info.ByKey("r2");
    ASSERT_TRUE(recorder);
    const fs::path opened = Scratch() / "opened.txt";
    const fs::path browsed = Scratch() / "browsed.txt";

    LabWindow window;
    ASSERT_TRUE(window.created);
    ASSERT_TRUE(window.Pick(recorder->name, recorder->password));
    {
        SCOPED_TRACE("no default browser: the desktop's opener gets the URL");
        RegisterDefaultBrowser(false);
        fs::remove(opened);
        window.Command(IDC_WEB_CONSOLE);
        EXPECT_TRUE(window.boxes.records().empty());
        EXPECT_EQ(WaitForRecord(opened), "http://" + recorder->ip + "\n");
    }
    {
        SCOPED_TRACE("the default browser's own command gets the URL");
        RegisterDefaultBrowser(true);
        fs::remove(opened);
        fs::remove(browsed);
        window.Command(IDC_WEB_CONSOLE);
        EXPECT_TRUE(window.boxes.records().empty());
        EXPECT_EQ(WaitForRecord(browsed), "--new-window\nhttp://" + recorder->ip + "\n");
        EXPECT_FALSE(fs::exists(opened));
        RegisterDefaultBrowser(false);
    }
    EXPECT_EQ(window.dialog->deviceSelected, 1);
}

// A recorder of this test's own in a namespace on subnet B, whose web
// console is switched off. Removed again when the test ends.
class ClosedConsoleRecorder {
public:
    explicit ClosedConsoleRecorder(const lab::Info& info)
        : netns(info.prefix + "-r9"), switchNetns(info.switchNetns) {
        // A namespace left by a run that was killed goes first (the lab's
        // "down" removes it too: it carries a recorder's name).
        Run({"ip", "netns", "del", netns});
        Run({"ip", "netns", "add", netns});
        Run({"ip", "-n", netns, "link", "set", "lo", "up"});
        Run({"ip", "-n", switchNetns, "link", "add", "r9-p0", "type", "veth", "peer", "name",
             "lan0", "netns", netns});
        Run({"ip", "-n", switchNetns, "link", "set", "r9-p0", "master", "br-b"});
        Run({"ip", "-n", switchNetns, "link", "set", "r9-p0", "up"});
        Run({"ip", "-n", netns, "addr", "add", address + "/24", "dev", "lan0"});
        Run({"ip", "-n", netns, "link", "set", "lan0", "up"});
        Run({"ip", "-n", netns, "route", "add", "224.0.0.0/4", "dev", "lan0"});
        const fs::path config = Scratch() / "closed.json";
        std::ofstream(config)
            << R"({"recorders": [{"name": ")" << name
            << R"(", "deviceId": "00:1A:2B:3C:4D:5E:00:09", "model": "KVR-620",)"
            << R"( "admin": {"password": "closed-pw9"}, "http": {"enabled": false},)"
            << R"( "lan": [{"interface": "lan0", "ip": ")" << address
            << R"(", "netmask": "255.255.255.0", "gateway": "10.201.2.1"}]}]})";
        pidFile = Scratch() / "closed.pid";
        fs::remove(pidFile);
        daemon = std::thread([this, config] {
            lab::RunProcess({"ip", "netns", "exec", netns, OSTREL_SIM_PATH, "--config",
                             config.string(), "--pid-file", pidFile.string()},
                            "", {}, std::chrono::seconds(240));
        });
        for (int i = 0; i < 100 && !fs::exists(pidFile); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ready = fs::exists(pidFile);
    }
    ~ClosedConsoleRecorder() {
        if (ready) {
            // The daemon this test started, by its own process id.
            const int pid = std::atoi(ReadFile(pidFile).c_str());
            if (pid > 1) {
                ::kill(pid, SIGTERM);
            }
        }
        if (daemon.joinable()) {
            daemon.join();
        }
        Run({"ip", "netns", "del", netns});
    }

    const std::string name = "NVR-Closed";
    const std::string address = "10.201.2.91";
    bool ready = false;

private:
    static void Run(const std::vector<std::string>& argv) { lab::RunProcess(argv); }

    std::string netns;
    std::string switchNetns;
    fs::path pidFile;
    std::thread daemon;
};

TEST(LabCommands, ARecorderWithItsConsoleClosedIsReportedAndTheListRefreshed) {
    REQUIRE_LAB();
    ClosedConsoleRecorder closed(info);
    ASSERT_TRUE(closed.ready) << "the recorder without a console did not start";
    const fs::path opened = Scratch() / "opened.txt";
    fs::remove(opened);
    RegisterDefaultBrowser(false);

    LabWindow window;
    ASSERT_TRUE(window.created);
    ASSERT_EQ(window.AddressOf(closed.name), closed.address);
    const int rows = window.devices().GetItemCount();
    ASSERT_TRUE(window.Pick(closed.name, "closed-pw9"));
    window.Command(IDC_WEB_CONSOLE);
    ASSERT_EQ(window.boxes.records().size(), 1u);
    EXPECT_EQ(window.boxes.records()[0].text, QString::fromLatin1(kDeviceNoLongerAvailableText));
    EXPECT_EQ(window.boxes.records()[0].caption, QStringLiteral("Warning"));
    // A fresh search: the same recorders, nothing selected, nothing shown.
    EXPECT_EQ(window.devices().GetItemCount(), rows);
    EXPECT_EQ(window.devices().GetSelectedCount(), 0);
    EXPECT_EQ(window.dialog->deviceSelected, 0);
    EXPECT_TRUE(window.field(IDC_IP_ADDRESS).IsBlank());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(opened)) << "no browser for a closed console";
}

// Before the application and any thread exist, so that every later thread
// and child process starts in the lab's client namespace too. Stand-ins for
// the desktop's opener and a browser come first on PATH, with desktop
// settings of this run only.
void PrepareLabRun() {
    lab::EnterClientNamespace();

    Scratch() = fs::temp_directory_path() / ("ostrel-commands-lab-" + std::to_string(getpid()));
    fs::create_directories(Scratch() / "bin");
    fs::create_directories(Scratch() / "config");
    fs::create_directories(Scratch() / "data" / "applications");
    WriteExecutable(
        Scratch() / "bin" / "xdg-open",
        "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + (Scratch() / "opened.txt").string() + "'\n");
    WriteExecutable(
        Scratch() / "bin" / "standin-browser",
        "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + (Scratch() / "browsed.txt").string() + "'\n");
    const char* path = std::getenv("PATH");
    const std::string searchPath =
        (Scratch() / "bin").string() + ":" + (path != nullptr ? path : "/usr/bin:/bin");
    setenv("PATH", searchPath.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Scratch() / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (Scratch() / "data").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (Scratch() / "none").c_str(), 1);
    setenv("XDG_DATA_DIRS", (Scratch() / "none").c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
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
