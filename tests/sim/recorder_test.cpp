// The recorder model on its own: request check, replies per opcode, state
// changes and scripted faults, read back with the model's reply walk.

#include "sim/recorder.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "request_builder.h"
#include "sim/wire.h"

namespace {

using simtest::BuildRequest;
using simtest::TestRequest;

const sim::DeviceId kId{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, 0x01};

sim::RecorderState TwoPortRecorder() {
    sim::RecorderState state;
    state.name = "NVR-Alpha";
    state.deviceId = kId;
    state.model = "KVR-610L";
    state.numberA = 7;
    state.numberB = -3;
    state.shortText = "A1";
    state.activeLan = 1;
    state.lan = {{"10.0.0.11", "255.255.255.0", "10.0.0.1", "10.0.0.53", "", false, 1},
                 {"10.0.1.11", "255.255.255.0", "10.0.1.1", "10.0.1.53", "10.0.1.54", false, 0}};
    state.adminPassword = "secret";
    state.volumes = {"Volume_1", "Volume_2"};
    state.identityShort = "Alpha";
    state.identityLong = "The first recorder";
    state.dhcpPool.addresses = {"10.0.0.11", "10.0.0.200", "10.0.0.201"};
    state.dhcpPool.netmask = "255.255.0.0";
    return state;
}

TestRequest Op(std::uint16_t opcode, std::string password = "secret") {
    TestRequest req;
    req.opcode = opcode;
    req.deviceId = kId;
    req.password = std::move(password);
    return req;
}

std::uint16_t Status(const std::vector<std::uint8_t>& reply) {
    return static_cast<std::uint16_t>(reply[4] | (reply[5] << 8));
}

std::vector<sim::Record> Records(const std::vector<std::uint8_t>& reply) {
    return sim::ParseRecords(std::span<const std::uint8_t>(reply).subspan(sim::kHeaderSize));
}

// Checks what every reply must satisfy for the client: magic, echoed opcode
// and session, own id, exact length, padded records that end the datagram.
void ExpectWellFormed(const std::vector<std::uint8_t>& reply, const TestRequest& req) {
    ASSERT_GE(reply.size(), sim::kHeaderSize);
    EXPECT_EQ(reply[0], 0x55);
    EXPECT_EQ(reply[1], 0xAA);
    EXPECT_EQ(reply[2] | (reply[3] << 8), req.opcode);
    EXPECT_TRUE(std::equal(req.session.begin(), req.session.end(), reply.begin() + 8));
    EXPECT_TRUE(std::equal(kId.begin(), kId.end(), reply.begin() + 16));
    EXPECT_EQ(reply.size(), sim::kHeaderSize + (reply[42] | (reply[43] << 8)));
    std::size_t total = sim::kHeaderSize;
    for (const auto& record : Records(reply)) {
        total += 4 + record.value.size();
        EXPECT_EQ(record.value.size() % 4, 0u);
        if (!record.value.empty()) {
            EXPECT_EQ(record.value.back(), '\0');
        }
    }
    EXPECT_EQ(total, reply.size());
}

std::vector<std::uint8_t> One(sim::Recorder& recorder, const TestRequest& req) {
    auto replies = recorder.Handle(BuildRequest(req));
    EXPECT_EQ(replies.size(), 1u);
    if (replies.empty())
        return {};
    ExpectWellFormed(replies[0].bytes, req);
    return replies[0].bytes;
}

TEST(RecorderModel, DiscoveryDescribesBothPortsInOrder) {
    sim::Recorder recorder(TwoPortRecorder());
    const auto reply = One(recorder, TestRequest{});
    const auto records = Records(reply);
    std::vector<std::pair<std::int16_t, std::string>> got;
    for (const auto& r : records)
        got.emplace_back(r.type, r.Text());
    const std::vector<std::pair<std::int16_t, std::string>> expected{
        {sim::tlv::kName, "NVR-Alpha"},
        {sim::tlv::kModel, "KVR-610L"},
        {sim::tlv::kNumberA, "7"},
        {sim::tlv::kNumberB, "-3"},
        {sim::tlv::kShortText, "A1"},
        {sim::tlv::kActiveLan, "1"},
        {sim::tlv::kLanIndex, "0"},
        {sim::tlv::kDhcp, "0"},
        {sim::tlv::kIp, "10.0.0.11"},
        {sim::tlv::kNetmask, "255.255.255.0"},
        {sim::tlv::kGateway, "10.0.0.1"},
        {sim::tlv::kDns1, "10.0.0.53"},
        {sim::tlv::kDns2, ""},
        {sim::tlv::kLanOption, "1"},
        {sim::tlv::kLanIndex, "1"},
        {sim::tlv::kDhcp, "0"},
        {sim::tlv::kIp, "10.0.1.11"},
        {sim::tlv::kNetmask, "255.255.255.0"},
        {sim::tlv::kGateway, "10.0.1.1"},
        {sim::tlv::kDns1, "10.0.1.53"},
        {sim::tlv::kDns2, "10.0.1.54"},
        {sim::tlv::kLanOption, "0"}};
    EXPECT_EQ(got, expected);
    // Padding: 9 characters take 12 bytes, 8 take 12, an empty text none.
    EXPECT_EQ(records[0].value.size(), 12u);
    EXPECT_EQ(records[1].value.size(), 12u);
    EXPECT_EQ(records[12].value.size(), 0u);
    ASSERT_EQ(recorder.log().size(), 1u);
    EXPECT_EQ(recorder.log()[0].opcode, sim::op::kDiscover);
    EXPECT_EQ(Status(reply), 1);
}

TEST(RecorderModel, RequestCheckIgnoresWhatIsNotARequestForIt) {
    sim::Recorder recorder(TwoPortRecorder());
    auto good = BuildRequest(Op(sim::op::kLogin));
    {
        auto bytes = good;
        bytes[0] = 0x55;  // reply magic
        bytes[1] = 0xAA;
        EXPECT_TRUE(recorder.Handle(bytes).empty());
    }
    {
        auto bytes = good;
        bytes.push_back(0);  // one byte past the payload length
        EXPECT_TRUE(recorder.Handle(bytes).empty());
    }
    {
        auto req = Op(sim::op::kLogin);
        req.deviceId[7] = 0x99;  // another recorder's id
        EXPECT_TRUE(recorder.Handle(BuildRequest(req)).empty());
    }
    {
        // Header only, without the credential block.
        std::vector<std::uint8_t> bytes(good.begin(), good.begin() + sim::kHeaderSize);
        bytes[42] = bytes[43] = 0;
        EXPECT_TRUE(recorder.Handle(bytes).empty());
    }
    EXPECT_TRUE(recorder.Handle(std::vector<std::uint8_t>(43, 0xAA)).empty());
    EXPECT_TRUE(recorder.Handle({}).empty());
    EXPECT_TRUE(recorder.log().empty());
    // An unknown opcode is logged but not answered.
    EXPECT_TRUE(recorder.Handle(BuildRequest(Op(150))).empty());
    ASSERT_EQ(recorder.log().size(), 1u);
    EXPECT_EQ(recorder.log()[0].opcode, 150);
}

TEST(RecorderModel, CredentialsDecideTheStatus) {
    sim::Recorder recorder(TwoPortRecorder());
    EXPECT_EQ(Status(One(recorder, Op(sim::op::kLogin))), 1);
    EXPECT_EQ(Status(One(recorder, Op(sim::op::kLogin, "wrong"))), 0);
    EXPECT_EQ(Status(One(recorder, Op(sim::op::kLogin, ""))), 0);
    auto otherUser = Op(sim::op::kLogin);
    otherUser.user = "guest";
    EXPECT_EQ(Status(One(recorder, otherUser)), 0);
    {
        // A credential half that is not Base64 never authenticates.
        auto bytes = BuildRequest(Op(sim::op::kLogin));
        bytes[44 + 64] = '*';
        const auto replies = recorder.Handle(bytes);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(Status(replies[0].bytes), 0);
    }
    ASSERT_EQ(recorder.log().size(), 5u);
    EXPECT_TRUE(recorder.log()[0].authenticated);
    EXPECT_FALSE(recorder.log()[1].authenticated);
    EXPECT_EQ(recorder.log()[3].user, "guest");
    // Reads with bad credentials carry no data.
    EXPECT_TRUE(Records(One(recorder, Op(sim::op::kGetVolumes, "wrong"))).empty());
    EXPECT_TRUE(Records(One(recorder, Op(sim::op::kGetIdentity, "wrong"))).empty());
}

TEST(RecorderModel, CredentialHalvesOfFullLength) {
    auto state = TwoPortRecorder();
    state.adminUser = std::string(48, 'u');
    state.adminPassword = std::string(47, 'p');
    sim::Recorder recorder(state);
    auto req = Op(sim::op::kLogin, state.adminPassword);
    req.user = state.adminUser;  // 64 Base64 characters with no zero after them
    EXPECT_EQ(Status(One(recorder, req)), 1);
}

TEST(RecorderModel, VolumesAndIdentity) {
    sim::Recorder recorder(TwoPortRecorder());
    {
        const auto records = Records(One(recorder, Op(sim::op::kGetVolumes)));
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].Text(), "Volume_1:Volume_2");
    }
    {
        auto state = TwoPortRecorder();
        state.volumes.clear();
        sim::Recorder empty(state);
        const auto records = Records(One(empty, Op(sim::op::kGetVolumes)));
        ASSERT_EQ(records.size(), 1u);
        EXPECT_TRUE(records[0].value.empty());  // a 4-byte record
    }
    const auto records = Records(One(recorder, Op(sim::op::kGetIdentity)));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].Text(), "NVR-Alpha");
    EXPECT_EQ(records[1].Text(), "Alpha");
    EXPECT_EQ(records[2].Text(), "The first recorder");

    auto write = Op(sim::op::kSetIdentity);
    write.records = {{sim::tlv::kIdentShort, std::string(40, 's')},
                     {sim::tlv::kName, "Renamed"},
                     {sim::tlv::kIdentLong, std::string(600, 'l')}};
    EXPECT_EQ(Status(One(recorder, write)), 1);
    EXPECT_EQ(recorder.state().name, "Renamed");
    EXPECT_EQ(recorder.state().identityShort, std::string(sim::kMaxIdentShortLength, 's'));
    EXPECT_EQ(recorder.state().identityLong, std::string(sim::kMaxIdentLongLength, 'l'));

    auto refused = write;
    refused.password = "wrong";
    refused.records = {{sim::tlv::kName, "Hijacked"}};
    EXPECT_EQ(Status(One(recorder, refused)), 0);
    EXPECT_EQ(recorder.state().name, "Renamed");
}

TEST(RecorderModel, IdentityWriteWithMalformedRecordsIsRefusedWhole) {
    sim::Recorder recorder(TwoPortRecorder());
    auto write = Op(sim::op::kSetIdentity);
    write.records = {{sim::tlv::kName, "Renamed"}, {sim::tlv::kIdentShort, "New"}};
    const auto good = BuildRequest(write);
    // The first record is whole; what follows it does not add up.
    const std::size_t second = 44 + sim::kCredentialBlockSize + 12;
    auto withLength = [&](std::uint16_t length) {
        auto bytes = good;
        bytes[second + 2] = static_cast<std::uint8_t>(length);
        bytes[second + 3] = static_cast<std::uint8_t>(length >> 8);
        return bytes;
    };
    auto trailing = good;
    trailing.insert(trailing.end(), {0x01, 0x00});
    trailing[42] = static_cast<std::uint8_t>(trailing.size() - 44);
    trailing[43] = static_cast<std::uint8_t>((trailing.size() - 44) >> 8);
    for (const auto& bytes :
         {withLength(0), withLength(2), withLength(0xFFF0), withLength(200), trailing}) {
        const auto replies = recorder.Handle(bytes);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(Status(replies[0].bytes), 0);
        EXPECT_EQ(recorder.state().name, "NVR-Alpha");
        EXPECT_EQ(recorder.state().identityShort, "Alpha");
    }
    EXPECT_EQ(Status(One(recorder, write)), 1);
    EXPECT_EQ(recorder.state().name, "Renamed");
}

TEST(RecorderModel, StaticChangeMovesTheSelectedPort) {
    sim::Recorder recorder(TwoPortRecorder());
    auto req = Op(sim::op::kSetLanStatic);
    req.records = {{sim::tlv::kIp, "10.0.1.99"},       {sim::tlv::kNetmask, "255.255.0.0"},
                   {sim::tlv::kGateway, "10.0.0.254"}, {sim::tlv::kDns1, "10.0.1.53"},
                   {sim::tlv::kDns2, "10.0.1.54"},     {sim::tlv::kLanOption, "1"},
                   {sim::tlv::kLanIndex, "1"}};
    EXPECT_EQ(Status(One(recorder, req)), 1);
    const auto& port = recorder.state().lan[1];
    EXPECT_EQ(port.ip, "10.0.1.99");
    EXPECT_EQ(port.netmask, "255.255.0.0");
    EXPECT_EQ(port.gateway, "10.0.0.254");
    EXPECT_EQ(port.option, 1);
    EXPECT_FALSE(port.dhcp);
    EXPECT_EQ(recorder.state().lan[0].ip, "10.0.0.11");
    const auto changes = recorder.TakeAddressChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].port, 1);
    EXPECT_EQ(changes[0].oldIp, "10.0.1.11");
    EXPECT_EQ(changes[0].newIp, "10.0.1.99");
    EXPECT_TRUE(recorder.TakeAddressChanges().empty());

    // Refused without a change: bad address, bad netmask, port out of range,
    // missing index, wrong password.
    for (const auto& [type, value] :
         std::vector<std::pair<std::int16_t, std::string>>{{sim::tlv::kIp, "10.0.1.256"},
                                                           {sim::tlv::kNetmask, "255.0.255.0"},
                                                           {sim::tlv::kLanIndex, "2"}}) {
        auto bad = req;
        for (auto& record : bad.records) {
            if (record.first == type)
                record.second = value;
        }
        EXPECT_EQ(Status(One(recorder, bad)), 0) << value;
    }
    auto noIndex = req;
    noIndex.records.pop_back();
    EXPECT_EQ(Status(One(recorder, noIndex)), 0);
    auto wrong = req;
    wrong.password = "nope";
    wrong.records[0].second = "10.0.1.100";
    EXPECT_EQ(Status(One(recorder, wrong)), 0);
    EXPECT_EQ(recorder.state().lan[1].ip, "10.0.1.99");
    EXPECT_TRUE(recorder.TakeAddressChanges().empty());
}

TEST(RecorderModel, DhcpTakesTheNextFreePoolAddress) {
    sim::Recorder recorder(TwoPortRecorder());
    auto req = Op(sim::op::kSetLanDhcp);
    req.records = {{sim::tlv::kDhcp, "1"}, {sim::tlv::kLanIndex, "0"}};
    EXPECT_EQ(Status(One(recorder, req)), 1);
    // 10.0.0.11 is the port's own address already: the pool moves on.
    EXPECT_TRUE(recorder.state().lan[0].dhcp);
    EXPECT_EQ(recorder.state().lan[0].ip, "10.0.0.200");
    EXPECT_EQ(recorder.state().lan[0].netmask, "255.255.0.0");
    EXPECT_EQ(recorder.state().lan[0].gateway, "10.0.0.1");  // pool names none: kept
    ASSERT_EQ(recorder.TakeAddressChanges().size(), 1u);
    EXPECT_EQ(Status(One(recorder, req)), 1);
    EXPECT_EQ(recorder.state().lan[0].ip, "10.0.0.201");

    auto flagZero = req;
    flagZero.records[0].second = "0";
    EXPECT_EQ(Status(One(recorder, flagZero)), 0);
    auto badPort = req;
    badPort.records[1].second = "5";
    EXPECT_EQ(Status(One(recorder, badPort)), 0);

    // Without a pool the flag is set and the address stays.
    auto state = TwoPortRecorder();
    state.dhcpPool = {};
    sim::Recorder noPool(state);
    req.records[1].second = "1";
    EXPECT_EQ(Status(One(noPool, req)), 1);
    EXPECT_TRUE(noPool.state().lan[1].dhcp);
    EXPECT_EQ(noPool.state().lan[1].ip, "10.0.1.11");
    EXPECT_TRUE(noPool.TakeAddressChanges().empty());
}

TEST(RecorderModel, ScriptsApplyByOpcodeFirstMatchWins) {
    auto state = TwoPortRecorder();
    sim::Script silentLogin;
    silentLogin.opcodes = {sim::op::kLogin};
    silentLogin.silent = true;
    sim::Script refuseAll;
    refuseAll.refuse = true;
    state.scripts = {silentLogin, refuseAll};
    sim::Recorder recorder(state);
    EXPECT_TRUE(recorder.Handle(BuildRequest(Op(sim::op::kLogin))).empty());
    EXPECT_EQ(recorder.log().size(), 1u);  // heard, not answered
    EXPECT_EQ(recorder.log()[0].replies, 0u);

    auto dhcp = Op(sim::op::kSetLanDhcp);
    dhcp.records = {{sim::tlv::kDhcp, "1"}, {sim::tlv::kLanIndex, "0"}};
    EXPECT_EQ(Status(One(recorder, dhcp)), 0);
    EXPECT_FALSE(recorder.state().lan[0].dhcp);  // refused: no change
    EXPECT_TRUE(Records(One(recorder, Op(sim::op::kGetVolumes))).empty());
    // Discovery is still described, with status 0.
    EXPECT_FALSE(Records(One(recorder, TestRequest{})).empty());
}

TEST(RecorderModel, DelayDuplicatesAndForeignBurst) {
    auto state = TwoPortRecorder();
    sim::Script script;
    script.delay = std::chrono::milliseconds(120);
    script.duplicates = 2;
    script.foreignBurst = 5;
    state.scripts = {script};
    sim::Recorder recorder(state);
    const auto req = Op(sim::op::kLogin);
    const auto request = BuildRequest(req);
    const auto replies = recorder.Handle(request);
    ASSERT_EQ(replies.size(), 8u);
    for (const auto& reply : replies)
        EXPECT_EQ(reply.delay, std::chrono::milliseconds(120));
    // The burst comes first and none of it passes a client's reply check.
    for (std::size_t i = 0; i < 5; ++i) {
        const auto& bytes = replies[i].bytes;
        const bool replyMagic = bytes.size() >= 44 && bytes[0] == 0x55 && bytes[1] == 0xAA;
        const bool sameOp = replyMagic && (bytes[2] | (bytes[3] << 8)) == req.opcode;
        const bool sameSession =
            sameOp && std::equal(req.session.begin(), req.session.end(), bytes.begin() + 8);
        const bool rightLength =
            sameSession && bytes.size() == 44u + (bytes[42] | (bytes[43] << 8));
        EXPECT_FALSE(rightLength) << "foreign datagram " << i << " would be accepted";
    }
    EXPECT_EQ(replies[1].bytes, request);  // another instance's request, request magic
    for (std::size_t i = 5; i < 8; ++i) {
        ExpectWellFormed(replies[i].bytes, req);
        EXPECT_EQ(replies[i].bytes, replies[5].bytes);
    }
    EXPECT_EQ(recorder.log().back().replies, 8u);
}

TEST(RecorderModel, MalformedRepliesKeepAValidHeader) {
    using sim::Malformation;
    for (const auto mode : {Malformation::ShortLength, Malformation::PastEnd}) {
        auto state = TwoPortRecorder();
        sim::Script script;
        script.malformed = mode;
        script.unknownRecords = true;
        state.scripts = {script};
        sim::Recorder recorder(state);
        const auto replies = recorder.Handle(BuildRequest(TestRequest{}));
        ASSERT_EQ(replies.size(), 1u);
        const auto& bytes = replies[0].bytes;
        EXPECT_EQ(bytes.size(), 44u + (bytes[42] | (bytes[43] << 8)));
        // The walk stops at the broken record: every known record before it
        // is there, the junk after it is not read.
        const auto records = Records(bytes);
        EXPECT_EQ(std::count_if(records.begin(), records.end(),
                                [](const sim::Record& r) { return r.type == sim::tlv::kLanIndex; }),
                  2);
        EXPECT_EQ(
            std::count_if(records.begin(), records.end(),
                          [](const sim::Record& r) { return r.type == sim::tlv::kLanOption; }),
            2);
        EXPECT_EQ(records.back().type, -5);  // the last unknown record, just before the junk
        EXPECT_TRUE(std::any_of(records.begin(), records.end(),
                                [](const sim::Record& r) { return r.type == 600; }));
    }
    {
        auto state = TwoPortRecorder();
        sim::Script script;
        script.malformed = Malformation::Oversize;
        state.scripts = {script};
        sim::Recorder recorder(state);
        const auto records = Records(One(recorder, TestRequest{}));
        EXPECT_EQ(records[0].Text().size(), 300u);
        EXPECT_EQ(records[0].Text().substr(0, 9), "NVR-Alpha");
        EXPECT_EQ(records[1].Text(), "KVR-610L");  // the model stays recognisable
        const auto volumes = Records(One(recorder, Op(sim::op::kGetVolumes)));
        EXPECT_EQ(volumes[0].Text(), "Volume_1:Volume_2:" + std::string(300, 'V'));
    }
    {
        auto state = TwoPortRecorder();
        sim::Script script;
        script.malformed = Malformation::BadLanIndex;
        state.scripts = {script};
        sim::Recorder recorder(state);
        const auto records = Records(One(recorder, TestRequest{}));
        EXPECT_EQ(std::count_if(records.begin(), records.end(),
                                [](const sim::Record& r) { return r.type == sim::tlv::kLanIndex; }),
                  5);
    }
}

TEST(RecorderModel, RandomDatagramsNeverCrashIt) {
    sim::Recorder recorder(TwoPortRecorder());
    std::mt19937 random(12345);
    const auto base = BuildRequest(Op(sim::op::kSetLanStatic));
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bytes;
        if (round % 2 == 0) {
            bytes.resize(random() % 400);
            for (auto& b : bytes)
                b = static_cast<std::uint8_t>(random());
            if (bytes.size() >= 2) {
                bytes[0] = 0xAA;
                bytes[1] = 0x55;
            }
        } else {
            bytes = base;
            for (int flips = 0; flips < 6; ++flips)
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
        }
        // Keep the length field honest half the time, so the record walk is reached.
        if (bytes.size() >= 44 && round % 4 < 2)
            simtest::PutU16(bytes, 42, static_cast<std::uint16_t>(bytes.size() - 44));
        for (const auto& reply : recorder.Handle(bytes))
            EXPECT_LE(reply.bytes.size(), sim::kMaxDatagram);
    }
}

TEST(RecorderWire, Base64AndNumbers) {
    EXPECT_EQ(sim::Base64Encode("abc"), "YWJj");
    EXPECT_EQ(sim::Base64Encode("\xff"), "/w==");
    EXPECT_EQ(sim::Base64Encode("foobar"), "Zm9vYmFy");
    for (const char* text : {"", "f", "fo", "foo", "foob", "fooba", "foobar"})
        EXPECT_EQ(sim::Base64Decode(sim::Base64Encode(text)), std::optional<std::string>(text));
    EXPECT_FALSE(sim::Base64Decode("Zm9").has_value());
    EXPECT_FALSE(sim::Base64Decode("Zm=v").has_value());
    EXPECT_FALSE(sim::Base64Decode("Zm9v!A==").has_value());

    auto number = [](std::string text) { return sim::Record{0, std::move(text)}.Number(); };
    EXPECT_EQ(number(" 12abc"), 12);
    EXPECT_EQ(number("-7"), -7);
    EXPECT_EQ(number("x1"), 0);
    EXPECT_EQ(number(std::string("1\0"
                                 "5",
                                 3)),
              1);
    EXPECT_EQ(number("99999999999"), 2147483647);

    EXPECT_EQ(sim::ParseIpv4("192.168.0.10"), 0xC0A8000Au);
    for (const char* bad :
         {"", "1.2.3", "1.2.3.4.", "256.1.1.1", "1..2.3", "1.2.3.4 ", "0001.2.3.4"})
        EXPECT_FALSE(sim::ParseIpv4(bad).has_value()) << bad;
    EXPECT_EQ(sim::NetmaskPrefix("255.255.255.0"), 24);
    EXPECT_EQ(sim::NetmaskPrefix("0.0.0.0"), 0);
    EXPECT_FALSE(sim::NetmaskPrefix("255.0.255.0").has_value());
}

TEST(RecorderWire, RecordWalkStopsAtBrokenLengths) {
    const std::vector<std::uint8_t> bytes{0xF8, 0x01, 0x08, 0x00, 'a', 'b', 0, 0,  // good record
                                          0xF9, 0x01, 0x02, 0x00, 0,   0,          // length 2
                                          0xFA, 0x01, 0x08, 0x00};
    const auto records = sim::ParseRecords(bytes);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Text(), "ab");
    const std::vector<std::uint8_t> pastEnd{0xF8, 0x01, 0x40, 0x00, 'a', 0, 0, 0};
    EXPECT_TRUE(sim::ParseRecords(pastEnd).empty());
    const std::vector<std::uint8_t> negative{0xF8, 0x01, 0xFF, 0xFF, 'a', 0, 0, 0};
    EXPECT_TRUE(sim::ParseRecords(negative).empty());
}

}  // namespace
