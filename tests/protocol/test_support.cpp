#include "test_support.h"

#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/globals.h"
#include "protocol/network.h"
#include "protocol/session_id.h"
#include "protocol/tlv.h"

ReplyBuilder::ReplyBuilder(std::uint16_t opcode, std::uint16_t status)
    : bytes_(kPacketHeaderSize, 0) {
    WriteU16(bytes_, PacketHeader::kMagic, REPLY_MAGIC);
    WriteU16(bytes_, PacketHeader::kOpcode, opcode);
    WriteU16(bytes_, PacketHeader::kStatus, status);
    Session(SessionId);
}

ReplyBuilder& ReplyBuilder::Magic(std::uint16_t magic) {
    WriteU16(bytes_, PacketHeader::kMagic, magic);
    return *this;
}

ReplyBuilder& ReplyBuilder::Session(const SessionIdBytes& session) {
    std::copy(session.begin(), session.end(), bytes_.begin() + PacketHeader::kSessionId);
    return *this;
}

ReplyBuilder& ReplyBuilder::Device(const DeviceId& id) {
    std::copy(id.begin(), id.end(), bytes_.begin() + PacketHeader::kDeviceId);
    return *this;
}

ReplyBuilder& ReplyBuilder::Text(std::int16_t type, std::string_view text) {
    Bytes record(TlvRecordSize(text), 0);
    AppendTlv(record, 0, type, text);
    return Append(record);
}

ReplyBuilder& ReplyBuilder::Raw(std::int16_t type, std::int16_t length, const Bytes& value) {
    Bytes record(4, 0);
    WriteU16(record, 0, static_cast<std::uint16_t>(type));
    WriteU16(record, 2, static_cast<std::uint16_t>(length));
    record.insert(record.end(), value.begin(), value.end());
    return Append(record);
}

ReplyBuilder& ReplyBuilder::Append(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

ReplyBuilder& ReplyBuilder::PayloadLength(std::uint16_t length) {
    lengthSet_ = true;
    payloadLength_ = length;
    return *this;
}

Bytes ReplyBuilder::Build() const {
    Bytes out = bytes_;
    WriteU16(
        out, PacketHeader::kPayloadLength,
        lengthSet_ ? payloadLength_ : static_cast<std::uint16_t>(out.size() - kPacketHeaderSize));
    return out;
}

DeviceId MakeId(std::uint8_t seed) {
    DeviceId id{};
    for (std::size_t i = 0; i < id.size(); ++i) {
        id[i] = static_cast<std::uint8_t>(seed + i * 17);
    }
    return id;
}

void PrintTo(const RequestRecord& record, std::ostream* out) {
    *out << "{" << record.type << ", \"" << record.text << "\", " << record.length << "}";
}

std::vector<RequestRecord> RequestRecords(std::span<const std::uint8_t> request) {
    std::vector<RequestRecord> records;
    // Skip the credential block: walk as if the records started at offset 44.
    Bytes shifted(request.begin(), request.end());
    if (shifted.size() >= kPacketHeaderSize + CredentialBlock::kSize) {
        shifted.erase(shifted.begin() + kPacketHeaderSize,
                      shifted.begin() + kPacketHeaderSize + CredentialBlock::kSize);
    }
    ForEachTlv(shifted, [&](const TlvView& tlv) {
        records.push_back({tlv.type, std::string(TlvText(tlv.value)),
                           static_cast<std::int16_t>(tlv.value.size() + 4)});
    });
    return records;
}

ScriptedRecorder::ScriptedRecorder(DeviceId deviceId, std::string modelText)
    : id(deviceId), model(std::move(modelText)) {}

ReplyBuilder ScriptedRecorder::Reply(std::uint16_t opcode, std::span<const std::uint8_t> request,
                                     std::uint16_t status) const {
    ReplyBuilder reply(opcode, status);
    SessionIdBytes session{};
    if (request.size() >= 16) {
        std::copy_n(request.begin() + 8, 8, session.begin());
    }
    reply.Session(session).Device(id);
    return reply;
}

void ScriptedRecorder::AnswerDiscovery(std::vector<std::pair<std::int16_t, std::string>> records) {
    On(OP_DISCOVER, [this, records](std::span<const std::uint8_t> request) {
        ReplyBuilder reply = Reply(OP_DISCOVER, request, 0);
        reply.Text(TLV_MODEL, model);
        for (const auto& [type, text] : records) {
            reply.Text(type, text);
        }
        return std::vector<Bytes>{reply.Build()};
    });
}

void ScriptedRecorder::AnswerStatus(std::uint16_t opcode, std::uint16_t status) {
    On(opcode, [this, opcode, status](std::span<const std::uint8_t> request) {
        return std::vector<Bytes>{Reply(opcode, request, status).Build()};
    });
}

void ScriptedRecorder::OnDatagram(int interfaceIndex, std::span<const std::uint8_t> bytes,
                                  VirtualNetIo& net) {
    heard.emplace_back(interfaceIndex, Bytes(bytes.begin(), bytes.end()));
    const auto it = handlers_.find(ReadU16(bytes, PacketHeader::kOpcode));
    if (it == handlers_.end()) {
        return;
    }
    for (const Bytes& reply : it->second(bytes)) {
        net.Deliver(interfaceIndex, reply, delay);
    }
}

void ProtocolTest::SetUp() {
    SetActiveNetIo(&net);
    ResetProtocolGlobals();
    net.AddInterface("192.168.0.2");
    InitNetwork();
}

void ProtocolTest::TearDown() {
    ShutdownNetwork();
    ResetProtocolGlobals();
    SetActiveNetIo(nullptr);
}

void ProtocolTest::UseInterfaces(const std::vector<std::string>& addresses) {
    for (const auto& address : addresses) {
        net.AddInterface(address);
    }
    InitNetwork();
}

void ProtocolTest::Discover(ScriptedRecorder& recorder, int interfaceIndex) {
    net.Attach(recorder, interfaceIndex);
    DiscoverDevices();
    CurrentTargetId = recorder.id;
    net.ClearLogs();
    recorder.heard.clear();
}
