// The standing table of bad input, on real sockets in the lab: datagrams the
// program must not take or must read safely, configurations the simulator
// must refuse, requests its console must survive, and what the command line
// must never pass to a terminal. Each row once caught, or would catch, a
// real fault; a regression in any of them fails here.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "protocol/credential_block.h"
#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/exchange.h"
#include "protocol/globals.h"
#include "protocol/local_addresses.h"
#include "protocol/network.h"
#include "protocol/operations.h"
#include "protocol/packet_format.h"
#include "protocol/session_id.h"
#include "tests/lab/lab_support.h"
#include "tests/lab/require_lab.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

void PutU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Appends a record with any length field; the header's payload length follows.
void AddRecord(Bytes& bytes, std::int16_t type, std::int16_t length, const std::string& value) {
    const std::size_t at = bytes.size();
    bytes.resize(at + 4);
    PutU16(bytes, at, static_cast<std::uint16_t>(type));
    PutU16(bytes, at + 2, static_cast<std::uint16_t>(length));
    bytes.insert(bytes.end(), value.begin(), value.end());
    PutU16(bytes, 42, static_cast<std::uint16_t>(bytes.size() - 44));
}
void AddText(Bytes& bytes, std::int16_t type, const std::string& text) {
    std::string padded = text;
    padded.resize(text.size() - text.size() % 4 + 4, '\0');
    AddRecord(bytes, type, static_cast<std::int16_t>(4 + padded.size()), padded);
}

int SlotOf(const std::string& address) {
    for (std::size_t i = 0; i < LocalAddressTable.size(); ++i) {
        if (LocalAddressTable[i].address == address) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Sends the datagrams to the group from a lab namespace while `run` works.
template <typename Run>
auto WhileSending(const lab::Recorder& from, const std::vector<Bytes>& datagrams,
                  std::chrono::milliseconds startAfter, int perSecond, long count, Run run) {
    std::vector<std::unique_ptr<lab::GroupSender>> senders;
    for (const Bytes& datagram : datagrams) {
        lab::GroupSender::Plan plan;
        plan.netns = from.netns;
        plan.localAddress = from.ip;
        plan.datagram = datagram;
        plan.startAfter = startAfter;
        plan.duration = std::chrono::milliseconds(6000);
        plan.perSecond = perSecond;
        plan.maxCount = count;
        senders.push_back(std::make_unique<lab::GroupSender>(plan));
    }
    auto result = run();
    for (auto& sender : senders) {
        sender->Stop();
        EXPECT_TRUE(sender->Error().empty()) << sender->Error();
    }
    return result;
}

constexpr DeviceId kPhantom = {0x00, 0x1A, 0x2B, 0xEE, 0xEE, 0xEE, 0x00, 0x98};

TEST(LabBadInput, ReplyDatagramsTheExchangeMustNotTake) {
    REQUIRE_LAB();
    const lab::Recorder* sender = info.ByKey("r2");
    ASSERT_TRUE(sender);
    SessionIdBytes foreignSession{};
    struct Row {
        const char* what;
        std::function<Bytes()> datagram;
        int expected;  // Login's answer
    };
    const auto reply = [&] { return lab::ForgedReply(OP_LOGIN, 1, SessionId, kPhantom); };
    const std::vector<Row> rows = {
        {"a well-formed reply (control)", reply, 1},
        {"truncated inside the header",
         [&] {
             Bytes b = reply();
             b.resize(30);
             return b;
         },
         0},
        {"header claims more than arrived",
         [&] {
             Bytes b = reply();
             PutU16(b, 42, 64);
             return b;
         },
         0},
        {"longer than the receive buffer, header claiming exactly the buffer",
         [&] {
             Bytes b = reply();
             b.resize(5000, 0);
             PutU16(b, 42, static_cast<std::uint16_t>(kPacketBufferSize - 44));
             return b;
         },
         0},
        {"another program's session",
         [&] { return lab::ForgedReply(OP_LOGIN, 1, foreignSession, kPhantom); }, 0},
        {"a request, not a reply",
         [&] {
             Bytes b = reply();
             PutU16(b, 0, REQUEST_MAGIC);
             return b;
         },
         0},
        {"the reply of another operation",
         [&] { return lab::ForgedReply(OP_GET_VOLUMES, 1, SessionId, kPhantom); }, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ResetProtocolGlobals();
        InitNetwork();
        foreignSession = SessionId;
        foreignSession[2] ^= 0x5A;
        const int slot = SlotOf(sender->interfaceAddress);
        ASSERT_GE(slot, 0);
        DeviceRecord phantom;
        phantom.deviceId = kPhantom;
        phantom.interfaceIndex = slot;
        DeviceTable.push_back(phantom);
        CurrentTargetId = kPhantom;
        LoginUser = "admin";
        LoginPassword = "whatever";
        // After the drain, through the polling: the only answers are these.
        const int result = WhileSending(*sender, {row.datagram()}, std::chrono::milliseconds(1200),
                                        100, 100, [] { return Login(); });
        EXPECT_EQ(result, row.expected);
        ClearDeviceTable();
        ShutdownNetwork();
    }
}

TEST(LabBadInput, WaitsEndUnderAStreamThatNeverStops) {
    REQUIRE_LAB();
    const lab::Recorder* sender = info.ByKey("r2");
    ASSERT_TRUE(sender);
    ResetProtocolGlobals();
    InitNetwork();
    DeviceRecord phantom;
    phantom.deviceId = kPhantom;
    phantom.interfaceIndex = SlotOf(sender->interfaceAddress);
    DeviceTable.push_back(phantom);
    CurrentTargetId = kPhantom;
    SessionIdBytes foreign = SessionId;
    foreign[0] ^= 0xFF;
    // Junk every 2 ms from the start, for longer than any operation may last.
    const auto took = WhileSending(*sender, {lab::ForgedReply(OP_LOGIN, 1, foreign, kPhantom)},
                                   std::chrono::milliseconds(0), 500, 4000, [] {
                                       const auto start = Clock::now();
                                       EXPECT_EQ(Login(), 0);
                                       return Clock::now() - start;
                                   });
    // The drain's cap and the longest quiet wait, with room for a busy machine.
    EXPECT_LT(took, kDrainCap + NominalReplyWait(kPollTimeout, kPollingLimit) +
                        std::chrono::milliseconds(500));
    ClearDeviceTable();
    ShutdownNetwork();
}

TEST(LabBadInput, DiscoveryRepliesWithBrokenRecordsAreReadSafely) {
    REQUIRE_LAB();
    const lab::Recorder* sender = info.ByKey("r2");
    ASSERT_TRUE(sender);
    ResetProtocolGlobals();
    InitNetwork();
    struct Row {
        const char* what;
        std::uint8_t id;
        std::function<void(Bytes&)> records;  // after a supported model record
        std::function<void(const DeviceRecord&)> check;
    };
    const auto named = [](const char* name) {
        return [name](const DeviceRecord& record) { EXPECT_EQ(record.name, name); };
    };
    const std::vector<Row> rows = {
        {"record length 0 ends the walk", 1,
         [](Bytes& b) {
             AddText(b, TLV_NAME, "Zero");
             AddRecord(b, TLV_IP, 0, "");
             AddText(b, TLV_NAME, "Unread");
         },
         named("Zero")},
        {"record length 2", 2,
         [](Bytes& b) {
             AddText(b, TLV_NAME, "Two");
             AddRecord(b, TLV_NAME, 2, "xx");
         },
         named("Two")},
        {"negative record length", 3,
         [](Bytes& b) {
             AddText(b, TLV_NAME, "Negative");
             AddRecord(b, TLV_NAME, -16, "0123456789abcdef");
         },
         named("Negative")},
        {"record past the end", 4,
         [](Bytes& b) {
             AddText(b, TLV_NAME, "PastEnd");
             AddRecord(b, TLV_NAME, 400, "short");
         },
         named("PastEnd")},
        {"oversized name is cut to its field", 5,
         [](Bytes& b) { AddText(b, TLV_NAME, std::string(300, 'N')); },
         [](const DeviceRecord& record) { EXPECT_EQ(record.name.view(), std::string(255, 'N')); }},
        {"LAN indices outside the two ports", 6,
         [](Bytes& b) {
             AddText(b, TLV_NAME, "Lanes");
             AddText(b, TLV_IP, "10.201.1.66");
             AddText(b, TLV_LAN_INDEX, "7");
             AddText(b, TLV_IP, "10.9.9.7");
             AddText(b, TLV_LAN_INDEX, "-1");
             AddText(b, TLV_IP, "10.9.9.8");
         },
         [](const DeviceRecord& record) {
             EXPECT_EQ(record.name, "Lanes");
             EXPECT_EQ(record.lan[0].ip, "10.201.1.66");
         }},
    };
    std::vector<Bytes> datagrams;
    for (const Row& row : rows) {
        Bytes b = lab::ForgedReply(OP_DISCOVER, 1, SessionId,
                                   {0x00, 0x1A, 0x2B, 0xDD, 0xDD, 0xDD, 0x00, row.id});
        AddText(b, TLV_MODEL, "KVR-620");
        row.records(b);
        datagrams.push_back(b);
    }
    // Each twice, after the first slot's drain: a duplicate reply is one record.
    WhileSending(*sender, datagrams, std::chrono::milliseconds(1100), 100, 2, [] {
        DiscoverDevices();
        return 0;
    });
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto count = std::count_if(
            DeviceTable.begin(), DeviceTable.end(),
            [&](const auto& r) { return r.deviceId[7] == row.id && r.deviceId[3] == 0xDD; });
        EXPECT_EQ(count, 1);
        for (const DeviceRecord& record : DeviceTable) {
            if (record.deviceId[7] == row.id && record.deviceId[3] == 0xDD) {
                row.check(record);
            }
        }
    }
    ClearDeviceTable();
    ShutdownNetwork();
}

TEST(LabBadInput, SimulatorRefusesBadConfigurationsAndMalformedWrites) {
    REQUIRE_LAB();
    struct Row {
        const char* what;
        std::string text;
        const char* error;
    };
    const std::string recorder =
        R"({"name": "N", "deviceId": "00:1A:2B:3C:4D:5E:00:42", "lan": [{"interface": "lan0", "ip": "10.201.1.99", "netmask": "255.255.255.0"}]})";
    const std::vector<Row> rows = {
        {"the control", R"({"recorders": [)" + recorder + "]}", nullptr},
        {"a duplicate key", R"({"recorders": [)" + recorder + R"(], "recorders": []})",
         "recorders: duplicate key"},
        {"a nested duplicate key",
         R"({"recorders": [{"name": "A", "name": "B", "deviceId": "00:1A:2B:3C:4D:5E:00:42"}]})",
         "recorders[0].name: duplicate key"},
        {"a byte-order mark",
         "\xEF\xBB\xBF"
         R"({"recorders": [)" +
             recorder + "]}",
         "byte-order mark"},
        {"an unknown key", R"({"recorders": [)" + recorder + R"(], "colour": 1})",
         "colour: unknown key"},
        {"not JSON", "{", "not valid JSON"},
    };
    const std::string path = testing::TempDir() + "bad_input_sim.json";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::ofstream(path, std::ios::trunc) << row.text;
        const lab::ProcessResult r =
            lab::RunProcess({OSTREL_SIM_PATH, "--config", path, "--check-config"});
        if (row.error == nullptr) {
            EXPECT_EQ(r.exitCode, 0) << r.err;
        } else {
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_NE(r.err.find(row.error), std::string::npos) << r.err;
        }
    }
    std::remove(path.c_str());

    // An identity write whose records do not add up: refused, nothing changed.
    const lab::Recorder* target = info.ByKey("r2");
    ASSERT_TRUE(target);
    ResetProtocolGlobals();
    InitNetwork();
    DiscoverDevices();
    const DeviceRecord* found = nullptr;
    for (const DeviceRecord& record : DeviceTable) {
        if (record.name == target->name) {
            found = &record;
        }
    }
    ASSERT_NE(found, nullptr);
    for (const std::int16_t badLength :
         {std::int16_t{0}, std::int16_t{2}, std::int16_t{-8}, std::int16_t{300}}) {
        SCOPED_TRACE(badLength);
        std::array<std::uint8_t, kPacketBufferSize> request{};
        std::size_t length = BuildHeader(request, OP_SET_IDENTITY);
        std::copy(found->deviceId.begin(), found->deviceId.end(), request.begin() + 16);
        WriteCredentialBlock(request, length, "admin", target->password);
        Bytes bytes(request.begin(), request.begin() + static_cast<long>(length) + 128);
        AddText(bytes, TLV_NAME, "Hijacked");
        AddRecord(bytes, TLV_NAME, badLength, "tail");
        std::array<std::uint8_t, kPacketBufferSize> reply{};
        const auto got = ExchangeRequest(found->interfaceIndex, bytes, OP_SET_IDENTITY,
                                         kPollTimeout, kPollingLimit, reply);
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(HeaderStatus(std::span<const std::uint8_t>(reply).first(*got)), 0);
    }
    ClearDeviceTable();
    ShutdownNetwork();
    const lab::ProcessResult identity =
        lab::RunProcess({OSTREL_NVR_PATH, "identity", "--device", target->id, "--password-stdin"},
                        target->password + "\n");
    EXPECT_EQ(identity.exitCode, 0) << identity.err;
    EXPECT_NE(identity.out.find("name: " + target->name + "\n"), std::string::npos) << identity.out;
}

// Sends raw bytes to a console and reads until it closes or time runs out.
std::string RawHttp(const std::string& address, const std::string& bytes,
                    std::chrono::milliseconds timeout) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(80);
    inet_pton(AF_INET, address.c_str(), &to.sin_addr);
    std::string response;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
        if (!bytes.empty()) {
            send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        }
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd entry{fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) != 1) {
                break;
            }
            char buffer[4096];
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            response.append(buffer, static_cast<std::size_t>(n));
        }
    }
    close(fd);
    return response;
}

TEST(LabBadInput, ConsoleAnswersGarbageAndOutlivesSlowClients) {
    REQUIRE_LAB();
    const lab::Recorder* target = info.ByKey("r3");
    ASSERT_TRUE(target);
    struct Row {
        const char* what;
        std::string request;
        const char* statusLine;
    };
    const std::vector<Row> rows = {
        {"binary garbage", std::string("\x16\x03\x01\x00\xff\x01\r\n\r\n", 10), "HTTP/1.1 400"},
        {"no method", "/ HTTP/1.1\r\n\r\n", "HTTP/1.1 400"},
        {"unknown version", "GET / HTTP/9.9\r\n\r\n", "HTTP/1.1 505"},
        {"a header block past the limit", "GET / HTTP/1.1\r\nX: " + std::string(9000, 'a'),
         "HTTP/1.1 431"},
        {"another method", "DELETE / HTTP/1.1\r\n\r\n", "HTTP/1.1 405"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string response =
            RawHttp(target->ip, row.request, std::chrono::milliseconds(3000));
        EXPECT_EQ(response.rfind(row.statusLine, 0), 0u) << response.substr(0, 80);
    }
    // Clients that connect and say nothing hold no one else up.
    std::vector<int> idle;
    for (int i = 0; i < 8; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(80);
        inet_pton(AF_INET, target->ip.c_str(), &to.sin_addr);
        connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        idle.push_back(fd);
    }
    EXPECT_NE(lab::HttpGet(target->ip).find(target->name), std::string::npos);
    for (const int fd : idle) {
        close(fd);
    }
}

TEST(LabBadInput, TheCommandLineKeepsControlBytesAndWriteErrorsInCheck) {
    REQUIRE_LAB();
    (void)info;
    {
        const lab::ProcessResult r = lab::RunProcess({OSTREL_NVR_PATH, "\x1b]0;owned\x07",
                                                      "--x\x9b"
                                                      "2J"});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.err.find_first_of("\x1b\x07\x9b"), std::string::npos) << r.err;
    }
    for (const char* command : {"search", "watch --json"}) {
        // watch ran on until killed; timeout's 124 would say it still does.
        SCOPED_TRACE(command);
        const lab::ProcessResult r = lab::RunProcess(
            {"/bin/sh", "-c",
             std::string("timeout 30 '") + OSTREL_NVR_PATH + "' " + command + " >/dev/full"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("cannot write the output"), std::string::npos) << r.err;
    }
}

}  // namespace
