// The main window on the virtual network: start-up, the search, the device
// pick with its login, the looks and every way of closing it.

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <cstring>
#include <functional>
#include <map>
#include <set>

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/lanscout_dlg.h"
#include "app/login_policy.h"
#include "platform/dialog/dialog_units.h"
#include "platform/dialog/edit.h"
#include "platform/dialog/message_box.h"
#include "platform/dialog/static_ctrl.h"
#include "platform/dialog/sys_colors.h"
#include "platform/services/fake_network_drives.h"
#include "platform/services/user_account.h"
#include "platform/services/windows_version.h"
#include "protocol/device_key.h"
#include "protocol/device_table.h"
#include "protocol/globals.h"
#include "protocol/local_addresses.h"
#include "protocol/network.h"
#include "protocol/volume_list.h"
#include "res/templates/control_ids.h"
#include "res/templates/dialog_templates.h"
#include "skin/skin_list_ctrl.h"
#include "skin/window_region.h"
#include "tests/app/virtual_lab.h"
#include "tests/support/qt_test_main.h"

using namespace ostrel::dialog;

using namespace res;

namespace {

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

std::string Octets(CIPAddressCtrl& field) {
    if (field.IsBlank()) {
        return "";
    }
    BYTE a = 0, b = 0, c = 0, d = 0;
    field.GetAddress(a, b, c, d);
    return std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "." +
           std::to_string(d);
}

// Answers the login dialog: fills both fields and presses OK, or Cancel.
struct LoginAnswer {
    QString user = QStringLiteral("admin");
    QString password = QStringLiteral("pw");
    bool cancel = false;
    // What the dialog showed when it opened.
    QString shownUser;
    bool userEnabled = true;
    int runs = 0;
};

class MainWindowTest : public ::testing::Test {
public:
    void SetUp() override {
        services.drives = &drives;
        services.version = &version;
        services.user = &user;
        LoginNameFixed = 0;
    }

    void TearDown() override {
        if (dlg && dlg->IsCreated()) {
            dlg->DestroyWindow();
        }
        dlg.reset();
        ShutdownNetwork();
        LoginNameFixed = 0;
    }

    // Starts the network and opens the window as the program does, but
    // without a modal loop, so the test can act on it.
    void Open() {
        InitNetwork();
        dlg = std::make_unique<CLanscoutDlg>(services);
        ASSERT_TRUE(dlg->Create());
        dlg->show();
    }

    template <class T>
    T& Item(int id) {
        T* item = dlg->GetDlgItemAs<T>(id);
        EXPECT_NE(item, nullptr) << "control " << id;
        return *item;
    }
    CListCtrl& Devices() { return Item<CListCtrl>(IDC_DEVICE_LIST); }
    CListCtrl& Volumes() { return Item<CListCtrl>(IDC_VOLUME_LIST); }
    CIPAddressCtrl& Ip() { return Item<CIPAddressCtrl>(IDC_IP_ADDRESS); }
    CIPAddressCtrl& Netmask() { return Item<CIPAddressCtrl>(IDC_NETMASK); }
    CIPAddressCtrl& Gateway() { return Item<CIPAddressCtrl>(IDC_GATEWAY); }
    CComboBox& Dhcp() { return Item<CComboBox>(IDC_DHCP); }

    void ClickRow(int row) {
        CListCtrl& list = Devices();
        const QRect rect = list.visualRect(list.model()->index(row, 0));
        ASSERT_TRUE(rect.isValid()) << "row " << row;
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
    }
    void ClickBelowRows() {
        CListCtrl& list = Devices();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          QPoint(10, list.viewport()->height() - 3));
    }
    void ClickButton(int id) {
        QWidget* button = Item<CButton>(id).widget();
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }

    // A hook that answers every login dialog with `answer`.
    ScopedModalHook::Hook Answer(LoginAnswer& answer) {
        return [&answer](CDialog& dialog) {
            if (dialog.GetTemplateId() != IDD_LOGIN) {
                return;
            }
            ++answer.runs;
            answer.shownUser = dialog.GetDlgItemText(IDC_USER_NAME);
            answer.userEnabled = dialog.GetDlgItem(IDC_USER_NAME)->IsWindowEnabled();
            if (answer.cancel) {
                dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return;
            }
            if (answer.userEnabled) {
                dialog.SetDlgItemText(IDC_USER_NAME, answer.user);
            }
            dialog.SetDlgItemText(IDC_PASSWORD, answer.password);
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        };
    }

    int LoginRequests(const sim::VirtualRecorderPeer& peer) {
        return VirtualLab::CountHeard(peer, 102);
    }

    VirtualLab lab;
    ostrel::platform::FakeNetworkDrives drives;
    ostrel::platform::FakeVersionSource version{2, 6, 2, 9200};
    ostrel::platform::FakeUserAccount user{"tester"};
    ostrel::platform::PlatformServices services;
    std::unique_ptr<CLanscoutDlg> dlg;
};

}  // namespace

TEST_F(MainWindowTest, StartUpListsEveryRecorderInDiscoveryOrder) {
    lab.Add(MakeRecorder(1, "Front door"), {0});
    lab.Add(MakeRecorder(2, "Caf\xC3\xA9 Nord"), {0});
    auto third = MakeRecorder(3, "Warehouse");
    third.lan[0].ip = "10.20.0.50";
    third.lan[0].netmask = "255.255.0.0";
    third.lan[0].gateway = "10.20.0.1";
    lab.Add(third, {1});
    Open();

    EXPECT_EQ(dlg->GetWindowText(), QStringLiteral("Ostrel NVR Search Utility"));
    EXPECT_FALSE(dlg->GetIcon(TRUE).isNull());

    // The search went out once through each interface.
    std::set<int> interfaces;
    for (const auto& sent : lab.net().Sent()) {
        interfaces.insert(sent.interfaceIndex);
    }
    EXPECT_EQ(interfaces, (std::set<int>{0, 1}));

    CListCtrl& list = Devices();
    ASSERT_EQ(list.GetColumnCount(), 4);
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemText(0), "Name");
    EXPECT_EQ(list.GetColumnWidth(0), 94);
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemText(3), "Gateway");
    EXPECT_EQ(list.GetColumnWidth(3), 81);
    EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_FULLROWSELECT);
    ASSERT_EQ(Volumes().GetColumnCount(), 2);
    EXPECT_EQ(Volumes().GetHeaderCtrl()->GetItemText(0), "Volume Name");
    EXPECT_EQ(Volumes().GetColumnWidth(1), 111);

    ASSERT_EQ(list.GetItemCount(), 3);
    const char* rows[3][4] = {
        {"Front door", "192.168.10.101", "255.255.255.0", "192.168.10.1"},
        {"Caf\xC3\xA9 Nord", "192.168.10.102", "255.255.255.0", "192.168.10.1"},
        {"Warehouse", "10.20.0.50", "255.255.0.0", "10.20.0.1"},
    };
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(list.GetItemText(row, column), Utf8(rows[row][column]))
                << "row " << row << " column " << column;
        }
    }

    // One unauthenticated cache entry per row, keyed by the row's device id.
    EXPECT_EQ(dlg->Credentials().Size(), 3u);
    std::size_t row = 0;
    for (const DeviceRecord& record : DeviceTable) {
        const CredentialEntry* entry = dlg->Credentials().Find(DeviceKey(record.deviceId));
        ASSERT_NE(entry, nullptr);
        EXPECT_FALSE(entry->authenticated);
        DeviceId fromRow{};
        const DWORD_PTR data = list.GetItemData(static_cast<int>(row));
        std::memcpy(fromRow.data(), &data, fromRow.size());
        EXPECT_EQ(fromRow, record.deviceId);
        ++row;
    }

    EXPECT_EQ(dlg->deviceSelected, 0);
    EXPECT_EQ(Volumes().GetItemCount(), 0);
    EXPECT_TRUE(Ip().IsBlank());
    EXPECT_EQ(Dhcp().GetCurSel(), CB_ERR);
    EXPECT_EQ(Dhcp().GetCount(), 2);
    EXPECT_EQ(Dhcp().GetLBText(1), "Enable");
    EXPECT_TRUE(Item<CButton>(IDC_SEARCH).IsWindowEnabled());
}

TEST_F(MainWindowTest, StartUpWithoutRecordersShowsEmptyListsAndBlankFields) {
    Open();
    EXPECT_EQ(Devices().GetItemCount(), 0);
    EXPECT_EQ(Volumes().GetItemCount(), 0);
    EXPECT_TRUE(Ip().IsBlank());
    EXPECT_TRUE(Netmask().IsBlank());
    EXPECT_TRUE(Gateway().IsBlank());
    EXPECT_TRUE(dlg->Credentials().Empty());

    // The drive-letter list offers Z: to C:, the highest free letter chosen.
    CComboBox& letters = Item<CComboBox>(IDC_DRIVE_LETTERS);
    EXPECT_EQ(letters.GetCount(), 24);
    EXPECT_EQ(letters.GetLBText(0), "Z:");
    EXPECT_EQ(letters.GetCurSel(), 0);
}

// A computer whose every address is left out: loopback and a cable pulled.
class NoUsableInterface final : public NetIo {
public:
    std::vector<std::string> ListLocalAddresses() override { return {}; }
    std::vector<LocalAddressVerdict> DescribeLocalAddresses() override {
        return {{"lo", "127.0.0.1", LeftOutReason::Loopback},
                {"eth0", "10.0.0.5", LeftOutReason::NoCarrier}};
    }
    int OpenSendSocket(const std::string&) override { return -1; }
    int OpenReceiveSocket(const std::string&) override { return -1; }
    void CloseSocket(int) override {}
    bool SetMulticastInterface(int, const std::string&) override { return false; }
    bool SendToGroup(int, std::span<const std::uint8_t>) override { return false; }
    WaitResult WaitReadable(int, std::chrono::microseconds) override { return WaitResult::Error; }
    std::ptrdiff_t Receive(int, std::span<std::uint8_t>) override { return -1; }
    void Sleep(std::chrono::microseconds) override {}
    std::chrono::microseconds Now() override { return {}; }
};

TEST_F(MainWindowTest, WithoutAUsableInterfaceTheListIsEmptyAndStandardErrorSaysWhy) {
    NoUsableInterface none;
    ScopedActiveNetIo active(none);
    ::testing::internal::CaptureStderr();
    Open();
    ClickButton(IDC_SEARCH);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Devices().GetItemCount(), 0);
    const std::string why =
        "ostrel-nvr-search: no usable local IPv4 interface (up with carrier, multicast, not "
        "loopback) to search on\n"
        "left out 127.0.0.1 (lo): loopback\n"
        "left out 10.0.0.5 (eth0): no carrier\n";
    // Qt's own warnings may come between; the reason comes once per search.
    const std::size_t first = err.find(why);
    ASSERT_NE(first, std::string::npos) << err;
    EXPECT_NE(err.find(why, first + why.size()), std::string::npos) << "the button's search";
}

TEST_F(MainWindowTest, PickWithTheRightPasswordShowsTheRecorder) {
    auto state = MakeRecorder(1, "Front door");
    state.volumes = {"Volume_1",
                     "Aufnahmen_Gr\xC3\xBC\xC3\x9F"
                     "e"};
    state.lan[0].dns2 = "8.8.8.8";
    auto& peer = lab.Add(state, {1});
    Open();
    peer.ClearHeard();

    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));
    ScopedMessageBoxHook boxes;
    ClickRow(0);

    EXPECT_EQ(answer.runs, 1);
    EXPECT_EQ(answer.shownUser, "");  // a current system: empty and editable
    EXPECT_TRUE(answer.userEnabled);
    EXPECT_EQ(LoginRequests(peer), 1);
    EXPECT_TRUE(boxes.records().empty());

    EXPECT_EQ(dlg->deviceSelected, 1);
    EXPECT_EQ(Octets(Ip()), "192.168.10.101");
    EXPECT_EQ(Octets(Netmask()), "255.255.255.0");
    EXPECT_EQ(Octets(Gateway()), "192.168.10.1");
    EXPECT_EQ(Dhcp().GetCurSel(), 0);
    EXPECT_TRUE(Ip().IsWindowEnabled());
    EXPECT_TRUE(Netmask().IsWindowEnabled());
    EXPECT_TRUE(Gateway().IsWindowEnabled());
    EXPECT_EQ(dlg->ModelText(), "KVR-620");
    EXPECT_EQ(dlg->GetDlgItemText(IDC_MODEL_TEXT), "KVR-620");

    EXPECT_EQ(CurrentTargetId, state.deviceId);
    EXPECT_EQ(CurrentDeviceAddress, "192.168.10.101");
    EXPECT_EQ(LoginUser, "admin");
    EXPECT_EQ(LoginPassword, "pw");
    EXPECT_EQ(VirtualLab::CountHeard(peer, 164), 1);
    EXPECT_TRUE(dlg->Credentials().Find(DeviceKey(state.deviceId))->authenticated);

    ASSERT_EQ(Volumes().GetItemCount(), 2);
    EXPECT_EQ(Volumes().GetItemText(0, 0), "Volume_1");
    EXPECT_EQ(Volumes().GetItemText(1, 0), Utf8("Aufnahmen_Gr\xC3\xBC\xC3\x9F"
                                                "e"));
    EXPECT_EQ(Volumes().GetItemText(0, 1), "");
}

TEST_F(MainWindowTest, WrongPasswordTriesTwiceThenSaysSo) {
    auto& peer = lab.Add(MakeRecorder(1, "Front door", "secret"));
    Open();
    peer.ClearHeard();

    LoginAnswer answer;
    answer.password = "guess";
    ScopedModalHook hook(Answer(answer));
    ScopedMessageBoxHook boxes;
    ClickRow(0);

    EXPECT_EQ(LoginRequests(peer), 2);
    ASSERT_EQ(boxes.records().size(), 1u);
    EXPECT_EQ(boxes.records()[0].text, "Wrong administrator password input!");
    EXPECT_EQ(boxes.records()[0].caption, "Error");
    EXPECT_EQ(boxes.records()[0].icon(), MB_ICONERROR);

    // The pick stopped before the details: only the address is shown.
    EXPECT_EQ(Octets(Ip()), "192.168.10.101");
    EXPECT_TRUE(Netmask().IsBlank());
    EXPECT_TRUE(Gateway().IsBlank());
    EXPECT_EQ(Dhcp().GetCurSel(), CB_ERR);
    EXPECT_EQ(Volumes().GetItemCount(), 0);
    EXPECT_EQ(VirtualLab::CountHeard(peer, 164), 0);
    EXPECT_EQ(dlg->deviceSelected, 1);
}

TEST_F(MainWindowTest, LaterPicksUseTheCacheUntilTheNextSearch) {
    auto& first = lab.Add(MakeRecorder(1, "Front door"));
    lab.Add(MakeRecorder(2, "Back door"));
    Open();

    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));
    ClickRow(0);
    ClickRow(1);
    ASSERT_EQ(answer.runs, 2);
    first.ClearHeard();

    ClickRow(0);
    EXPECT_EQ(answer.runs, 2);  // no dialog
    EXPECT_EQ(LoginRequests(first), 0);
    EXPECT_EQ(Octets(Gateway()), "192.168.10.1");
    EXPECT_EQ(CurrentDeviceAddress, "192.168.10.101");

    // What the window shows while discovery runs: emptied lists and fields,
    // the search button disabled.
    struct Spy : VirtualPeer {
        std::function<void()> seen;
        void OnDatagram(int, std::span<const std::uint8_t>, VirtualNetIo&) override { seen(); }
    } spy;
    bool searchEnabled = true;
    int rowsDuring = -1;
    int volumesDuring = -1;
    bool ipBlankDuring = false;
    std::size_t cacheDuring = 99;
    spy.seen = [&] {
        searchEnabled = Item<CButton>(IDC_SEARCH).IsWindowEnabled() != FALSE;
        rowsDuring = Devices().GetItemCount();
        volumesDuring = Volumes().GetItemCount();
        ipBlankDuring = Ip().IsBlank() != FALSE;
        cacheDuring = dlg->Credentials().Size();
    };
    lab.net().Attach(spy, 0);
    ClickButton(IDC_SEARCH);
    lab.net().Detach(spy);
    EXPECT_FALSE(searchEnabled);
    EXPECT_EQ(rowsDuring, 0);
    EXPECT_EQ(volumesDuring, 0);
    EXPECT_TRUE(ipBlankDuring);
    EXPECT_EQ(cacheDuring, 0u);
    EXPECT_TRUE(Item<CButton>(IDC_SEARCH).IsWindowEnabled());
    EXPECT_EQ(Devices().GetItemCount(), 2);
    EXPECT_EQ(Volumes().GetItemCount(), 0);
    EXPECT_TRUE(Ip().IsBlank());
    EXPECT_EQ(dlg->deviceSelected, 0);
    EXPECT_EQ(Dhcp().GetCurSel(), 0);  // the search leaves the DHCP choice as it was
    for (const auto& [key, entry] : dlg->Credentials().Entries()) {
        EXPECT_FALSE(entry.authenticated) << key;
    }
    ClickRow(0);
    EXPECT_EQ(answer.runs, 3);
    EXPECT_EQ(LoginRequests(first), 1);
}

TEST_F(MainWindowTest, CancelledLoginEndsThePickQuietly) {
    auto& peer = lab.Add(MakeRecorder(1, "Front door"));
    Open();
    peer.ClearHeard();

    LoginAnswer answer;
    answer.cancel = true;
    ScopedModalHook hook(Answer(answer));
    ScopedMessageBoxHook boxes;
    ClickRow(0);

    EXPECT_EQ(answer.runs, 1);
    EXPECT_EQ(LoginRequests(peer), 0);
    EXPECT_TRUE(boxes.records().empty());
    EXPECT_EQ(Octets(Ip()), "192.168.10.101");
    EXPECT_TRUE(Netmask().IsBlank());
    EXPECT_EQ(Volumes().GetItemCount(), 0);
    EXPECT_FALSE(
        dlg->Credentials().Find(DeviceKey(peer.recorder().state().deviceId))->authenticated);
}

TEST_F(MainWindowTest, ClickBesideTheRowsOnlyClearsTheFields) {
    lab.Add(MakeRecorder(1, "Front door"));
    Open();
    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));
    ClickRow(0);
    ASSERT_EQ(Volumes().GetItemCount(), 2);
    dlg->deviceSelected = 0;

    ClickBelowRows();
    EXPECT_EQ(answer.runs, 1);
    EXPECT_EQ(dlg->deviceSelected, 1);
    EXPECT_TRUE(Ip().IsBlank());
    EXPECT_TRUE(Netmask().IsBlank());
    EXPECT_TRUE(Gateway().IsBlank());
    EXPECT_EQ(Devices().GetSelectedCount(), 0);
    EXPECT_EQ(Volumes().GetItemCount(), 2);  // the rest of the window stays
    EXPECT_EQ(Dhcp().GetCurSel(), 0);
}

TEST_F(MainWindowTest, KeyboardSelectionDoesNotPick) {
    lab.Add(MakeRecorder(1, "Front door"));
    lab.Add(MakeRecorder(2, "Back door"));
    Open();
    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));

    Devices().setFocus();
    Devices().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    QTest::keyClick(&Devices(), Qt::Key_Down);
    EXPECT_EQ(Devices().GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_EQ(answer.runs, 0);
    EXPECT_TRUE(Ip().IsBlank());
    EXPECT_EQ(dlg->deviceSelected, 0);
}

TEST_F(MainWindowTest, DhcpRecorderShowsEnableWithTheFieldsLocked) {
    auto state = MakeRecorder(1, "Front door");
    state.lan[0].dhcp = true;
    lab.Add(state);
    Open();
    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));
    ClickRow(0);

    EXPECT_EQ(Dhcp().GetCurSel(), 1);
    EXPECT_EQ(Dhcp().GetLBText(Dhcp().GetCurSel()), "Enable");
    EXPECT_FALSE(Ip().IsWindowEnabled());
    EXPECT_FALSE(Netmask().IsWindowEnabled());
    EXPECT_FALSE(Gateway().IsWindowEnabled());
    EXPECT_EQ(Octets(Ip()), "192.168.10.101");
}

TEST_F(MainWindowTest, OddNetmaskAndGatewayTexts) {
    auto state = MakeRecorder(1, "Front door");
    state.lan[0].netmask = "";
    state.lan[0].gateway = "0.0.0.0";
    lab.Add(state);
    auto other = MakeRecorder(2, "Back door");
    other.lan[0].netmask = "not a mask";
    other.lan[0].gateway = "";
    lab.Add(other);
    Open();
    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));

    ClickRow(0);
    EXPECT_EQ(Octets(Netmask()), "255.255.255.255");
    EXPECT_TRUE(Gateway().IsBlank());
    ClickRow(1);
    EXPECT_EQ(Octets(Netmask()), "255.255.255.255");
    EXPECT_TRUE(Gateway().IsBlank());
}

TEST_F(MainWindowTest, VolumeLocationsComeFromTheDriveLetters) {
    auto state = MakeRecorder(1, "Front door");
    state.volumes = {"Volume_1", "Volume_2",
                     "Archiv_\xC3\x9C"
                     "bersicht",
                     "Volume_3"};
    lab.Add(state);
    drives.Connect('Y', "\\\\front door\\VOLUME_1");
    drives.Connect('M', "\\\\192.168.10.101\\volume_1");
    drives.Connect('Q', "\\\\Front door\\Volume_2");
    drives.Connect('P',
                   "\\\\FRONT DOOR\\archiv_\xC3\xBC"
                   "bersicht");
    drives.Connect('K', "\\\\192.168.10.199\\Volume_3");  // another recorder
    Open();

    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));
    ClickRow(0);
    ASSERT_EQ(Volumes().GetItemCount(), 4);
    EXPECT_EQ(Volumes().GetItemText(0, 1), "M:");  // the letter nearest A
    EXPECT_EQ(Volumes().GetItemText(1, 1), "Q:");
    EXPECT_EQ(Volumes().GetItemText(2, 0), Utf8("Archiv_\xC3\x9C"
                                                "bersicht"));
    EXPECT_EQ(Volumes().GetItemText(2, 1), "P:");
    EXPECT_EQ(Volumes().GetItemText(3, 1), "");

    // Connected letters are listed with their connection.
    CComboBox& letters = Item<CComboBox>(IDC_DRIVE_LETTERS);
    EXPECT_EQ(letters.GetLBText(1), "Y: \\\\front door\\VOLUME_1");
}

TEST_F(MainWindowTest, LoginDialogUserNameRules) {
    lab.Add(MakeRecorder(1, "Front door"));
    Open();
    {
        LoginNameFixed = 1;
        LoginAnswer answer;
        ScopedModalHook hook(Answer(answer));
        ClickRow(0);
        EXPECT_EQ(answer.shownUser, "admin");
        EXPECT_FALSE(answer.userEnabled);
        EXPECT_EQ(LoginUser, "admin");
        LoginNameFixed = 0;
    }
    ClickButton(IDC_SEARCH);
    {
        // On the systems that log on as the Windows user the field shows
        // that user, locked.
        version.platformId = 1;
        version.majorVersion = 4;
        version.minorVersion = 90;
        LoginAnswer answer;
        answer.password = "wrong";
        ScopedModalHook hook(Answer(answer));
        ScopedMessageBoxHook boxes;
        ClickRow(0);
        EXPECT_EQ(answer.shownUser, "tester");
        EXPECT_FALSE(answer.userEnabled);
        EXPECT_EQ(LoginUser, "tester");
    }
    {
        // The fields: 16 characters at most, the password masked.
        QString limit;
        bool masked = false;
        ScopedModalHook hook([&](CDialog& dialog) {
            auto* userEdit = dialog.GetDlgItemAs<CEdit>(IDC_USER_NAME);
            auto* passwordEdit = dialog.GetDlgItemAs<CEdit>(IDC_PASSWORD);
            ASSERT_NE(userEdit, nullptr);
            ASSERT_NE(passwordEdit, nullptr);
            limit = QString::number(userEdit->GetLimitText()) + "/" +
                    QString::number(passwordEdit->GetLimitText());
            passwordEdit->setFocus();
            QTest::keyClicks(passwordEdit, QStringLiteral("0123456789abcdefXYZ"));
            masked = passwordEdit->echoMode() == QLineEdit::Password;
            EXPECT_EQ(passwordEdit->text(), "0123456789abcdef");
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        version.platformId = 2;
        version.majorVersion = 6;
        version.minorVersion = 2;
        ClickRow(0);
        EXPECT_EQ(limit, "16/16");
        EXPECT_TRUE(masked);
    }
}

TEST_F(MainWindowTest, HiddenControlsStayHidden) {
    lab.Add(MakeRecorder(1, "Front door"));
    Open();
    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));
    ClickRow(0);
    ClickButton(IDC_SEARCH);
    ClickRow(0);
    // The window's first controls are the template's, in template order:
    // those created hidden are still hidden, all others show.
    const DialogTemplate& t = ProductDialogTemplate(IDD_MAIN);
    ASSERT_GE(dlg->Controls().size(), t.controls.size());
    int hidden = 0;
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const bool shown = dlg->Controls()[i]->IsWindowVisible() != FALSE;
        EXPECT_EQ(shown, t.controls[i].visible()) << "control " << i << " id " << t.controls[i].id;
        hidden += shown ? 0 : 1;
    }
    EXPECT_EQ(hidden, 9);  // three buttons, three labels and their three texts
    for (int id : {IDC_CODEPAGE_INSTALL, IDC_ADDON_INSTALL, IDC_WIDGET, IDC_MODEL_TEXT}) {
        EXPECT_FALSE(dlg->GetDlgItem(id)->IsWindowVisible()) << id;
    }
}

TEST_F(MainWindowTest, SkinnedButtonsAreNamed) {
    Open();
    const std::pair<int, const char*> names[] = {
        {IDC_SEARCH, "Search"},       {IDC_WEB_CONSOLE, "Configure"}, {IDC_APPLY, "Apply"},
        {IDC_MAP_DRIVE, "Map Drive"}, {IDC_UNMAP_DRIVE, "Unmap"},     {IDC_ABOUT, "About"},
        {IDC_EXIT, "Exit"},           {IDC_MINIMIZE, "Minimize"},     {IDC_CLOSE, "Close"},
    };
    for (const auto& [id, name] : names) {
        QWidget* button = dlg->GetDlgItem(id)->widget();
        EXPECT_EQ(button->accessibleName(), name) << id;
        EXPECT_FALSE(button->toolTip().isEmpty()) << id;
        EXPECT_TRUE(dynamic_cast<CxSkinButton*>(dlg->GetDlgItem(id)) != nullptr) << id;
    }
    EXPECT_TRUE(dlg->GetMessageMap().problems().empty());
}

TEST_F(MainWindowTest, LooksCornersAndMovingBySurface) {
    Open();
    // Static texts are drawn black and transparent.
    CtlColor color;
    color.ctlType = CTLCOLOR_STATIC;
    color.textColor = RGB(1, 2, 3);
    dlg->SendMessage(WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&color));
    EXPECT_EQ(color.textColor, RGB(0, 0, 0));
    EXPECT_EQ(color.bkMode, TRANSPARENT);
    EXPECT_EQ(color.brush, CtlColor::Brush::Null);

    // The corners are cut, and cut again after the window was minimised.
    const int cx = dlg->width();
    const int cy = dlg->height();
    for (int pass = 0; pass < 2; ++pass) {
        const QRegion region = dlg->GetWindowRgn();
        EXPECT_FALSE(region.contains(QPoint(0, 0)));
        EXPECT_FALSE(region.contains(QPoint(10, 0)));
        EXPECT_TRUE(region.contains(QPoint(0, 5)));
        EXPECT_FALSE(region.contains(QPoint(0, 4)));
        EXPECT_TRUE(region.contains(QPoint(cx / 2, cy - 1)));
        EXPECT_FALSE(region.contains(QPoint(cx - 1, cy - 5)));
        dlg->SendMessage(WM_SIZE, SIZE_MINIMIZED, 0);
        dlg->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(cx, cy));
    }

    int moves = 0;
    CDialog::SetWindowMoveHook([&moves](CDialog&, QPoint) { ++moves; });
    QTest::mousePress(dlg.get(), Qt::LeftButton, {}, QPoint(cx / 2, 20));  // the title band
    QTest::mouseRelease(dlg.get(), Qt::LeftButton, {}, QPoint(cx / 2, 20));
    QApplication::processEvents();
    EXPECT_EQ(moves, 1);
    QTest::mouseClick(Devices().viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_EQ(moves, 1);
    CDialog::SetWindowMoveHook({});
}

// On Wayland the window system shows the whole surface whatever its mask:
// the window is translucent there and paints only inside its region, so
// the cut corners show what lies behind. The same window, made to paint
// that way here, must leave every pixel outside the region transparent and
// none inside it.
TEST_F(MainWindowTest, ShapedByPaintingTheRegionIsTheOnlyOpaquePart) {
    InitNetwork();
    dlg = std::make_unique<CLanscoutDlg>(services);
    // Where the mask cuts the window (X11) it stays an opaque window.
    EXPECT_FALSE(dlg->testAttribute(Qt::WA_TranslucentBackground));
    skin::PrepareRegionShaping(*dlg, skin::RegionShaping::ByPainting);
    ASSERT_TRUE(dlg->Create());
    dlg->show();
    QApplication::processEvents();
    const QRegion region = dlg->GetWindowRgn();
    ASSERT_FALSE(region.isEmpty());
    const QImage picture = dlg->grab().toImage();
    ASSERT_EQ(picture.size(), dlg->size());
    int opaqueOutside = 0;
    int clearInside = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const int alpha = qAlpha(picture.pixel(x, y));
            if (region.contains(QPoint(x, y)))
                clearInside += alpha != 255;
            else
                opaqueOutside += alpha != 0;
        }
    }
    EXPECT_EQ(opaqueOutside, 0);
    EXPECT_EQ(clearInside, 0);
}

TEST_F(MainWindowTest, AboutBoxShowsTheProgramAndVersion) {
    Open();
    QStringList texts;
    ScopedModalHook hook([&](CDialog& dialog) {
        for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_NOTICE, IDC_ABOUT_VERSION}) {
            texts << dialog.GetDlgItemText(id);
        }
        EXPECT_EQ(dialog.GetDlgItem(IDOK)->widget()->accessibleName(), "OK");
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    ClickButton(IDC_ABOUT);
    ASSERT_EQ(hook.runs(), std::vector<int>{IDD_ABOUT});
    EXPECT_EQ(texts[0], "Ostrel NVR Search Utility");
    EXPECT_FALSE(texts[1].isEmpty());
    EXPECT_EQ(texts[2], "Version : 1.0.2.2");
}

// The window as a user sees it after the start-up search and after a pick.
// With OSTREL_SCREENSHOT_DIR set the pictures are also saved there.
TEST_F(MainWindowTest, WindowPictures) {
    lab.Add(MakeRecorder(1, "Front door"), {0});
    lab.Add(MakeRecorder(2, "Caf\xC3\xA9 Nord"), {0});
    lab.Add(MakeRecorder(3, "Warehouse"), {1});
    drives.Connect('X', "\\\\Front door\\Volume_2");
    Open();
    const QString dir = qEnvironmentVariable("OSTREL_SCREENSHOT_DIR");
    const QImage started = dlg->grab().toImage();
    ASSERT_FALSE(started.isNull());
    // The background bitmap is painted, not the plain dialog face.
    EXPECT_NE(started.pixelColor(started.width() / 2, 4), sysColor(COLOR_BTNFACE));
    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));
    ClickRow(0);
    const QImage picked = dlg->grab().toImage();
    if (!dir.isEmpty()) {
        started.save(dir + "/main-window-started.png");
        picked.save(dir + "/main-window-picked.png");
        ScopedModalHook grabLogin([&dir](CDialog& dialog) {
            dialog.grab().save(dir +
                               (dialog.GetTemplateId() == IDD_LOGIN ? "/login.png" : "/about.png"));
            dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        ClickButton(IDC_SEARCH);
        ClickRow(1);
        ClickButton(IDC_ABOUT);
    }
}

// Names longer than their fields or not valid UTF-8 reach the lists cut and
// replaced, and nothing is written past a buffer (the sanitizer runs see it).
TEST_F(MainWindowTest, LongAndMalformedNamesStayWithinTheirBounds) {
    std::string longName(300, 'n');
    longName[5] = '\xFF';
    auto state = MakeRecorder(1, longName);
    std::string wide;
    for (int i = 0; i < 150; ++i) {
        wide += "\xC3\xA9";  // 300 bytes of two-byte characters
    }
    state.volumes = {wide, "bad_\xFF\xFE_name"};
    lab.Add(state);
    Open();
    // The name is cut to its 255-byte field; the stray byte shows as U+FFFD.
    ASSERT_EQ(Devices().GetItemCount(), 1);
    EXPECT_EQ(Devices().GetItemText(0, 0),
              QString(5, 'n') + QChar(QChar::ReplacementCharacter) + QString(249, 'n'));

    LoginAnswer answer;
    ScopedModalHook hook(Answer(answer));
    ClickRow(0);
    // The long volume name loses the character its field cut in half, never
    // more than that; malformed bytes are replaced, not dropped.
    ASSERT_EQ(Volumes().GetItemCount(), 2);
    EXPECT_EQ(Volumes().GetItemText(0, 0), QString(127, QChar(0xE9)));
    EXPECT_EQ(Volumes().GetItemText(1, 0), Utf8("bad_\xEF\xBF\xBD\xEF\xBF\xBD_name"));
    EXPECT_EQ(CurrentDeviceAddress, "192.168.10.101");
}

// A search that runs while the login dialog is open (a command already queued
// for the window) rebuilds the device table under the pick: the pick goes on
// with the record as it is now, never with the one the search freed.
TEST_F(MainWindowTest, SearchDuringTheLoginDoesNotLeaveThePickWithAFreedRecord) {
    lab.Add(MakeRecorder(1, "Front door"));
    auto state = MakeRecorder(2, "Back door");
    state.lan[0].dhcp = true;
    lab.Add(state);
    Open();
    LoginAnswer answer;
    ScopedModalHook hook([&](CDialog& dialog) {
        if (dialog.GetTemplateId() != IDD_LOGIN) {
            return;
        }
        dlg->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_SEARCH, BN_CLICKED), 0);
        QApplication::processEvents();
        Answer(answer)(dialog);
    });
    ClickRow(1);
    EXPECT_EQ(answer.runs, 1);
    EXPECT_EQ(Dhcp().GetCurSel(), 1);
    EXPECT_EQ(dlg->ModelText(), state.model);
    EXPECT_EQ(CurrentTargetId, state.deviceId);
}

// An exit command queued while the login dialog is open ends the dialog's run
// first and closes the window after it: no tear-down under the dialog.
TEST_F(MainWindowTest, ExitWhileTheLoginDialogIsOpenEndsTheDialogFirst) {
    lab.Add(MakeRecorder(1, "Front door"));
    InitNetwork();
    dlg = std::make_unique<CLanscoutDlg>(services);
    bool loginStillOpen = false;
    bool windowAliveUnderTheDialog = false;
    int loginRuns = 0;
    ScopedModalHook hook([&](CDialog& dialog) {
        if (dialog.GetTemplateId() != IDD_LOGIN) {
            ClickRow(0);
            return;
        }
        ++loginRuns;
        dlg->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED), 0);
        QApplication::processEvents();
        windowAliveUnderTheDialog = dlg->IsCreated() && !LocalAddressTable.empty();
        loginStillOpen = dialog.IsRunningModal();
        if (loginStillOpen) {
            dialog.EndDialog(IDCANCEL);  // do not hang the suite
        }
    });
    dlg->DoModal();
    EXPECT_EQ(loginRuns, 1);
    EXPECT_FALSE(loginStillOpen);
    EXPECT_TRUE(windowAliveUnderTheDialog);
    EXPECT_FALSE(dlg->IsCreated());
    EXPECT_TRUE(lab.sockets().EverySocketClosedOnce());
    EXPECT_TRUE(DeviceTable.empty());
    dlg.reset();
}

// Every way of closing the window ends the program the same way: the device
// table and volume list emptied, every socket closed exactly once.
TEST_F(MainWindowTest, EveryWayOutTearsDownOnce) {
    struct Way {
        const char* name;
        std::function<void(MainWindowTest&, CDialog&)> close;
    };
    const Way ways[] = {
        {"exit button", [](MainWindowTest& t, CDialog&) { t.ClickButton(IDC_EXIT); }},
        {"close button", [](MainWindowTest& t, CDialog&) { t.ClickButton(IDC_CLOSE); }},
        {"Escape", [](MainWindowTest&, CDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"Enter", [](MainWindowTest&, CDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }},
        {"window manager close", [](MainWindowTest&, CDialog& d) { d.close(); }},
    };
    lab.Add(MakeRecorder(1, "Front door"), {0, 1});
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        lab.sockets().closes.clear();
        lab.sockets().opened = 0;
        InitNetwork();
        ASSERT_EQ(lab.sockets().opened, 4);
        dlg = std::make_unique<CLanscoutDlg>(services);
        LoginAnswer answer;
        bool pickedBeforeClosing = false;
        ScopedModalHook hook([&](CDialog& dialog) {
            if (dialog.GetTemplateId() == IDD_LOGIN) {
                Answer(answer)(dialog);
                return;
            }
            ClickRow(0);
            pickedBeforeClosing =
                dlg->Credentials().Find(DeviceKey(DeviceTable.front().deviceId))->authenticated;
            way.close(*this, dialog);
        });
        dlg->DoModal();
        EXPECT_TRUE(pickedBeforeClosing);
        EXPECT_TRUE(lab.sockets().EverySocketClosedOnce());
        EXPECT_TRUE(LocalAddressTable.empty());
        EXPECT_TRUE(DeviceTable.empty());
        EXPECT_TRUE(VolumeList.empty());
        EXPECT_TRUE(dlg->Credentials().Empty());
        EXPECT_FALSE(dlg->IsCreated());
        dlg.reset();
    }
}

TEST_F(MainWindowTest, HiddenAddOnCommandsAreBound) {
    Open();
    ScopedMessageBoxHook boxes;
    // Nothing picked yet: each hidden command says so and does nothing more.
    for (int id : {IDC_CODEPAGE_INSTALL, IDC_ADDON_INSTALL, IDC_WIDGET}) {
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    ASSERT_EQ(boxes.records().size(), 3u);
    EXPECT_EQ(boxes.records()[0].text, QStringLiteral("Please select a device."));
    EXPECT_EQ(boxes.records()[1].text, QStringLiteral("Please select a device."));
    EXPECT_EQ(boxes.records()[2].text, QStringLiteral("Please select a server."));
    for (const auto& record : boxes.records()) {
        EXPECT_EQ(record.owner, dlg.get());
    }
    // The window answers the add-on queries as the recorders do: not at all.
    EXPECT_EQ(dlg->Addons().services, &services);
    EXPECT_EQ(dlg->Addons().device->QueryDiskStatus(), 0);
}

// Counts the paint events every widget of the application receives while
// it is installed.
class PaintCounter : public QObject {
public:
    PaintCounter() { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int total() const { return total_; }
    // The widgets painted, by class and object name, for a failure message.
    std::string painted() const {
        std::string text;
        for (const auto& [name, count] : counts_) {
            text += name + " x" + std::to_string(count) + "; ";
        }
        return text;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++total_;
            ++counts_[std::string(watched->metaObject()->className()) + " " +
                      watched->objectName().toStdString()];
        }
        return false;
    }

private:
    int total_ = 0;
    std::map<std::string, int> counts_;
};

// Lets the window do whatever is pending (until 300 ms pass without a
// paint, 5 s at most, so a late paint on a busy machine is not counted),
// then counts the paints of an interval in which nothing happens to it.
int PaintsWhileIdle(int ms = 600) {
    QElapsedTimer settling;
    settling.start();
    for (int painted = 1; painted > 0 && settling.elapsed() < 5000;) {
        PaintCounter settle;
        QTest::qWait(300);
        painted = settle.total();
    }
    PaintCounter counter;
    QTest::qWait(ms);
    EXPECT_EQ(counter.total(), 0) << counter.painted();
    return counter.total();
}

// A window left alone after its start-up search paints nothing: no paint
// may schedule the next one (the lists' scroll bars and header once
// repainted each other without end, a whole core while idle).
TEST_F(MainWindowTest, AnIdleWindowPaintsNothing) {
    // No recorder: both lists empty, which is where the loop showed.
    Open();
    ASSERT_EQ(Devices().GetItemCount(), 0);
    PaintsWhileIdle();
}

TEST_F(MainWindowTest, AnIdleWindowPaintsNothingAfterAPick) {
    for (int n = 1; n <= 3; ++n) {
        lab.Add(MakeRecorder(n, "NVR " + std::to_string(n)));
    }
    Open();
    PaintsWhileIdle();
    // While the login dialog is open over it, then with the volumes listed
    // and the fields filled.
    LoginAnswer answer;
    int quietLogins = 0;
    ScopedModalHook hook([&, answerLogin = Answer(answer)](CDialog& dialog) {
        // The user name field's blinking caret is the one thing that may
        // repaint; it is held still for the count.
        const int flash = QApplication::cursorFlashTime();
        QApplication::setCursorFlashTime(0);
        quietLogins += PaintsWhileIdle() == 0 ? 1 : 0;
        QApplication::setCursorFlashTime(flash);
        answerLogin(dialog);
    });
    ClickRow(0);
    EXPECT_EQ(quietLogins, 1);
    ASSERT_EQ(answer.runs, 1);
    ASSERT_GT(Volumes().GetItemCount(), 0);
    PaintsWhileIdle();
}

// Hovering a button, pressing and releasing it, and scrolling the list each
// repaint what changed a bounded number of times, then the window is quiet.
TEST_F(MainWindowTest, HoverClickAndScrollRepaintBriefly) {
    for (int n = 1; n <= 30; ++n) {
        lab.Add(MakeRecorder(n, "NVR " + std::to_string(n)));
    }
    Open();
    PaintsWhileIdle();
    // Pressed on Minimize, released away from it: no command runs.
    QWidget* button = dlg->GetDlgItem(IDC_MINIMIZE)->widget();
    {
        PaintCounter counter;
        QTest::mouseMove(button, button->rect().center());
        QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
        QTest::mouseMove(dlg.get(), QPoint(dlg->width() / 2, dlg->height() / 2));
        QTest::mouseRelease(dlg.get(), Qt::LeftButton, {},
                            QPoint(dlg->width() / 2, dlg->height() / 2));
        QTest::qWait(100);
        EXPECT_GT(counter.total(), 0);
        EXPECT_LT(counter.total(), 40) << counter.painted();
    }
    PaintsWhileIdle();
    auto* list = dynamic_cast<CSkinListCtrl*>(&Devices());
    ASSERT_NE(list, nullptr);
    // A repaint of the list leaves its bars alone while they would look the
    // same.
    {
        PaintCounter counter;
        list->viewport()->update();
        QTest::qWait(100);
        EXPECT_GT(counter.total(), 0);
        EXPECT_EQ(counter.painted().find("Scrollbar"), std::string::npos) << counter.painted();
    }
    {
        PaintCounter counter;
        const int before = list->GetTopIndex();
        list->VerticalBar().LineDown();
        list->VerticalBar().PageDown();
        QTest::qWait(100);
        EXPECT_GT(list->GetTopIndex(), before);
        EXPECT_GT(counter.total(), 0);
        EXPECT_LT(counter.total(), 40) << counter.painted();
    }
    PaintsWhileIdle();
}

namespace {

// The windows are built from the product's templates with its fonts, as the
// program does at start-up.
[[maybe_unused]] const bool kSetUp = ostrel::test::SetQtTestSetup({
    .withApplication =
        [] {
            EnsureDialogFonts();
            res::RegisterProductDialogTemplates();
        },
});

}  // namespace
