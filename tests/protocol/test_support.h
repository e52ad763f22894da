#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/packet_format.h"
#include "protocol/testing/virtual_net_io.h"

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Composes reply datagrams the way a recorder does, plus broken ones.
class ReplyBuilder {
public:
    explicit ReplyBuilder(std::uint16_t opcode, std::uint16_t status = 1);
    ReplyBuilder& Magic(std::uint16_t magic);
    ReplyBuilder& Session(const SessionIdBytes& session);
    ReplyBuilder& Device(const DeviceId& id);
    // A well-formed record, value padded as the writers pad it.
    ReplyBuilder& Text(std::int16_t type, std::string_view text);
    // A record with any length field and raw value bytes.
    ReplyBuilder& Raw(std::int16_t type, std::int16_t length, const Bytes& value);
    ReplyBuilder& Append(const Bytes& bytes);
    // Header payload length as the bytes after the header, unless overridden.
    ReplyBuilder& PayloadLength(std::uint16_t length);
    Bytes Build() const;

private:
    Bytes bytes_;
    bool lengthSet_ = false;
    std::uint16_t payloadLength_ = 0;
};

DeviceId MakeId(std::uint8_t seed);

// The TLV records of a request after its credential block, as (type, text).
struct RequestRecord {
    std::int16_t type;
    std::string text;
    std::int16_t length;
    bool operator==(const RequestRecord&) const = default;
};
void PrintTo(const RequestRecord& record, std::ostream* out);
std::vector<RequestRecord> RequestRecords(std::span<const std::uint8_t> request);

// A small scripted recorder: answers each opcode with what its handler
// returns (no answer when the handler is missing or returns nothing), after
// a delay, and keeps every request it heard.
class ScriptedRecorder : public VirtualPeer {
public:
    using Handler = std::function<std::vector<Bytes>(std::span<const std::uint8_t> request)>;

    explicit ScriptedRecorder(DeviceId id, std::string model = "KVR-620");

    void On(std::uint16_t opcode, Handler handler) { handlers_[opcode] = std::move(handler); }
    // Answers OP_DISCOVER with a reply carrying the model and these records.
    void AnswerDiscovery(std::vector<std::pair<std::int16_t, std::string>> records = {});
    // Answers the opcode with an empty reply of the given status.
    void AnswerStatus(std::uint16_t opcode, std::uint16_t status);

    std::chrono::microseconds delay = 5ms;
    std::vector<std::pair<int, Bytes>> heard;  // interface index, request

    ReplyBuilder Reply(std::uint16_t opcode, std::span<const std::uint8_t> request,
                       std::uint16_t status = 1) const;
    void OnDatagram(int interfaceIndex, std::span<const std::uint8_t> bytes,
                    VirtualNetIo& net) override;

    DeviceId id;
    std::string model;

private:
    std::map<std::uint16_t, Handler> handlers_;
};

// Virtual network with the given interfaces, active and initialised, with
// clean protocol state; shut down and restored at the end of the test.
class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Adds interfaces and runs InitNetwork again.
    void UseInterfaces(const std::vector<std::string>& addresses);
    // Runs discovery with the recorders attached and sets CurrentTargetId.
    void Discover(ScriptedRecorder& recorder, int interfaceIndex = 0);

    VirtualNetIo net;
};
