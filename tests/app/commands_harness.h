#pragma once

#include <QString>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/lanscout_dlg.h"
#include "platform/dialog/list_ctrl.h"
#include "platform/dialog/message_box.h"
#include "platform/services/fake_network_drives.h"
#include "platform/services/file_service.h"
#include "platform/services/http_probe.h"
#include "platform/services/program_launcher.h"
#include "platform/services/registry.h"
#include "platform/services/user_account.h"
#include "platform/services/windows_version.h"
#include "tests/app/virtual_lab.h"

// A probe whose answer the test gives: each check blocks until Answer (or
// Release at the end) lets it go. Or it answers at once when told to.
class GatedProbe final : public ostrel::platform::HttpProbe {
public:
    bool InternetCheckConnectionA(const char* url, std::uint32_t flags,
                                  std::uint32_t reserved) override;
    // The next (or current) check answers `reachable`.
    void Answer(bool reachable);
    // Checks answer at once with this from now on.
    void AnswerAtOnce(bool reachable);
    // Lets every waiting check go, unreachable.
    void Release();
    std::vector<std::string> Urls() const;
    int Checks() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<bool> answer_;
    std::optional<bool> atOnce_;
    bool released_ = false;
    std::vector<std::string> urls_;
};

// Waits (bounded) until the probe thread has stored an answer.
bool WaitForProbeAnswer();

// The main window on the virtual network with fake services, created
// modeless and shown on the offscreen platform; message boxes are recorded.
class CommandsHarness {
public:
    CommandsHarness();
    ~CommandsHarness();

    VirtualLab lab;
    ostrel::platform::FakeNetworkDrives drives;
    ostrel::platform::FakeFiles files;
    ostrel::platform::FakeProgramLauncher launcher;
    ostrel::platform::FakeRegistry registry;
    GatedProbe probe;
    ostrel::platform::FakeVersionSource version{2, 6, 2, 9200};
    ostrel::platform::FakeUserAccount user{"tester"};
    ostrel::platform::PlatformServices services;
    ostrel::dialog::ScopedMessageBoxHook boxes;
    std::unique_ptr<CLanscoutDlg> dialog;
    // Pauses WaitForProbe made; each runs onSleep (if set) with its number.
    int sleeps = 0;
    std::function<void(int)> onSleep;

    // Creates and shows the window (its start-up runs the first search).
    void Open();
    void Close();

    CListCtrl& devices() const;
    CListCtrl& volumes() const;
    CIPAddressCtrl& field(int id) const;
    CComboBox& dhcp() const;
    CWnd& button(int id) const;

    // A mouse click on the row; the login dialog, if it opens, is answered
    // with the password (Cancel when empty). True when a login dialog opened.
    bool ClickRow(int row, const std::string& password = "pw", const std::string& user = "admin");
    // A click on the list below the last row (no row selected afterwards).
    void ClickEmptyListArea();
    // The button's command, as its click sends it.
    void Command(int id);
    // The user's choice of a DHCP item ("Disable" 0, "Enable" 1).
    void ChooseDhcp(int item);
    // Types the four octets into an address field (a negative value leaves
    // that octet blank).
    void Type(int id, int a, int b, int c, int d);

    // Texts of the device list's column, top to bottom.
    std::vector<std::string> Column(int column) const;
    std::vector<QString> BoxTexts() const;
    // Template numbers of modal dialogs that were run and their user-name
    // field state when they opened.
    std::vector<QString> loginUserNames;
    std::vector<bool> loginUserNameEnabled;
};
