// Throughput of the reply path: the reply check plus the record walk, in
// datagrams per second (items_per_second).
#include <cstdint>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/packet_format.h"
#include "protocol/reply_check.h"
#include "protocol/session_id.h"
#include "protocol/tlv.h"

namespace {

// A discovery reply describing a recorder with two LAN ports.
std::vector<std::uint8_t> DiscoveryReply() {
    std::vector<std::uint8_t> reply(kPacketHeaderSize, 0);
    WriteU16(reply, PacketHeader::kMagic, REPLY_MAGIC);
    WriteU16(reply, PacketHeader::kOpcode, OP_DISCOVER);
    std::copy(SessionId.begin(), SessionId.end(), reply.begin() + PacketHeader::kSessionId);
    auto add = [&](std::int16_t type, std::string_view text) {
        const std::size_t at = reply.size();
        reply.resize(at + TlvRecordSize(text));
        AppendTlv(reply, at, type, text);
    };
    add(TLV_MODEL, "KVR-620");
    add(TLV_NAME, "Recorder at the gate");
    add(TLV_NUMBER_A, "3");
    add(TLV_NUMBER_B, "12");
    add(TLV_SHORT_TEXT, "abc");
    add(TLV_ACTIVE_LAN, "0");
    for (const char* port : {"0", "1"}) {
        add(TLV_LAN_INDEX, port);
        add(TLV_DHCP, "0");
        add(TLV_IP, "192.168.100.200");
        add(TLV_NETMASK, "255.255.255.0");
        add(TLV_GATEWAY, "192.168.100.1");
        add(TLV_DNS1, "192.168.100.53");
        add(TLV_DNS2, "192.168.100.54");
        add(TLV_LAN_OPTION, "1");
    }
    WriteU16(reply, PacketHeader::kPayloadLength,
             static_cast<std::uint16_t>(reply.size() - kPacketHeaderSize));
    return reply;
}

void BM_CheckAndWalkDiscoveryReply(benchmark::State& state) {
    SessionId = SessionIdFromSeed(1);
    const auto reply = DiscoveryReply();
    for (auto _ : state) {
        bool valid = CheckReply(reply, OP_DISCOVER);
        std::string_view model = DiscoveryModelText(reply);
        DeviceRecord record;
        if (valid && IsSupportedModel(model)) {
            FillDeviceRecord(record, reply, 0);
        }
        benchmark::DoNotOptimize(record);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(BM_CheckAndWalkDiscoveryReply);

void BM_CheckReplyOnly(benchmark::State& state) {
    SessionId = SessionIdFromSeed(1);
    const auto reply = DiscoveryReply();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CheckReply(reply, OP_DISCOVER));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_CheckReplyOnly);

}  // namespace

BENCHMARK_MAIN();
