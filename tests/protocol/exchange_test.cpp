// Timing of the drain, the send and the reply polling, on the virtual clock.
#include "protocol/exchange.h"

#include <algorithm>

#include "protocol/device_table.h"
#include "protocol/globals.h"
#include "protocol/local_addresses.h"
#include "protocol/network.h"
#include "protocol/operations.h"
#include "protocol/session_id.h"
#include "test_support.h"

namespace {

using WaitResult = NetIo::WaitResult;

class ExchangeTest : public ProtocolTest {
protected:
    void SetUp() override {
        ProtocolTest::SetUp();
        LoginUser = "admin";
        LoginPassword = "pw";
        recorder.AnswerDiscovery();
        Discover(recorder);
    }

    // Readiness waits of the reply polling: every wait after the last send.
    std::vector<VirtualNetIo::WaitRecord> PollsAfterSend() const {
        std::vector<VirtualNetIo::WaitRecord> polls;
        const auto sent = net.Sent().back().time;
        for (const auto& wait : net.Waits()) {
            if (wait.start > sent) {
                polls.push_back(wait);
            }
        }
        return polls;
    }
    static int Count(const std::vector<VirtualNetIo::WaitRecord>& waits, WaitResult result) {
        return static_cast<int>(std::count_if(waits.begin(), waits.end(),
                                              [&](const auto& w) { return w.result == result; }));
    }

    ScriptedRecorder recorder{MakeId(1)};
};

TEST_F(ExchangeTest, DrainLastsUntilOneQuietSecond) {
    const auto start = net.Now();
    net.Deliver(0, Bytes{1, 2, 3}, 300ms);
    net.Deliver(0, Bytes{4}, 1200ms);  // 0.9 s after the first: still inside the quiet second
    DrainReceiveSocket(0);
    EXPECT_EQ(net.Now() - start, 2200ms);
    EXPECT_EQ(net.PendingDatagrams(0), 0u);
    {
        const auto quietStart = net.Now();
        DrainReceiveSocket(0);
        EXPECT_EQ(net.Now() - quietStart, 1s);
    }
    {
        // A failed wait ends the drain at once.
        net.FailWaits(0, 1);
        const auto failStart = net.Now();
        DrainReceiveSocket(0);
        EXPECT_EQ(net.Now(), failStart);
    }
}

TEST_F(ExchangeTest, RequestGoesOutAfterTheDrainThroughTheSlot) {
    recorder.AnswerStatus(OP_LOGIN, 1);
    const auto start = net.Now();
    EXPECT_EQ(Login(), 1);
    ASSERT_EQ(net.Sent().size(), 1u);
    EXPECT_EQ(net.Sent()[0].time - start, 1s);
    EXPECT_EQ(net.Sent()[0].interfaceIndex, 0);
    ASSERT_EQ(recorder.heard.size(), 1u);
}

TEST_F(ExchangeTest, StaleReplyIsDrainedAndNeverTaken) {
    // A success reply left over from an earlier exchange, then a recorder that refuses.
    net.Deliver(0, ReplyBuilder(OP_LOGIN, 1).Device(recorder.id).Build());
    recorder.AnswerStatus(OP_LOGIN, 0);
    EXPECT_EQ(Login(), 0);
    EXPECT_EQ(net.PendingDatagrams(0), 0u);

    // The same with a silent recorder: no reply is taken at all.
    net.Deliver(0, ReplyBuilder(OP_LOGIN, 1).Device(recorder.id).Build(), 10ms);
    recorder.On(OP_LOGIN, [](auto) { return std::vector<Bytes>{}; });
    EXPECT_EQ(Login(), 0);
}

TEST_F(ExchangeTest, ReplyDuringThePauseIsTakenAtTheFirstPoll) {
    recorder.AnswerStatus(OP_LOGIN, 1);
    recorder.delay = 20ms;
    EXPECT_EQ(Login(), 1);
    const auto polls = PollsAfterSend();
    ASSERT_EQ(polls.size(), 1u);
    EXPECT_EQ(polls[0].start - net.Sent().back().time, 50ms);
    EXPECT_EQ(polls[0].result, WaitResult::Ready);
    ASSERT_EQ(net.Sleeps().size(), 1u);
    EXPECT_EQ(net.Sleeps()[0].duration, 50ms);
}

TEST_F(ExchangeTest, GivesUpAtTheFirstPollPastTheLimit) {
    {
        const auto start = net.Now();
        EXPECT_EQ(Login(), 0);  // the recorder does not answer logins
        const auto polls = PollsAfterSend();
        EXPECT_EQ(Count(polls, WaitResult::Timeout), 101);
        EXPECT_EQ(polls.front().timeout, 10ms);
        EXPECT_EQ(net.Now() - net.Sent().back().time, 50ms + 101 * 10ms + 100 * 20ms);
        EXPECT_EQ(net.Now() - start, 4060ms);
    }
    {
        net.ClearLogs();
        const auto start = net.Now();
        EXPECT_EQ(SetLanDhcp(), 0);
        const auto polls = PollsAfterSend();
        EXPECT_EQ(Count(polls, WaitResult::Timeout), 201);
        EXPECT_EQ(polls.front().timeout, 20ms);
        EXPECT_EQ(net.Now() - net.Sent().back().time, 50ms + 201 * 20ms + 200 * 20ms);
        EXPECT_EQ(net.Now() - start, 9070ms);
    }
}

TEST_F(ExchangeTest, RejectedDatagramsDoNotCountAndAValidReplyAmongThemIsTaken) {
    SessionIdBytes foreign = SessionId;
    foreign[0] ^= 0xFF;
    // Thirty foreign replies and thirty requests of another instance, 1.5 s into the wait.
    recorder.On(OP_LOGIN, [&](std::span<const std::uint8_t> request) {
        std::vector<Bytes> flood;
        for (int i = 0; i < 30; ++i) {
            flood.push_back(recorder.Reply(OP_LOGIN, request, 1).Session(foreign).Build());
            flood.push_back(recorder.Reply(OP_LOGIN, request, 1).Magic(REQUEST_MAGIC).Build());
        }
        return flood;
    });
    recorder.delay = 1500ms;
    EXPECT_EQ(Login(), 0);
    auto polls = PollsAfterSend();
    EXPECT_LT(Count(polls, WaitResult::Timeout), 101);
    EXPECT_EQ(Count(polls, WaitResult::Ready), 60);
    // The flood arrived inside a poll, which it cut short; the uncounted time
    // does not move the give-up past the longest wait of a quiet exchange.
    EXPECT_EQ(net.Now() - net.Sent().back().time, 3060ms);

    net.ClearLogs();
    recorder.On(OP_LOGIN, [&](std::span<const std::uint8_t> request) {
        std::vector<Bytes> flood(20, recorder.Reply(OP_LOGIN, request, 1).Session(foreign).Build());
        flood.push_back(recorder.Reply(OP_LOGIN, request, 1).Build());
        flood.insert(flood.end(), 20, recorder.Reply(OP_GET_VOLUMES, request, 1).Build());
        return flood;
    });
    EXPECT_EQ(Login(), 1);
    EXPECT_EQ(Count(PollsAfterSend(), WaitResult::Ready), 21);
}

TEST_F(ExchangeTest, FailedWaitsAndReceivesStillEndTheExchange) {
    {
        net.FailWaits(0, -1);
        const auto start = net.Now();
        EXPECT_EQ(Login(), 0);
        // The drain stops at the failed wait; every failed poll counts, with its pause.
        EXPECT_EQ(net.Now() - start, 50ms + 100 * 20ms);
        EXPECT_EQ(Count(PollsAfterSend(), WaitResult::Error), 101);
        net.FailWaits(0, 0);
    }
    {
        // A failed receive is no reply and no empty poll: the next reply is taken.
        recorder.On(OP_LOGIN, [&](std::span<const std::uint8_t> request) {
            return std::vector<Bytes>(2, recorder.Reply(OP_LOGIN, request, 1).Build());
        });
        net.FailReceives(0, 1);
        EXPECT_EQ(Login(), 1);
    }
    {
        // A failed send is a lost request: the exchange waits in vain and gives up.
        recorder.AnswerStatus(OP_LOGIN, 1);
        net.FailSends(0, 1);
        EXPECT_EQ(Login(), 0);
        EXPECT_EQ(Login(), 1);
    }
}

TEST_F(ExchangeTest, OversizeDatagramIsNotTakenAsItsFirst4096Bytes) {
    // A datagram longer than the receive buffer whose header claims exactly
    // the buffer's size: its cut copy would pass the reply check.
    recorder.On(OP_LOGIN, [&](std::span<const std::uint8_t> request) {
        Bytes oversize = recorder.Reply(OP_LOGIN, request, 1)
                             .Append(Bytes(5000 - 44, 0))
                             .PayloadLength(kPacketBufferSize - 44)
                             .Build();
        return std::vector<Bytes>{oversize};
    });
    EXPECT_EQ(Login(), 0);
    EXPECT_EQ(Count(PollsAfterSend(), WaitResult::Ready), 1);
    EXPECT_EQ(Count(PollsAfterSend(), WaitResult::Timeout), 101);  // it was not counted
}

TEST_F(ExchangeTest, UnknownSlotSendsNothing) {
    std::array<std::uint8_t, kPacketBufferSize> reply{};
    const Bytes request(44, 0);
    EXPECT_FALSE(ExchangeRequest(5, request, OP_LOGIN, kPollTimeout, kPollingLimit, reply));
    EXPECT_FALSE(ExchangeRequest(-1, request, OP_LOGIN, kPollTimeout, kPollingLimit, reply));
    EXPECT_TRUE(net.Sent().empty());
    EXPECT_TRUE(net.Waits().empty());
}

TEST_F(ExchangeTest, EnumeratingAgainClosesTheSocketsOfTheSlotsItEmpties) {
    ASSERT_GE(LocalAddressTable.at(0).receiveSocket, 0);
    EnumerateLocalAddresses();
    ASSERT_EQ(LocalAddressTable.size(), 1u);
    EXPECT_EQ(LocalAddressTable[0].receiveSocket, -1);
    // No receive socket is left open on the interface to take a datagram.
    net.Deliver(0, Bytes{1, 2, 3});
    EXPECT_EQ(net.PendingDatagrams(0), 0u);
}

TEST_F(ExchangeTest, ShutdownClosesTheSlotsAndInitUsesAtMostEight) {
    ShutdownNetwork();
    EXPECT_TRUE(LocalAddressTable.empty());
    for (int i = 0; i < 9; ++i) {
        net.AddInterface("10.0.0." + std::to_string(i + 1));
    }
    InitNetwork();
    ASSERT_EQ(LocalAddressTable.size(), 8u);
    EXPECT_EQ(LocalAddressTable[0].address, "192.168.0.2");
    EXPECT_EQ(LocalAddressTable[7].address, "10.0.0.7");
    for (const auto& slot : LocalAddressTable) {
        EXPECT_GE(slot.sendSocket, 0);
        EXPECT_GE(slot.receiveSocket, 0);
    }
}

}  // namespace
