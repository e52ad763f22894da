// Discovery into the device table, its counting rule, and the table lookups.
#include "protocol/discovery.h"

#include <algorithm>

#include "protocol/device_table.h"
#include "protocol/globals.h"
#include "protocol/local_addresses.h"
#include "protocol/network.h"
#include "protocol/session_id.h"
#include "test_support.h"

namespace {

using WaitResult = NetIo::WaitResult;

class DiscoveryTest : public ProtocolTest {
protected:
    int Count(WaitResult result) const {
        return static_cast<int>(
            std::count_if(net.Waits().begin(), net.Waits().end(),
                          [&](const auto& w) { return w.result == result && w.timeout == 10ms; }));
    }
};

TEST_F(DiscoveryTest, SilentNetworkEndsEachSlotAfter101EmptyPolls) {
    UseInterfaces({"10.0.0.2"});
    const auto start = net.Now();
    DiscoverDevices();
    EXPECT_TRUE(DeviceTable.empty());
    ASSERT_EQ(net.Sent().size(), 2u);
    EXPECT_EQ(net.Sent()[0].interfaceIndex, 0);
    EXPECT_EQ(net.Sent()[1].interfaceIndex, 1);
    EXPECT_EQ(net.Sent()[0].bytes.size(), 44u);
    EXPECT_EQ(Count(WaitResult::Timeout), 2 * 101);
    EXPECT_EQ(net.Now() - start, 2 * (1s + 101 * 10ms));
    EXPECT_TRUE(net.Sleeps().empty());  // no pause after the send
}

TEST_F(DiscoveryTest, NeitherNewRecordersNorRepeatedAnswersCount) {
    ScriptedRecorder recorder(MakeId(1));
    recorder.On(OP_DISCOVER, [&](std::span<const std::uint8_t> request) {
        const Bytes reply = recorder.Reply(OP_DISCOVER, request).Text(TLV_MODEL, "KVR-620").Build();
        return std::vector<Bytes>{reply, reply, reply};
    });
    net.Attach(recorder, 0);
    DiscoverDevices();
    ASSERT_EQ(DeviceTable.size(), 1u);
    EXPECT_EQ(Count(WaitResult::Ready), 3);
    EXPECT_EQ(Count(WaitResult::Timeout), 101);  // the slot still ends after its empty polls
}

TEST_F(DiscoveryTest, OnlySupportedModelsAreKeptAndUnsupportedOnesCount) {
    ScriptedRecorder cut(MakeId(1), "KVR-610");
    ScriptedRecorder lower(MakeId(2), "kvr-620");
    ScriptedRecorder other(MakeId(3), "KVR-610L");
    for (auto* recorder : {&cut, &lower, &other}) {
        recorder->AnswerDiscovery();
        net.Attach(*recorder, 0);
    }
    ScriptedRecorder padded(MakeId(4));
    padded.On(OP_DISCOVER, [&](std::span<const std::uint8_t> request) {
        Bytes value = {'K', 'V', 'R', '-', '6', '2', '0', 0, 0, 0, 0, 0};
        return std::vector<Bytes>{
            padded.Reply(OP_DISCOVER, request).Raw(TLV_MODEL, 16, value).Build()};
    });
    net.Attach(padded, 0);
    // The last model record decides.
    ScriptedRecorder twice(MakeId(5), "KVR-620");
    twice.AnswerDiscovery({{TLV_MODEL, "KVR-999"}});
    net.Attach(twice, 0);

    DiscoverDevices();
    ASSERT_EQ(DeviceTable.size(), 2u);
    EXPECT_EQ(DeviceTable[0].deviceId, MakeId(3));
    EXPECT_EQ(DeviceTable[0].model, "KVR-610L");
    EXPECT_EQ(DeviceTable[1].deviceId, MakeId(4));
    EXPECT_EQ(DeviceTable[1].model, "KVR-620");
    EXPECT_EQ(Count(WaitResult::Ready), 5);
    EXPECT_EQ(Count(WaitResult::Timeout), 101 - 3);  // the three unsupported replies counted
}

TEST_F(DiscoveryTest, RejectedDatagramsDoNotCount) {
    SessionIdBytes foreign = SessionId;
    foreign[3] ^= 0x40;
    for (int i = 0; i < 10; ++i) {
        net.DeliverAt(0,
                      ReplyBuilder(OP_DISCOVER).Session(foreign).Text(TLV_MODEL, "KVR-620").Build(),
                      net.Now() + 1001ms + std::chrono::milliseconds(5 * i));
    }
    net.DeliverAt(0, ReplyBuilder(OP_LOGIN).Text(TLV_MODEL, "KVR-620").Build(), net.Now() + 1100ms);
    DiscoverDevices();
    EXPECT_TRUE(DeviceTable.empty());
    EXPECT_EQ(Count(WaitResult::Ready), 11);
    EXPECT_EQ(Count(WaitResult::Timeout), 101);
}

TEST_F(DiscoveryTest, RecorderOnTwoInterfacesIsRecordedOnceWithTheFirst) {
    UseInterfaces({"10.0.0.2", "172.16.0.2"});
    ScriptedRecorder both(MakeId(1));
    both.AnswerDiscovery({{TLV_NAME, "Both"}});
    net.Attach(both, 1);
    net.Attach(both, 2);
    ScriptedRecorder third(MakeId(2));
    third.AnswerDiscovery({{TLV_NAME, "Third"}});
    net.Attach(third, 2);

    DiscoverDevices();
    ASSERT_EQ(DeviceTable.size(), 2u);
    EXPECT_EQ(DeviceTable[0].name, "Both");
    EXPECT_EQ(DeviceTable[0].interfaceIndex, 1);
    EXPECT_EQ(DeviceTable[1].name, "Third");
    EXPECT_EQ(DeviceTable[1].interfaceIndex, 2);
    EXPECT_EQ(FindInterfaceIndexById(MakeId(1)), 1);
    EXPECT_EQ(both.heard.size(), 2u);  // it heard the request on both
}

TEST_F(DiscoveryTest, RecordFieldsAndPorts) {
    ScriptedRecorder twoPorts(MakeId(1));
    twoPorts.AnswerDiscovery({{TLV_NAME, "Two"},
                              {TLV_NUMBER_A, "7"},
                              {TLV_NUMBER_B, "-3"},
                              {TLV_SHORT_TEXT, "abc"},
                              {TLV_ACTIVE_LAN, "1"},
                              {TLV_LAN_INDEX, "0"},
                              {TLV_IP, "192.168.0.50"},
                              {TLV_DHCP, "1"},
                              {TLV_LAN_OPTION, "4"},
                              {TLV_LAN_INDEX, "1"},
                              {TLV_IP, "10.0.0.50"},
                              {TLV_NETMASK, "255.0.0.0"},
                              {TLV_GATEWAY, "10.0.0.1"},
                              {TLV_DNS1, "10.0.0.53"},
                              {TLV_DNS2, "10.0.0.54"},
                              {TLV_DHCP, "0"}});
    ScriptedRecorder noIndex(MakeId(2));
    noIndex.AnswerDiscovery({{TLV_IP, "192.168.0.60"}, {TLV_IP, "192.168.0.61"}});
    ScriptedRecorder badIndex(MakeId(3));
    badIndex.AnswerDiscovery({{TLV_IP, "192.168.0.70"},
                              {TLV_LAN_INDEX, "5"},
                              {TLV_IP, "6.6.6.6"},
                              {TLV_LAN_INDEX, "-1"},
                              {TLV_DNS1, "6.6.6.6"},
                              {TLV_NAME, "after"}});
    for (auto* recorder : {&twoPorts, &noIndex, &badIndex}) {
        net.Attach(*recorder, 0);
    }
    DiscoverDevices();
    ASSERT_EQ(DeviceTable.size(), 3u);

    const DeviceRecord& two = *FindDeviceById(MakeId(1));
    EXPECT_EQ(two.numberA, 7);
    EXPECT_EQ(two.numberB, -3);
    EXPECT_EQ(two.shortText, "abc");
    EXPECT_EQ(two.activeLan, 1);
    EXPECT_EQ(two.lanCount, 2);
    EXPECT_EQ(two.lan[0].ip, "192.168.0.50");
    EXPECT_EQ(two.lan[0].dhcp, "1");
    EXPECT_EQ(two.lan[0].option, 4);
    EXPECT_EQ(two.lan[1].ip, "10.0.0.50");
    EXPECT_EQ(two.lan[1].netmask, "255.0.0.0");
    EXPECT_EQ(two.lan[1].gateway, "10.0.0.1");
    EXPECT_EQ(two.lan[1].dns1, "10.0.0.53");
    EXPECT_EQ(two.lan[1].dns2, "10.0.0.54");
    EXPECT_EQ(two.lan[1].dhcp, "0");

    const DeviceRecord& none = *FindDeviceById(MakeId(2));
    EXPECT_EQ(none.lanCount, 0);
    EXPECT_EQ(none.activeLan, 0);
    EXPECT_EQ(none.lan[0].ip, "192.168.0.61");  // a repeated type overwrites
    EXPECT_TRUE(none.lan[1].ip.empty());

    const DeviceRecord& bad = *FindDeviceById(MakeId(3));
    EXPECT_EQ(bad.lanCount, 2);
    EXPECT_EQ(bad.lan[0].ip, "192.168.0.70");
    EXPECT_TRUE(bad.lan[0].dns1.empty());
    EXPECT_TRUE(bad.lan[1].ip.empty());
    EXPECT_EQ(bad.name, "after");
}

TEST_F(DiscoveryTest, LookupsAndClearing) {
    EXPECT_EQ(DeviceIdKnown(MakeId(1)), 0);
    EXPECT_EQ(FindInterfaceIndexById(MakeId(1)), -1);
    EXPECT_EQ(FindDeviceById(MakeId(1)), nullptr);
    ScriptedRecorder recorder(MakeId(1));
    recorder.AnswerDiscovery();
    net.Attach(recorder, 0);
    DiscoverDevices();
    EXPECT_EQ(DeviceIdKnown(MakeId(1)), 1);
    EXPECT_EQ(FindInterfaceIndexById(MakeId(1)), 0);
    EXPECT_EQ(FindInterfaceIndexById(MakeId(9)), -1);
    EXPECT_EQ(FindDeviceById(MakeId(9)), nullptr);
    // A new discovery replaces the table.
    net.Detach(recorder);
    DiscoverDevices();
    EXPECT_TRUE(DeviceTable.empty());
    ClearDeviceTable();
    ClearDeviceTable();
    EXPECT_TRUE(DeviceTable.empty());
}

TEST_F(DiscoveryTest, SelectLanIndex) {
    EXPECT_EQ(SelectLanIndex(nullptr), 0);
    DeviceRecord record;
    record.activeLan = 1;
    record.lanCount = 2;
    for (const char* mode : {"LAN1", "LAN1+LAN2", "LAN2", "", "lan1"}) {
        LanModeText = mode;
        const int expected = std::string_view(mode) == "LAN1" ? 0 : 1;
        EXPECT_EQ(SelectLanIndex(&record), expected) << mode;
    }
    record.activeLan = 0;
    LanModeText = "LAN1+LAN2";
    EXPECT_EQ(SelectLanIndex(&record), 0);
    record.lanCount = 1;
    record.activeLan = 1;
    for (const char* mode : {"LAN1", "LAN1+LAN2", ""}) {
        LanModeText = mode;
        EXPECT_EQ(SelectLanIndex(&record), 1) << mode;
    }
    for (int count : {0, 3}) {
        record.lanCount = count;
        EXPECT_EQ(SelectLanIndex(&record), 0) << count;
    }
}

TEST_F(DiscoveryTest, NoLocalAddressAndFailedWaits) {
    {
        ShutdownNetwork();
        VirtualNetIo empty;
        SetActiveNetIo(&empty);
        InitNetwork();
        DiscoverDevices();
        EXPECT_TRUE(empty.Sent().empty());
        EXPECT_TRUE(DeviceTable.empty());
        ShutdownNetwork();
        SetActiveNetIo(&net);
        InitNetwork();
    }
    {
        // Every wait fails: each failure counts, so the slot still ends.
        net.FailWaits(0, -1);
        DiscoverDevices();
        EXPECT_EQ(net.Sent().size(), 1u);
        EXPECT_EQ(std::count_if(net.Waits().begin(), net.Waits().end(),
                                [](const auto& w) { return w.result == WaitResult::Error; }),
                  1 + 101);
    }
}

}  // namespace
