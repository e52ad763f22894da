// The device operations: their requests, their results and what they fill.
#include "protocol/operations.h"

#include <string>

#include "protocol/device_table.h"
#include "protocol/globals.h"
#include "protocol/trace.h"
#include "protocol/unavailable_operations.h"
#include "protocol/volume_list.h"
#include "test_support.h"

namespace {

class OperationsTest : public ProtocolTest {
protected:
    void SetUp() override {
        ProtocolTest::SetUp();
        LoginUser = "admin";
        LoginPassword = "secret";
        recorder.AnswerDiscovery({{TLV_ACTIVE_LAN, "0"},
                                  {TLV_LAN_INDEX, "0"},
                                  {TLV_DNS1, "192.168.0.53"},
                                  {TLV_DNS2, "192.168.0.54"},
                                  {TLV_LAN_OPTION, "0"},
                                  {TLV_LAN_INDEX, "1"},
                                  {TLV_DNS1, "10.0.0.53"},
                                  {TLV_DNS2, "10.0.0.54"},
                                  {TLV_LAN_OPTION, "3"}});
        Discover(recorder);
    }

    // The one request the recorder heard since the last check.
    Bytes LastRequest() {
        EXPECT_EQ(recorder.heard.size(), 1u);
        Bytes request = recorder.heard.empty() ? Bytes{} : recorder.heard.back().second;
        recorder.heard.clear();
        return request;
    }

    // Answers the opcode with one record carrying the text.
    void AnswerText(std::uint16_t opcode, std::int16_t type, std::string text) {
        recorder.On(opcode, [this, opcode, type, text](std::span<const std::uint8_t> request) {
            return std::vector<Bytes>{recorder.Reply(opcode, request, 0).Text(type, text).Build()};
        });
    }

    ScriptedRecorder recorder{MakeId(7)};
};

TEST_F(OperationsTest, LoginChecksTheStatus) {
    recorder.AnswerStatus(OP_LOGIN, 1);
    EXPECT_EQ(Login(), 1);
    const Bytes request = LastRequest();
    EXPECT_EQ(request.size(), 172u);
    EXPECT_EQ(HeaderDeviceId(request), MakeId(7));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&request[44])), "YWRtaW4=");
    EXPECT_TRUE(RequestRecords(request).empty());

    recorder.AnswerStatus(OP_LOGIN, 0);
    EXPECT_EQ(Login(), 0);
    recorder.AnswerStatus(OP_LOGIN, 2);
    EXPECT_EQ(Login(), 0);
}

TEST_F(OperationsTest, VolumeListSplits) {
    struct Case {
        std::string text;
        std::vector<std::string> names;
    };
    for (const Case& c : {Case{"Volume_1:Volume_2:Volume_1", {"Volume_1", "Volume_2"}},
                          Case{"::Volume_1:", {"Volume_1"}}, Case{":::", {}}}) {
        AnswerText(OP_GET_VOLUMES, 999, c.text);  // the first record counts, whatever its type
        EXPECT_EQ(ReadVolumeList(), 1) << c.text;
        std::vector<std::string> names;
        for (const auto& name : VolumeList) {
            names.push_back(name.str());
        }
        EXPECT_EQ(names, c.names) << c.text;
    }
    {
        // A first record of length 4: empty list, success all the same.
        recorder.On(OP_GET_VOLUMES, [this](std::span<const std::uint8_t> request) {
            return std::vector<Bytes>{recorder.Reply(OP_GET_VOLUMES, request, 0)
                                          .Raw(TLV_NAME, 4, {})
                                          .Text(TLV_NAME, "Volume_9")
                                          .Build()};
        });
        EXPECT_EQ(ReadVolumeList(), 1);
        EXPECT_TRUE(VolumeList.empty());
    }
    {
        // A failed read leaves the list empty.
        AnswerText(OP_GET_VOLUMES, 999, "Volume_1");
        ASSERT_EQ(ReadVolumeList(), 1);
        ASSERT_EQ(VolumeList.size(), 1u);
        recorder.On(OP_GET_VOLUMES, [](auto) { return std::vector<Bytes>{}; });
        EXPECT_EQ(ReadVolumeList(), 0);
        EXPECT_TRUE(VolumeList.empty());
    }
}

TEST_F(OperationsTest, SetLanDhcpSendsTwoRecords) {
    recorder.AnswerStatus(OP_SET_LAN_DHCP, 1);
    LanModeText = "LAN1";
    EXPECT_EQ(SetLanDhcp(), 1);
    EXPECT_EQ(RequestRecords(LastRequest()),
              (std::vector<RequestRecord>{{TLV_DHCP, "1", 8}, {TLV_LAN_INDEX, "0", 8}}));
    LanModeText = "LAN2";
    recorder.AnswerStatus(OP_SET_LAN_DHCP, 0);
    EXPECT_EQ(SetLanDhcp(), 0);
    EXPECT_EQ(RequestRecords(LastRequest()),
              (std::vector<RequestRecord>{{TLV_DHCP, "1", 8}, {TLV_LAN_INDEX, "1", 8}}));
}

TEST_F(OperationsTest, SetLanStaticSendsTheSelectedPortsDnsAndOption) {
    recorder.AnswerStatus(OP_SET_LAN_STATIC, 1);
    StaticIpText = "192.168.0.10";
    StaticNetmaskText = "255.255.255.0";
    StaticGatewayText = "";
    LanModeText = "LAN1";
    EXPECT_EQ(SetLanStatic(), 1);
    EXPECT_EQ(RequestRecords(LastRequest()),
              (std::vector<RequestRecord>{{TLV_IP, "192.168.0.10", 20},
                                          {TLV_NETMASK, "255.255.255.0", 20},
                                          {TLV_GATEWAY, "", 4},
                                          {TLV_DNS1, "192.168.0.53", 20},
                                          {TLV_DNS2, "192.168.0.54", 20},
                                          {TLV_LAN_OPTION, "0", 8},
                                          {TLV_LAN_INDEX, "0", 8}}));
    LanModeText = "other";
    StaticGatewayText = "192.168.0.1";
    EXPECT_EQ(SetLanStatic(), 1);
    EXPECT_EQ(RequestRecords(LastRequest()),
              (std::vector<RequestRecord>{{TLV_IP, "192.168.0.10", 20},
                                          {TLV_NETMASK, "255.255.255.0", 20},
                                          {TLV_GATEWAY, "192.168.0.1", 16},
                                          {TLV_DNS1, "10.0.0.53", 16},
                                          {TLV_DNS2, "10.0.0.54", 16},
                                          {TLV_LAN_OPTION, "1", 8},
                                          {TLV_LAN_INDEX, "1", 8}}));
    recorder.AnswerStatus(OP_SET_LAN_STATIC, 0);
    EXPECT_EQ(SetLanStatic(), 0);
}

TEST_F(OperationsTest, AnOutOfRangeActivePortAddressesTheFirstPort) {
    // One port described, active port 7: the request goes to port 0, and
    // nothing is read outside the two ports.
    ScriptedRecorder odd(MakeId(8));
    odd.AnswerDiscovery({{TLV_ACTIVE_LAN, "7"}, {TLV_LAN_INDEX, "0"}, {TLV_DNS1, "1.1.1.1"}});
    odd.AnswerStatus(OP_SET_LAN_STATIC, 1);
    Discover(odd);
    EXPECT_EQ(SetLanStatic(), 1);
    const auto records = RequestRecords(odd.heard.back().second);
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[3], (RequestRecord{TLV_DNS1, "1.1.1.1", 12}));
    EXPECT_EQ(records[6], (RequestRecord{TLV_LAN_INDEX, "0", 8}));
}

TEST_F(OperationsTest, IdentityReadAndWrite) {
    recorder.On(OP_GET_IDENTITY, [this](std::span<const std::uint8_t> request) {
        return std::vector<Bytes>{recorder.Reply(OP_GET_IDENTITY, request, 0)
                                      .Text(TLV_NAME, "Gate")
                                      .Text(TLV_IDENT_SHORT, "gate-01")
                                      .Text(TLV_IDENT_LONG, "Recorder at the gate")
                                      .Build()};
    });
    EXPECT_EQ(ReadIdentity(), 1);
    EXPECT_EQ(IdentityName, "Gate");
    EXPECT_EQ(IdentityShort, "gate-01");
    EXPECT_EQ(IdentityLong, "Recorder at the gate");
    LastRequest();

    recorder.AnswerStatus(OP_SET_IDENTITY, 1);
    IdentityName = "Yard";
    EXPECT_EQ(WriteIdentity(), 1);
    EXPECT_EQ(RequestRecords(LastRequest()),
              (std::vector<RequestRecord>{{TLV_IDENT_SHORT, "gate-01", 12},
                                          {TLV_NAME, "Yard", 12},
                                          {TLV_IDENT_LONG, "Recorder at the gate", 28}}));

    // No reply: the texts stay as they were.
    recorder.On(OP_GET_IDENTITY, [](auto) { return std::vector<Bytes>{}; });
    EXPECT_EQ(ReadIdentity(), 0);
    EXPECT_EQ(IdentityName, "Yard");
}

TEST_F(OperationsTest, UnknownRecorderSendsNothing) {
    CurrentTargetId = MakeId(99);
    recorder.AnswerStatus(OP_LOGIN, 1);
    VolumeList.push_back(VolumeNameText("stale"));
    EXPECT_EQ(Login(), 0);
    EXPECT_EQ(ReadVolumeList(), 0);
    EXPECT_TRUE(VolumeList.empty());
    EXPECT_EQ(SetLanDhcp(), 0);
    EXPECT_EQ(SetLanStatic(), 0);
    EXPECT_EQ(ReadIdentity(), 0);
    EXPECT_EQ(WriteIdentity(), 0);
    EXPECT_TRUE(net.Sent().empty());
    EXPECT_TRUE(net.Waits().empty());
    EXPECT_TRUE(net.Sleeps().empty());
}

TEST_F(OperationsTest, UnavailableOperationsReturnZeroAndLeaveTheirTexts) {
    HttpsSetting = "";
    DomainName = "";
    DiskStatus = "";
    AddonStatusText = "";
    DeviceCodepage = "950";
    VolumeName = "";
    DiskAccessMode = "rw";
    StopRequest = "stop";
    AddonNameText = "BT";
    const auto before = net.Now();
    for (auto operation : {QueryHttpsSetting, QueryDomainName, QueryDiskStatus, QueryDeviceCodepage,
                           QueryVolumeName, SetDiskAccessMode, SetDeviceCodepage, SendStopRequest,
                           QueryAddonStatus, NotifyAddonInstalled}) {
        EXPECT_EQ(operation(), 0);
    }
    EXPECT_TRUE(HttpsSetting.empty());
    EXPECT_TRUE(DomainName.empty());
    EXPECT_TRUE(DiskStatus.empty());
    EXPECT_TRUE(AddonStatusText.empty());
    EXPECT_EQ(DeviceCodepage, "950");
    EXPECT_TRUE(VolumeName.empty());
    EXPECT_EQ(DiskAccessMode, "rw");
    EXPECT_EQ(StopRequest, "stop");
    EXPECT_EQ(AddonNameText, "BT");
    EXPECT_TRUE(net.Sent().empty());
    EXPECT_EQ(net.Now(), before);
}

std::string traced;
void CaptureTrace(std::string_view text) {
    traced += text;
}

TEST_F(OperationsTest, VolumeTraceIsSilentByDefaultAndMasksCredentials) {
    AnswerText(OP_GET_VOLUMES, 999, "Volume_1");
    SetTraceSink(CaptureTrace);
    traced.clear();
    unsetenv("OSTREL_DEBUG");
    EXPECT_EQ(ReadVolumeList(), 1);
    EXPECT_TRUE(traced.empty());

    setenv("OSTREL_DEBUG", "1", 1);
    EXPECT_EQ(ReadVolumeList(), 1);
    unsetenv("OSTREL_DEBUG");
    SetTraceSink(nullptr);
    // 172 bytes as "xx " and a line break; header in clear, credentials masked.
    ASSERT_EQ(traced.size(), 172u * 3 + 1);
    EXPECT_EQ(traced.substr(0, 12), "aa 55 a4 00 ");
    EXPECT_EQ(traced.substr(44 * 3, 6), "** ** ");
    std::string masked;
    for (int i = 0; i < 128; ++i) {
        masked += "** ";
    }
    EXPECT_EQ(traced.substr(44 * 3, 128 * 3), masked);
    EXPECT_EQ(traced.back(), '\n');
}

TEST(TraceTest, LongTracesAreCut) {
    setenv("OSTREL_DEBUG", "1", 1);
    traced.clear();
    SetTraceSink(CaptureTrace);
    const std::string longText(5000, 'x');
    EXPECT_TRUE(TraceDebug("%s", longText.c_str()));
    SetTraceSink(nullptr);
    unsetenv("OSTREL_DEBUG");
    EXPECT_EQ(traced.size(), kTraceBufferSize - 1);
}

}  // namespace
