#include "tests/app/commands_harness.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "app/login_policy.h"
#include "app/web_console.h"
#include "platform/dialog/dialog.h"
#include "protocol/network.h"
#include "res/templates/control_ids.h"

using namespace ostrel::dialog;

using namespace res;

bool GatedProbe::InternetCheckConnectionA(const char* url, std::uint32_t, std::uint32_t) {
    std::unique_lock lock(mutex_);
    urls_.emplace_back(url != nullptr ? url : "");
    changed_.notify_all();
    if (atOnce_) {
        return *atOnce_;
    }
    changed_.wait(lock, [this] { return answer_.has_value() || released_; });
    const bool reachable = answer_.value_or(false);
    answer_.reset();
    return reachable;
}

void GatedProbe::Answer(bool reachable) {
    std::lock_guard lock(mutex_);
    answer_ = reachable;
    changed_.notify_all();
}

void GatedProbe::AnswerAtOnce(bool reachable) {
    std::lock_guard lock(mutex_);
    atOnce_ = reachable;
    changed_.notify_all();
}

void GatedProbe::Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

std::vector<std::string> GatedProbe::Urls() const {
    std::lock_guard lock(mutex_);
    return urls_;
}

int GatedProbe::Checks() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(urls_.size());
}

bool WaitForProbeAnswer() {
    // The worker stores right after the probe returns; this only waits for
    // that thread to be scheduled, it times nothing.
    for (int i = 0; i < 5000; ++i) {
        if (ProbeResult.load() != kProbePending) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

CommandsHarness::CommandsHarness() {
    services.drives = &drives;
    services.files = &files;
    services.launcher = &launcher;
    services.registry = &registry;
    services.probe = &probe;
    services.version = &version;
    services.user = &user;
    LoginNameFixed = 0;
    ProbeResult.store(kProbePending);
}

CommandsHarness::~CommandsHarness() {
    // A probe still waiting must be let go before the window joins it.
    probe.Release();
    Close();
    ShutdownNetwork();
    LoginNameFixed = 0;
    ProbeResult.store(kProbePending);
}

void CommandsHarness::Open() {
    InitNetwork();
    dialog = std::make_unique<CLanscoutDlg>(services);
    dialog->WebConsole().sleep = [this](unsigned milliseconds) {
        EXPECT_EQ(milliseconds, 1000u);
        ++sleeps;
        if (onSleep) {
            onSleep(sleeps);
        }
    };
    ASSERT_TRUE(dialog->Create());
    dialog->show();
    QApplication::processEvents();
}

void CommandsHarness::Close() {
    if (dialog) {
        if (dialog->IsCreated()) {
            dialog->DestroyWindow();
        }
        dialog.reset();
    }
}

CListCtrl& CommandsHarness::devices() const {
    return *dialog->GetDlgItemAs<CListCtrl>(IDC_DEVICE_LIST);
}

CListCtrl& CommandsHarness::volumes() const {
    return *dialog->GetDlgItemAs<CListCtrl>(IDC_VOLUME_LIST);
}

CIPAddressCtrl& CommandsHarness::field(int id) const {
    return *dialog->GetDlgItemAs<CIPAddressCtrl>(id);
}

CComboBox& CommandsHarness::dhcp() const {
    return *dialog->GetDlgItemAs<CComboBox>(IDC_DHCP);
}

CWnd& CommandsHarness::button(int id) const {
    return *dialog->GetDlgItem(id);
}

bool CommandsHarness::ClickRow(int row, const std::string& password, const std::string& userName) {
    bool opened = false;
    ScopedModalHook answer([&](CDialog& login) {
        opened = true;
        loginUserNames.push_back(login.GetDlgItemText(IDC_USER_NAME));
        loginUserNameEnabled.push_back(login.GetDlgItem(IDC_USER_NAME)->IsWindowEnabled() != FALSE);
        if (password.empty()) {
            login.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        if (login.GetDlgItem(IDC_USER_NAME)->IsWindowEnabled()) {
            login.SetDlgItemText(IDC_USER_NAME, QString::fromStdString(userName));
        }
        login.SetDlgItemText(IDC_PASSWORD, QString::fromStdString(password));
        login.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    CListCtrl& list = devices();
    list.EnsureVisible(row);
    const QPoint point = list.GetItemRect(row).center() - list.viewport()->geometry().topLeft();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, point);
    QApplication::processEvents();
    return opened;
}

void CommandsHarness::ClickEmptyListArea() {
    CListCtrl& list = devices();
    const QPoint point(10, list.viewport()->height() - 3);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, point);
    QApplication::processEvents();
}

void CommandsHarness::Command(int id) {
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dialog->GetDlgItem(id)));
    QApplication::processEvents();
}

void CommandsHarness::ChooseDhcp(int item) {
    // As a choice in the drop-down list: the box tells the window itself.
    static_cast<QComboBox&>(dhcp()).setCurrentIndex(item);
    QApplication::processEvents();
}

void CommandsHarness::Type(int id, int a, int b, int c, int d) {
    CIPAddressCtrl& address = field(id);
    address.ClearAddress();
    const int octets[4] = {a, b, c, d};
    for (int k = 0; k < 4; ++k) {
        if (octets[k] >= 0) {
            address.Field(k)->setText(QString::number(octets[k]));
        }
    }
}

std::vector<std::string> CommandsHarness::Column(int column) const {
    std::vector<std::string> texts;
    for (int row = 0; row < devices().GetItemCount(); ++row) {
        texts.push_back(devices().GetItemText(row, column).toStdString());
    }
    return texts;
}

std::vector<QString> CommandsHarness::BoxTexts() const {
    std::vector<QString> texts;
    for (const auto& record : boxes.records()) {
        texts.push_back(record.text);
    }
    return texts;
}
