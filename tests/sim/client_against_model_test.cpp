// The real client protocol against model recorders on the virtual network:
// discovery over two interfaces, every operation, LAN changes seen by the next
// discovery, and the scripted faults, which must never break the client.

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/globals.h"
#include "protocol/network.h"
#include "protocol/operations.h"
#include "protocol/testing/virtual_net_io.h"
#include "protocol/volume_list.h"
#include "sim/virtual_recorder_peer.h"

namespace {

using namespace std::chrono_literals;

sim::DeviceId Id(std::uint8_t last) {
    return {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, last};
}

sim::RecorderState Recorder(const std::string& name, std::uint8_t id, const std::string& model,
                            const std::string& ip) {
    sim::RecorderState state;
    state.name = name;
    state.deviceId = Id(id);
    state.model = model;
    const auto subnet = ip.substr(0, ip.rfind('.'));
    state.lan = {{ip, "255.255.255.0", subnet + ".1", subnet + ".53", subnet + ".54", false, 0}};
    state.adminPassword = name + "-pw";
    state.volumes = {"Volume_1", "Volume_2"};
    state.identityShort = name.substr(4);
    state.identityLong = model + " recorder " + name;
    return state;
}

sim::RecorderState TwoPorts(const std::string& name, std::uint8_t id) {
    auto state = Recorder(name, id, "KVR-610L", "10.201.1.11");
    state.lan.push_back(
        {"10.201.1.12", "255.255.255.0", "10.201.1.1", "10.201.1.153", "10.201.1.154", false, 1});
    state.activeLan = 1;
    return state;
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& record : DeviceTable)
        names.push_back(record.name.str());
    return names;
}

std::vector<std::string> Volumes() {
    std::vector<std::string> names;
    for (const auto& volume : VolumeList)
        names.push_back(volume.str());
    return names;
}

const DeviceRecord* Find(const std::string& name) {
    for (const auto& record : DeviceTable) {
        if (record.name == name)
            return &record;
    }
    return nullptr;
}

class ClientAgainstModel : public ::testing::Test {
protected:
    void SetUp() override {
        lanA = net.AddInterface("10.201.1.1");
        lanB = net.AddInterface("10.201.2.1");
        active.emplace(net);
        ResetProtocolGlobals();
        InitNetwork();
    }
    void TearDown() override {
        ClearDeviceTable();
        ShutdownNetwork();
        ResetProtocolGlobals();
        active.reset();
    }

    // Points the protocol globals at a recorder with its credentials.
    void Target(const sim::RecorderState& state,
                std::optional<std::string> password = std::nullopt) {
        CurrentTargetId = state.deviceId;
        LoginUser = state.adminUser;
        LoginPassword = password.value_or(state.adminPassword);
    }

    VirtualNetIo net;
    int lanA = -1;
    int lanB = -1;
    std::optional<ScopedActiveNetIo> active;
    sim::VirtualRecorderSet recorders{net};
};

TEST_F(ClientAgainstModel, DiscoveryOverTwoInterfaces) {
    auto& alpha = recorders.Add(TwoPorts("NVR-Alpha", 1), {lanA});
    recorders.Add(Recorder("NVR-Bravo", 2, "KVR-620", "10.201.1.21"), {lanA});
    auto& echo = recorders.Add(Recorder("NVR-Echo", 5, "KVR-620", "10.201.1.51"), {lanA, lanB});
    auto& charlie = recorders.Add(Recorder("NVR-Charlie", 3, "KVR-620", "10.201.2.31"), {lanB});
    auto& delta = recorders.Add(Recorder("NVR-Delta", 4, "KVR-610", "10.201.2.41"), {lanB});
    recorders.Add(Recorder("NVR-Lower", 6, "kvr-620", "10.201.2.61"), {lanB});

    DiscoverDevices();

    // First heard first, interface by interface; the recorder on both
    // interfaces once, with the first; unsupported models left out.
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"NVR-Alpha", "NVR-Bravo", "NVR-Echo", "NVR-Charlie"}));
    EXPECT_EQ(Find("NVR-Echo")->interfaceIndex, lanA);
    EXPECT_EQ(Find("NVR-Charlie")->interfaceIndex, lanB);
    ASSERT_EQ(echo.heard().size(), 2u);
    EXPECT_EQ(echo.heard()[0].interfaceIndex, lanA);
    EXPECT_EQ(echo.heard()[1].interfaceIndex, lanB);
    EXPECT_EQ(delta.heard().size(), 1u);
    EXPECT_EQ(charlie.heard().size(), 1u);

    const DeviceRecord* a = Find("NVR-Alpha");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->deviceId, alpha.recorder().state().deviceId);
    EXPECT_EQ(a->model, "KVR-610L");
    EXPECT_EQ(a->lanCount, 2);
    EXPECT_EQ(a->activeLan, 1);
    EXPECT_EQ(a->lan[0].ip, "10.201.1.11");
    EXPECT_EQ(a->lan[1].ip, "10.201.1.12");
    EXPECT_EQ(a->lan[1].dns2, "10.201.1.154");
    EXPECT_EQ(a->lan[1].dhcp, "0");
    EXPECT_EQ(a->lan[1].option, 1);
    EXPECT_EQ(a->interfaceIndex, lanA);
}

TEST_F(ClientAgainstModel, LoginVolumesAndIdentity) {
    const auto bravoState = Recorder("NVR-Bravo", 2, "KVR-620", "10.201.1.21");
    auto& alpha = recorders.Add(TwoPorts("NVR-Alpha", 1), {lanA});
    auto& bravo = recorders.Add(bravoState, {lanA});
    DiscoverDevices();
    ASSERT_EQ(DeviceTable.size(), 2u);

    Target(bravoState);
    EXPECT_EQ(Login(), 1);
    Target(bravoState, "wrong");
    EXPECT_EQ(Login(), 0);
    LoginUser = "guest";
    LoginPassword = bravoState.adminPassword;
    EXPECT_EQ(Login(), 0);

    Target(bravoState);
    EXPECT_EQ(ReadVolumeList(), 1);
    EXPECT_EQ(Volumes(), (std::vector<std::string>{"Volume_1", "Volume_2"}));
    Target(bravoState, "wrong");
    EXPECT_EQ(ReadVolumeList(), 1);  // any valid reply counts; the refusal carries no names
    EXPECT_TRUE(Volumes().empty());

    Target(bravoState);
    EXPECT_EQ(ReadIdentity(), 1);
    EXPECT_EQ(IdentityName, "NVR-Bravo");
    EXPECT_EQ(IdentityShort, "Bravo");
    EXPECT_EQ(IdentityLong, "KVR-620 recorder NVR-Bravo");
    IdentityName = "NVR-Bravo-2";
    IdentityShort = "B2";
    IdentityLong = "renamed";
    EXPECT_EQ(WriteIdentity(), 1);
    EXPECT_EQ(bravo.recorder().state().name, "NVR-Bravo-2");
    EXPECT_EQ(bravo.recorder().state().identityShort, "B2");
    DiscoverDevices();
    EXPECT_EQ(Names(), (std::vector<std::string>{"NVR-Alpha", "NVR-Bravo-2"}));

    // Requests for Bravo never reached Alpha's handling.
    for (const auto& entry : alpha.recorder().log())
        EXPECT_EQ(entry.opcode, sim::op::kDiscover);
}

TEST_F(ClientAgainstModel, StaticChangeIsSeenByTheNextDiscovery) {
    const auto alphaState = TwoPorts("NVR-Alpha", 1);
    auto& alpha = recorders.Add(alphaState, {lanA});
    DiscoverDevices();

    Target(alphaState);
    LanModeText = "LAN1";  // port 0 of a two-port recorder
    StaticIpText = "10.201.1.99";
    StaticNetmaskText = "255.255.0.0";
    StaticGatewayText = "10.201.1.254";
    EXPECT_EQ(SetLanStatic(), 1);
    const auto& request = alpha.recorder().log().back();
    EXPECT_EQ(request.opcode, sim::op::kSetLanStatic);
    std::vector<std::pair<std::int16_t, std::string>> records;
    for (const auto& record : request.records)
        records.emplace_back(record.type, record.Text());
    EXPECT_EQ(records, (std::vector<std::pair<std::int16_t, std::string>>{
                           {sim::tlv::kIp, "10.201.1.99"},
                           {sim::tlv::kNetmask, "255.255.0.0"},
                           {sim::tlv::kGateway, "10.201.1.254"},
                           {sim::tlv::kDns1, "10.201.1.53"},
                           {sim::tlv::kDns2, "10.201.1.54"},
                           {sim::tlv::kLanOption, "0"},
                           {sim::tlv::kLanIndex, "0"}}));
    const auto changes = alpha.recorder().TakeAddressChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].newIp, "10.201.1.99");

    DiscoverDevices();
    const DeviceRecord* a = Find("NVR-Alpha");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->lan[0].ip, "10.201.1.99");
    EXPECT_EQ(a->lan[0].netmask, "255.255.0.0");
    EXPECT_EQ(a->lan[0].gateway, "10.201.1.254");
    EXPECT_EQ(a->lan[1].ip, "10.201.1.12");

    // Any other mode text addresses port 1; a wrong password changes nothing.
    LanModeText = "LAN2";
    StaticIpText = "10.201.1.98";
    Target(alphaState, "wrong");
    EXPECT_EQ(SetLanStatic(), 0);
    EXPECT_EQ(alpha.recorder().state().lan[1].ip, "10.201.1.12");
    Target(alphaState);
    EXPECT_EQ(SetLanStatic(), 1);
    EXPECT_EQ(alpha.recorder().state().lan[1].ip, "10.201.1.98");
    EXPECT_EQ(alpha.recorder().state().lan[1].dns1, "10.201.1.153");
    EXPECT_EQ(alpha.recorder().state().lan[1].option, 1);
}

TEST_F(ClientAgainstModel, DhcpSetsTheFlagAndTakesAPoolAddress) {
    auto echoState = Recorder("NVR-Echo", 5, "KVR-610L", "10.201.2.51");
    echoState.dhcpPool.addresses = {"10.201.2.61", "10.201.2.62"};
    auto& echo = recorders.Add(echoState, {lanB});
    DiscoverDevices();
    Target(echoState);
    EXPECT_EQ(SetLanDhcp(), 1);
    const auto& request = echo.recorder().log().back();
    ASSERT_EQ(request.records.size(), 2u);
    EXPECT_EQ(request.records[0].Text(), "1");
    EXPECT_EQ(request.records[1].Text(), "0");
    DiscoverDevices();
    ASSERT_EQ(DeviceTable.size(), 1u);
    EXPECT_EQ(DeviceTable[0].lan[0].dhcp, "1");
    EXPECT_EQ(DeviceTable[0].lan[0].ip, "10.201.2.61");
    EXPECT_EQ(DeviceTable[0].interfaceIndex, lanB);
}

TEST_F(ClientAgainstModel, SilentAndRefusingRecorders) {
    auto foxtrotState = Recorder("NVR-Foxtrot", 6, "KVR-620", "10.201.1.71");
    sim::Script silent;
    silent.opcodes = {sim::op::kLogin,       sim::op::kSetLanDhcp,  sim::op::kSetLanStatic,
                      sim::op::kGetIdentity, sim::op::kSetIdentity, sim::op::kGetVolumes};
    silent.silent = true;
    foxtrotState.scripts = {silent};
    auto golfState = Recorder("NVR-Golf", 7, "KVR-620", "10.201.1.72");
    sim::Script refuse;
    refuse.refuse = true;
    golfState.scripts = {refuse};
    auto& foxtrot = recorders.Add(foxtrotState, {lanA});
    auto& golf = recorders.Add(golfState, {lanA});
    DiscoverDevices();
    ASSERT_EQ(DeviceTable.size(), 2u);

    Target(foxtrotState);
    const auto before = net.Now();
    EXPECT_EQ(Login(), 0);
    EXPECT_GE(net.Now() - before, 4s);  // drain, then the whole polling limit
    EXPECT_EQ(SetLanDhcp(), 0);
    EXPECT_EQ(ReadVolumeList(), 0);
    EXPECT_EQ(ReadIdentity(), 0);
    EXPECT_EQ(foxtrot.recorder().log().size(), 5u);  // discovery and four unanswered requests
    EXPECT_FALSE(foxtrot.recorder().state().lan[0].dhcp);

    Target(golfState);
    EXPECT_EQ(Login(), 0);
    StaticIpText = "10.201.1.99";
    StaticNetmaskText = "255.255.255.0";
    EXPECT_EQ(SetLanStatic(), 0);
    EXPECT_EQ(golf.recorder().state().lan[0].ip, "10.201.1.72");
    IdentityName = "X";
    EXPECT_EQ(WriteIdentity(), 0);
    EXPECT_EQ(golf.recorder().state().name, "NVR-Golf");
}

TEST_F(ClientAgainstModel, ReplyDelayAgainstThePollingLimit) {
    auto slowState = Recorder("NVR-Slow", 8, "KVR-620", "10.201.1.81");
    sim::Script slowLogin;
    slowLogin.opcodes = {sim::op::kLogin};
    slowLogin.delay = 2500ms;  // within the ~3.1 s the exchange waits
    sim::Script slowerVolumes;
    slowerVolumes.opcodes = {sim::op::kGetVolumes};
    slowerVolumes.delay = 3500ms;  // past it
    slowState.scripts = {slowLogin, slowerVolumes};
    recorders.Add(slowState, {lanA});
    DiscoverDevices();
    Target(slowState);
    EXPECT_EQ(Login(), 1);
    EXPECT_EQ(ReadVolumeList(), 0);
    EXPECT_TRUE(Volumes().empty());
    // The late reply is still drained before the next request goes out.
    EXPECT_EQ(Login(), 1);
}

TEST_F(ClientAgainstModel, ScriptedFaultsNeverBreakTheClient) {
    using sim::Malformation;
    for (const auto mode : {Malformation::None, Malformation::ShortLength, Malformation::PastEnd,
                            Malformation::Oversize, Malformation::BadLanIndex}) {
        SCOPED_TRACE(std::string(sim::MalformationName(mode)));
        ClearDeviceTable();
        sim::VirtualRecorderSet set(net);
        auto state = TwoPorts("NVR-Faulty", 9);
        sim::Script faults;
        faults.duplicates = 3;
        faults.unknownRecords = true;
        faults.foreignBurst = 40;
        faults.malformed = mode;
        faults.delay = 20ms;
        state.scripts = {faults};
        auto& faulty = set.Add(state, {lanA, lanB});
        set.Add(Recorder("NVR-Plain", 10, "KVR-620", "10.201.2.11"), {lanB});

        DiscoverDevices();
        ASSERT_EQ(Names(), (std::vector<std::string>{mode == Malformation::Oversize
                                                         ? "NVR-Faulty" + std::string(255 - 10, 'N')
                                                         : std::string("NVR-Faulty"),
                                                     "NVR-Plain"}));
        const DeviceRecord& record = DeviceTable[0];
        EXPECT_EQ(record.interfaceIndex, lanA);
        EXPECT_EQ(record.model, "KVR-610L");
        EXPECT_EQ(record.lan[0].ip, "10.201.1.11");
        EXPECT_EQ(record.lan[1].ip, "10.201.1.12");
        EXPECT_EQ(record.lan[1].dns2, "10.201.1.154");
        if (mode == Malformation::Oversize) {
            EXPECT_EQ(record.shortText.size(), 7u);
            EXPECT_EQ(record.lan[0].dns1.size(), 15u);
            EXPECT_EQ(record.lan[0].dhcp.view().substr(0, 1), "0");
        } else {
            EXPECT_EQ(record.lan[0].dns1, "10.201.1.53");
        }
        if (mode != Malformation::BadLanIndex) {
            EXPECT_EQ(record.lanCount, 2);
        }

        Target(state);
        EXPECT_EQ(Login(), 1);
        EXPECT_EQ(ReadVolumeList(), 1);
        auto volumes = Volumes();
        if (mode == Malformation::Oversize) {
            ASSERT_EQ(volumes.size(), 3u);
            EXPECT_EQ(volumes[2], std::string(255, 'V'));
            volumes.pop_back();
        }
        EXPECT_EQ(volumes, (std::vector<std::string>{"Volume_1", "Volume_2"}));
        EXPECT_EQ(ReadIdentity(), 1);
        if (mode == Malformation::Oversize) {
            EXPECT_EQ(IdentityName.size(), 31u);
            EXPECT_EQ(IdentityLong.size(), 511u);
        } else {
            EXPECT_EQ(IdentityName, "NVR-Faulty");
            EXPECT_EQ(IdentityLong, "KVR-610L recorder NVR-Faulty");
        }
        LanModeText = "LAN1";
        EXPECT_EQ(SetLanDhcp(), 1);
        EXPECT_TRUE(faulty.recorder().state().lan[0].dhcp);
    }
}

TEST_F(ClientAgainstModel, ForeignFloodDuringDiscoveryDoesNotHideRecorders) {
    auto noisyState = Recorder("NVR-Noisy", 11, "KVR-620", "10.201.1.91");
    sim::Script flood;
    flood.foreignBurst = 500;
    noisyState.scripts = {flood};
    recorders.Add(noisyState, {lanA});
    recorders.Add(Recorder("NVR-Quiet", 12, "KVR-620", "10.201.1.92"), {lanA});
    DiscoverDevices();
    EXPECT_EQ(Names(), (std::vector<std::string>{"NVR-Noisy", "NVR-Quiet"}));
    Target(noisyState);
    EXPECT_EQ(Login(), 1);
}

TEST_F(ClientAgainstModel, LongUserNameIsCutToWhatTheRecorderKnows) {
    auto state = Recorder("NVR-Long", 13, "KVR-620", "10.201.1.93");
    state.adminUser = std::string(48, 'u');
    state.adminPassword = std::string(47, 'p') + "!";
    recorders.Add(state, {lanA});
    DiscoverDevices();
    CurrentTargetId = state.deviceId;
    LoginUser = std::string(48, 'u') + "ignored-tail";
    LoginPassword = state.adminPassword + "more";
    EXPECT_EQ(Login(), 1);
    LoginUser = std::string(47, 'u');
    EXPECT_EQ(Login(), 0);
}

TEST_F(ClientAgainstModel, HundredRecordersAnsweringAtOnceAreAllFound) {
    for (int i = 0; i < 100; ++i) {
        auto state = Recorder("NVR-Burst-" + std::to_string(i), 0, "KVR-620",
                              "10.201.2." + std::to_string(100 + i));
        state.deviceId = {0x00, 0x1B, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(i)};
        recorders.Add(state, {lanB});
    }
    DiscoverDevices();
    ASSERT_EQ(DeviceTable.size(), 100u);
    EXPECT_EQ(DeviceTable.front().name, "NVR-Burst-0");
    EXPECT_EQ(DeviceTable.back().name, "NVR-Burst-99");
}

}  // namespace
