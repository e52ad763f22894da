// The LAN settings editor through the real main window: the DHCP choice, the
// apply command's checks in their order, the requests that reach the model
// recorders, and the rediscovery after a change.

#include "app/lan_settings_editor.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "app/login_policy.h"
#include "protocol/device_key.h"
#include "protocol/globals.h"
#include "protocol/packet_format.h"
#include "res/templates/control_ids.h"
#include "tests/app/commands_harness.h"

using namespace ostrel::dialog;

using namespace res;

namespace {

// Hears what the window sends and notes, for every discovery, whether the
// search button was enabled and how many message boxes had been shown.
class DiscoverySpy final : public VirtualPeer {
public:
    explicit DiscoverySpy(CommandsHarness& h) : harness(h) {}
    void OnDatagram(int, std::span<const std::uint8_t> bytes, VirtualNetIo&) override {
        if (bytes.size() >= 4 && ReadU16(bytes, 2) == OP_DISCOVER && harness.dialog) {
            searchEnabled.push_back(harness.button(IDC_SEARCH).IsWindowEnabled() != FALSE);
            boxesShown.push_back(harness.boxes.records().size());
        }
    }
    CommandsHarness& harness;
    std::vector<bool> searchEnabled;
    std::vector<std::size_t> boxesShown;
};

class LanEditor : public ::testing::Test {
protected:
    void SetUp() override {
        one = &h.lab.Add(MakeRecorder(1, "NVR-One"));
        two = &h.lab.Add(MakeRecorder(2, "NVR-Two"));
        h.Open();
        ASSERT_EQ(h.devices().GetItemCount(), 2);
    }

    // Picks NVR-One with the right password.
    void PickOne() {
        ASSERT_TRUE(h.ClickRow(0));
        ASSERT_EQ(CurrentTargetId, one->recorder().state().deviceId);
        h.boxes.clear();
    }

    int Heard(const sim::VirtualRecorderPeer* peer, std::uint16_t opcode) const {
        return VirtualLab::CountHeard(*peer, opcode);
    }
    int LanRequests() const {
        return Heard(one, OP_SET_LAN_STATIC) + Heard(one, OP_SET_LAN_DHCP) +
               Heard(two, OP_SET_LAN_STATIC) + Heard(two, OP_SET_LAN_DHCP);
    }

    void ExpectOneBox(const char* text, const char* caption, UINT icon) {
        ASSERT_EQ(h.boxes.records().size(), 1u) << "boxes shown";
        const MessageBoxRecord& box = h.boxes.records()[0];
        EXPECT_EQ(box.text, QString::fromLatin1(text));
        EXPECT_EQ(box.caption, QString::fromLatin1(caption));
        EXPECT_EQ(box.icon(), icon);
        EXPECT_EQ(box.owner, h.dialog.get());
        EXPECT_EQ(box.flags & MB_TYPEMASK, MB_OK);
    }

    std::string Shown(int id) const { return h.field(id).GetWindowText().toStdString(); }

    CommandsHarness h;
    sim::VirtualRecorderPeer* one = nullptr;
    sim::VirtualRecorderPeer* two = nullptr;
};

TEST_F(LanEditor, DhcpChoiceSwitchesTheAddressFields) {
    PickOne();
    EXPECT_EQ(h.dhcp().GetCurSel(), 0);
    h.ChooseDhcp(1);
    for (int id : {IDC_IP_ADDRESS, IDC_NETMASK, IDC_GATEWAY}) {
        EXPECT_FALSE(h.field(id).IsWindowEnabled()) << id;
    }
    h.ChooseDhcp(0);
    for (int id : {IDC_IP_ADDRESS, IDC_NETMASK, IDC_GATEWAY}) {
        EXPECT_TRUE(h.field(id).IsWindowEnabled()) << id;
    }
    // With no item selected the notification changes nothing.
    h.ChooseDhcp(1);
    h.dhcp().SetCurSel(-1);
    h.dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DHCP, CBN_SELCHANGE), 0);
    EXPECT_FALSE(h.field(IDC_IP_ADDRESS).IsWindowEnabled());
    EXPECT_TRUE(h.boxes.records().empty());
}

TEST_F(LanEditor, ApplyBeforeAnyPickAsksForADevice) {
    h.Command(IDC_APPLY);
    ExpectOneBox(kSelectDeviceAboveText, "Error", MB_ICONERROR);
    EXPECT_EQ(LoginNameFixed, 1);
    EXPECT_EQ(LanRequests(), 0);

    // The pick that follows asks for the password under the fixed "admin".
    ASSERT_TRUE(h.ClickRow(1));
    ASSERT_EQ(h.loginUserNames.size(), 1u);
    EXPECT_EQ(h.loginUserNames[0], QStringLiteral("admin"));
    EXPECT_FALSE(h.loginUserNameEnabled[0]);
}

TEST_F(LanEditor, ApplyAfterAClickOnNoRowWorksOnTheLastPick) {
    PickOne();
    h.ClickEmptyListArea();
    ASSERT_EQ(h.devices().GetSelectedCount(), 0);
    EXPECT_EQ(h.dialog->deviceSelected, 1);
    EXPECT_TRUE(h.field(IDC_IP_ADDRESS).IsBlank());
    // "Disable" is still chosen and the cleared IP field is refused.
    h.Command(IDC_APPLY);
    ExpectOneBox(kMessageNoIp.data(), "Warning", MB_ICONEXCLAMATION);
    h.boxes.clear();
    // Typed in again, the change goes to the last picked recorder.
    h.Type(IDC_IP_ADDRESS, 192, 168, 10, 150);
    h.Type(IDC_NETMASK, 255, 255, 255, 0);
    h.Type(IDC_GATEWAY, 192, 168, 10, 1);
    h.Command(IDC_APPLY);
    EXPECT_TRUE(h.boxes.records().empty());
    EXPECT_EQ(Heard(one, OP_SET_LAN_STATIC), 1);
    EXPECT_EQ(one->recorder().state().lan[0].ip, "192.168.10.150");
}

TEST_F(LanEditor, NoDhcpItemEndsSilently) {
    // A pick whose login is cancelled leaves the DHCP choice empty.
    ASSERT_TRUE(h.ClickRow(0, ""));
    ASSERT_EQ(h.dhcp().GetCurSel(), CB_ERR);
    h.Type(IDC_NETMASK, 255, 255, 255, 0);
    h.Command(IDC_APPLY);
    EXPECT_TRUE(h.boxes.records().empty());
    EXPECT_EQ(LanRequests(), 0);
    EXPECT_EQ(LoginNameFixed, 1);
    EXPECT_EQ(Shown(IDC_NETMASK), "255.255.255.0") << "the input stays";
}

TEST_F(LanEditor, StaticInputRefusedBeforeAnyRequest) {
    PickOne();
    struct Case {
        int ip[4];
        int mask[4];
        int gateway[4];
        std::string_view text;
        const char* caption;
        UINT icon;
        int focusField;  // 0 when the focus is not moved
        int focusOctet;
    };
    const Case cases[] = {
        {{-1, -1, -1, -1},
         {255, 255, 255, 0},
         {-1, -1, -1, -1},
         kMessageNoIp,
         "Warning",
         MB_ICONEXCLAMATION,
         0,
         0},
        {{192, 168, 0, 10},
         {-1, -1, -1, -1},
         {-1, -1, -1, -1},
         kMessageNoNetmask,
         "Warning",
         MB_ICONEXCLAMATION,
         0,
         0},
        {{127, 0, 0, 1},
         {255, 0, 0, 0},
         {127, 0, 0, 2},
         kMessageLoopbackIp,
         "Warning",
         MB_ICONEXCLAMATION,
         0,
         0},
        {{0, 1, 2, 3},
         {255, 255, 255, 0},
         {-1, -1, -1, -1},
         "Invalid IP address in 1st digit. It should be 1-223.",
         "Error",
         MB_ICONINFORMATION,
         IDC_IP_ADDRESS,
         0},
        {{224, 0, 0, 1},
         {255, 255, 255, 0},
         {-1, -1, -1, -1},
         "Invalid IP address in 1st digit. It should be 1-223.",
         "Error",
         MB_ICONINFORMATION,
         IDC_IP_ADDRESS,
         0},
        {{192, 168, 0, 10},
         {255, 255, 255, 0},
         {0, 0, 0, 5},
         "Invalid gateway IP address in 1st digit. It should be 1-223.",
         "Error",
         MB_ICONINFORMATION,
         IDC_GATEWAY,
         0},
        // The gateway's octet rules come before the netmask's contiguity.
        {{192, 168, 0, 10},
         {255, 0, 255, 0},
         {0, 0, 0, 5},
         "Invalid gateway IP address in 1st digit. It should be 1-223.",
         "Error",
         MB_ICONINFORMATION,
         IDC_GATEWAY,
         0},
        {{192, 168, 0, 10},
         {255, 0, 255, 0},
         {192, 168, 0, 1},
         kMessageBadNetmask,
         "Error",
         MB_ICONERROR,
         0,
         0},
        {{192, 168, 0, 10},
         {255, 0, 255, 0},
         {-1, -1, -1, -1},
         kMessageBadNetmask,
         "Error",
         MB_ICONERROR,
         0,
         0},
        {{192, 168, 0, 10},
         {255, 255, 255, 0},
         {-1, -1, -1, -1},
         kMessageBadCombination,
         "Error",
         MB_ICONERROR,
         0,
         0},
        {{192, 168, 0, 10},
         {255, 255, 255, 0},
         {192, 168, 0, 0},
         kMessageBadCombination,
         "Error",
         MB_ICONERROR,
         0,
         0},
        {{192, 168, 0, 10},
         {255, 255, 255, 0},
         {192, 168, 0, 255},
         kMessageBadCombination,
         "Error",
         MB_ICONERROR,
         0,
         0},
        {{192, 168, 0, 10},
         {255, 255, 255, 0},
         {192, 168, 1, 1},
         kMessageBadCombination,
         "Error",
         MB_ICONERROR,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " for IP " + std::to_string(c.ip[0]));
        h.Type(IDC_IP_ADDRESS, c.ip[0], c.ip[1], c.ip[2], c.ip[3]);
        h.Type(IDC_NETMASK, c.mask[0], c.mask[1], c.mask[2], c.mask[3]);
        h.Type(IDC_GATEWAY, c.gateway[0], c.gateway[1], c.gateway[2], c.gateway[3]);
        const std::string ip = Shown(IDC_IP_ADDRESS);
        const std::string mask = Shown(IDC_NETMASK);
        const std::string gateway = Shown(IDC_GATEWAY);
        h.dialog->setFocus();
        h.Command(IDC_APPLY);
        ExpectOneBox(std::string(c.text).c_str(), c.caption, c.icon);
        if (c.focusField != 0) {
            EXPECT_EQ(h.dialog->focusWidget(), h.field(c.focusField).Field(c.focusOctet));
        }
        EXPECT_EQ(Shown(IDC_IP_ADDRESS), ip);
        EXPECT_EQ(Shown(IDC_NETMASK), mask);
        EXPECT_EQ(Shown(IDC_GATEWAY), gateway);
        EXPECT_EQ(h.devices().GetItemCount(), 2) << "no rediscovery";
        h.boxes.clear();
    }
    EXPECT_EQ(LanRequests(), 0);
    EXPECT_EQ(h.dialog->deviceSelected, 1);
}

TEST_F(LanEditor, StaticChangeMovesTheRecorderAndRediscovers) {
    PickOne();
    DiscoverySpy spy(h);
    h.lab.net().Attach(spy, 0);
    const std::string model = h.dialog->GetDlgItemText(IDC_MODEL_TEXT).toStdString();
    const DeviceId target = CurrentTargetId;

    h.Type(IDC_IP_ADDRESS, 192, 168, 10, 150);
    h.Type(IDC_NETMASK, 255, 255, 255, 0);
    h.Type(IDC_GATEWAY, 192, 168, 10, 254);
    h.Command(IDC_APPLY);
    h.lab.net().Detach(spy);

    EXPECT_TRUE(h.boxes.records().empty()) << "a change that worked is silent";
    EXPECT_EQ(LanModeText, kLanModeFirst);
    const sim::LanPort& port = one->recorder().state().lan[0];
    EXPECT_EQ(port.ip, "192.168.10.150");
    EXPECT_EQ(port.gateway, "192.168.10.254");
    EXPECT_EQ(Heard(two, OP_SET_LAN_STATIC), 0);

    // Rediscovered: both recorders listed again, the new address shown, no
    // volumes, the search button disabled while discovery ran.
    EXPECT_EQ(h.Column(1), (std::vector<std::string>{"192.168.10.150", "192.168.10.102"}));
    EXPECT_EQ(h.Column(3)[0], "192.168.10.254");
    EXPECT_EQ(h.volumes().GetItemCount(), 0);
    ASSERT_FALSE(spy.searchEnabled.empty());
    for (bool enabled : spy.searchEnabled) {
        EXPECT_FALSE(enabled);
    }
    EXPECT_TRUE(h.button(IDC_SEARCH).IsWindowEnabled());

    // Fields cleared but enabled; choice, labels, target and selection flag kept.
    for (int id : {IDC_IP_ADDRESS, IDC_NETMASK, IDC_GATEWAY}) {
        EXPECT_TRUE(h.field(id).IsBlank()) << id;
        EXPECT_TRUE(h.field(id).IsWindowEnabled()) << id;
    }
    EXPECT_EQ(h.dhcp().GetCurSel(), 0);
    EXPECT_EQ(h.dialog->GetDlgItemText(IDC_MODEL_TEXT).toStdString(), model);
    EXPECT_EQ(CurrentTargetId, target);
    EXPECT_EQ(h.dialog->deviceSelected, 1);

    // The cache was refilled: every recorder unauthenticated, so the next
    // pick asks again, now with the fixed "admin".
    ASSERT_EQ(h.dialog->Credentials().Size(), 2u);
    for (const auto& [key, entry] : h.dialog->Credentials().Entries()) {
        EXPECT_FALSE(entry.authenticated) << key;
    }
    h.loginUserNames.clear();
    h.loginUserNameEnabled.clear();
    ASSERT_TRUE(h.ClickRow(0));
    ASSERT_EQ(h.loginUserNames.size(), 1u);
    EXPECT_EQ(h.loginUserNames[0], QStringLiteral("admin"));
    EXPECT_FALSE(h.loginUserNameEnabled[0]);
    EXPECT_EQ(Shown(IDC_IP_ADDRESS), "192.168.10.150");
}

TEST_F(LanEditor, AcceptedEdgeAddresses) {
    {
        SCOPED_TRACE("link-local with a blank gateway sends an empty gateway");
        PickOne();
        h.Type(IDC_IP_ADDRESS, 169, 254, 7, 8);
        h.Type(IDC_NETMASK, 255, 255, 0, 0);
        h.Type(IDC_GATEWAY, -1, -1, -1, -1);
        h.Command(IDC_APPLY);
        EXPECT_TRUE(h.boxes.records().empty());
        ASSERT_EQ(Heard(one, OP_SET_LAN_STATIC), 1);
        EXPECT_EQ(StaticGatewayText, "");
        const sim::LanPort& port = one->recorder().state().lan[0];
        EXPECT_EQ(port.ip, "169.254.7.8");
        EXPECT_EQ(port.netmask, "255.255.0.0");
        EXPECT_EQ(port.gateway, "");
    }
    {
        SCOPED_TRACE("a network address as the IP is not refused");
        PickOne();
        h.Type(IDC_IP_ADDRESS, 10, 0, 0, 0);
        h.Type(IDC_NETMASK, 255, 0, 0, 0);
        h.Type(IDC_GATEWAY, 10, 0, 0, 1);
        h.Command(IDC_APPLY);
        EXPECT_TRUE(h.boxes.records().empty());
        EXPECT_EQ(Heard(one, OP_SET_LAN_STATIC), 2);
        EXPECT_EQ(one->recorder().state().lan[0].ip, "10.0.0.0");
        EXPECT_EQ(StaticNetmaskText, "255.0.0.0");
        EXPECT_EQ(StaticGatewayText, "10.0.0.1");
    }
}

TEST_F(LanEditor, RefusedStaticChangeIsReportedBeforeTheRediscovery) {
    sim::Script refuse;
    refuse.opcodes = {OP_SET_LAN_STATIC};
    refuse.refuse = true;
    one->recorder().mutableState().scripts = {refuse};
    PickOne();
    DiscoverySpy spy(h);
    h.lab.net().Attach(spy, 0);
    h.Type(IDC_IP_ADDRESS, 192, 168, 10, 150);
    h.Type(IDC_NETMASK, 255, 255, 255, 0);
    h.Type(IDC_GATEWAY, 192, 168, 10, 1);
    h.Command(IDC_APPLY);
    h.lab.net().Detach(spy);

    ExpectOneBox(kStaticFailedText, "Error", MB_ICONERROR);
    ASSERT_FALSE(spy.boxesShown.empty());
    EXPECT_EQ(spy.boxesShown.front(), 1u) << "the message comes before the rediscovery";
    EXPECT_EQ(h.Column(1), (std::vector<std::string>{"192.168.10.101", "192.168.10.102"}));
    EXPECT_TRUE(h.field(IDC_IP_ADDRESS).IsBlank());
    EXPECT_EQ(h.dialog->deviceSelected, 1);
}

TEST_F(LanEditor, DhcpSwitchRebuildsTheListWithNothingSelected) {
    PickOne();
    h.ChooseDhcp(1);
    h.Command(IDC_APPLY);
    ExpectOneBox(kDhcpEnabledText, "Confirm", MB_ICONINFORMATION);
    EXPECT_EQ(Heard(one, OP_SET_LAN_DHCP), 1);
    EXPECT_TRUE(one->recorder().state().lan[0].dhcp);

    EXPECT_EQ(h.devices().GetItemCount(), 2);
    EXPECT_EQ(h.devices().GetSelectedCount(), 0);
    for (int id : {IDC_IP_ADDRESS, IDC_NETMASK, IDC_GATEWAY}) {
        EXPECT_TRUE(h.field(id).IsBlank()) << id;
        EXPECT_TRUE(h.field(id).IsWindowEnabled()) << id;
    }
    EXPECT_EQ(h.dhcp().GetCurSel(), 1) << "\"Enable\" stays chosen";
    EXPECT_EQ(h.dialog->deviceSelected, 0);
    EXPECT_EQ(h.dialog->Credentials().Size(), 2u);

    // A second apply asks for a device first.
    h.boxes.clear();
    h.Command(IDC_APPLY);
    ExpectOneBox(kSelectDeviceAboveText, "Error", MB_ICONERROR);
    EXPECT_EQ(Heard(one, OP_SET_LAN_DHCP), 1);
}

TEST_F(LanEditor, RefusedDhcpSwitchChangesNothingElse) {
    sim::Script refuse;
    refuse.opcodes = {OP_SET_LAN_DHCP};
    refuse.refuse = true;
    one->recorder().mutableState().scripts = {refuse};
    PickOne();
    h.ChooseDhcp(1);
    one->ClearHeard();
    h.Command(IDC_APPLY);
    ExpectOneBox(kDhcpFailedText, "Error", MB_ICONERROR);
    EXPECT_FALSE(one->recorder().state().lan[0].dhcp);
    EXPECT_EQ(Heard(one, OP_DISCOVER), 0) << "no rediscovery";
    EXPECT_EQ(h.devices().GetSelectedCount(), 1);
    EXPECT_EQ(Shown(IDC_IP_ADDRESS), "192.168.10.101");
    EXPECT_EQ(h.dialog->deviceSelected, 1);
    EXPECT_TRUE(h.dialog->Credentials().Entries().begin()->second.authenticated);
}

}  // namespace
