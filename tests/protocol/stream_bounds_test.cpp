// Waits under a datagram stream that never stops, and sites with hundreds of
// recorders, on the virtual clock.
#include <algorithm>

#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/exchange.h"
#include "protocol/globals.h"
#include "protocol/network.h"
#include "protocol/operations.h"
#include "protocol/session_id.h"
#include "test_support.h"

namespace {

using WaitResult = NetIo::WaitResult;

// Far longer than any operation may last: for the code under test the
// stream never ends.
constexpr auto kStreamLength = 60s;
constexpr auto kStreamPeriod = 2ms;

class StreamBoundsTest : public ProtocolTest {
protected:
    // Junk every 2 ms on the interface from now on: a reply of another
    // program's session and another program's request, in turn.
    void StartJunkStream(int interfaceIndex) {
        SessionIdBytes foreign = SessionId;
        foreign[5] ^= 0x21;
        const Bytes reply =
            ReplyBuilder(OP_LOGIN).Session(foreign).Text(TLV_MODEL, "KVR-620").Build();
        const Bytes request = ReplyBuilder(OP_DISCOVER).Magic(REQUEST_MAGIC).Build();
        const auto start = net.Now();
        int n = 0;
        for (auto t = kStreamPeriod; t < kStreamLength; t += kStreamPeriod, ++n) {
            net.DeliverAt(interfaceIndex, n % 2 == 0 ? reply : request, start + t);
        }
    }
    std::chrono::microseconds SinceLastSend() { return net.Now() - net.Sent().back().time; }
};

TEST_F(StreamBoundsTest, DrainStopsAtItsCapUnderAStreamButNotForAFewStaleReplies) {
    {
        // Eight stale replies, the last at 2.1 s: the quiet second after it.
        const auto start = net.Now();
        for (int i = 1; i <= kDrainStaleCount; ++i) {
            net.Deliver(0, Bytes{1, 2, 3}, i * 262500us);
        }
        DrainReceiveSocket(0);
        EXPECT_EQ(net.Now() - start, 3100ms);
    }
    StartJunkStream(0);
    const auto start = net.Now();
    DrainReceiveSocket(0);
    EXPECT_EQ(net.Now() - start, kDrainCap);
    EXPECT_EQ(kDrainCap, 2s);
    EXPECT_GT(net.PendingDatagrams(0), 0u);
}

TEST_F(StreamBoundsTest, ExchangesEndAtTheirLongestQuietWait) {
    ScriptedRecorder recorder(MakeId(1));
    recorder.AnswerDiscovery();
    Discover(recorder);
    LoginUser = "admin";
    LoginPassword = "pw";
    StartJunkStream(0);
    {
        const auto start = net.Now();
        EXPECT_EQ(Login(), 0);  // the recorder does not answer logins
        EXPECT_EQ(SinceLastSend(), NominalReplyWait(kPollTimeout, kPollingLimit));
        EXPECT_EQ(SinceLastSend(), 3060ms);
        EXPECT_EQ(net.Now() - start, kDrainCap + 3060ms);
    }
    {
        EXPECT_EQ(SetLanDhcp(), 0);
        EXPECT_EQ(SinceLastSend(), 8070ms);
    }
    EXPECT_GT(net.PendingDatagrams(0), 0u);
}

TEST_F(StreamBoundsTest, ValidReplyInsideTheWaitIsTakenAmongTheStream) {
    ScriptedRecorder recorder(MakeId(1));
    recorder.AnswerDiscovery();
    Discover(recorder);
    StartJunkStream(0);
    for (const auto delay : {0ms, 1ms, 1500ms, 3050ms}) {
        SCOPED_TRACE(delay.count());
        recorder.delay = delay;
        recorder.AnswerStatus(OP_LOGIN, 1);
        EXPECT_EQ(Login(), 1);
        EXPECT_EQ(SinceLastSend(), std::max<std::chrono::microseconds>(delay, kReplyPause));
    }
    // Just past the longest wait: no longer taken.
    recorder.delay = 3061ms;
    EXPECT_EQ(Login(), 0);
    EXPECT_EQ(SinceLastSend(), 3060ms);
}

TEST_F(StreamBoundsTest, DiscoverySlotLastsAtMostTwiceItsQuietTime) {
    UseInterfaces({"10.0.0.2"});
    ScriptedRecorder first(MakeId(1));
    first.AnswerDiscovery();
    net.Attach(first, 0);
    ScriptedRecorder second(MakeId(2));
    second.AnswerDiscovery();
    second.delay = 1400ms;  // later than a quiet collection lasts, inside the bounded slot
    net.Attach(second, 1);
    StartJunkStream(0);
    StartJunkStream(1);
    const auto start = net.Now();
    DiscoverDevices();
    EXPECT_EQ(kDiscoverySlotCap, 2 * 2010ms);
    EXPECT_EQ(net.Now() - start, 2 * kDiscoverySlotCap);
    ASSERT_EQ(DeviceTable.size(), 2u);
    EXPECT_EQ(DeviceTable[0].deviceId, MakeId(1));
    EXPECT_EQ(DeviceTable[1].deviceId, MakeId(2));
}

TEST_F(StreamBoundsTest, HundredsOfRecordersAreAllListedAndTheSlotStillEnds) {
    // 500 recorders whose replies all arrive within 5 ms of the request.
    std::vector<std::unique_ptr<ScriptedRecorder>> site;
    for (int i = 0; i < 500; ++i) {
        DeviceId id = MakeId(static_cast<std::uint8_t>(i));
        id[0] = static_cast<std::uint8_t>(i >> 8);
        site.push_back(std::make_unique<ScriptedRecorder>(id));
        site.back()->AnswerDiscovery();
        site.back()->delay = std::chrono::microseconds(10 * i);
        net.Attach(*site.back(), 0);
    }
    const auto start = net.Now();
    DiscoverDevices();
    EXPECT_EQ(DeviceTable.size(), 500u);
    // After the burst the slot ends after its 101 empty polls, as on a quiet
    // network: the burst adds only the few polls it cut short.
    const auto timeouts = std::count_if(net.Waits().begin(), net.Waits().end(), [](const auto& w) {
        return w.result == WaitResult::Timeout && w.timeout == kPollTimeout;
    });
    EXPECT_EQ(timeouts, 101);
    EXPECT_LE(net.Now() - start, 1s + 101 * 10ms + 10ms);
}

}  // namespace
