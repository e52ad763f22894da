#include "protocol/operations.h"

#include <array>
#include <optional>
#include <span>
#include <string>

#include "protocol/credential_block.h"
#include "protocol/device_table.h"
#include "protocol/exchange.h"
#include "protocol/globals.h"
#include "protocol/identity.h"
#include "protocol/packet_format.h"
#include "protocol/tlv.h"
#include "protocol/trace.h"
#include "protocol/volume_list.h"

int LastOperationAnswered = 0;

namespace {

using Buffer = std::array<std::uint8_t, kPacketBufferSize>;

// A request being built in its zeroed 4096-byte buffer: header, credential
// block, then records in the order they are added.
class Request {
public:
    explicit Request(std::uint16_t opcode) : opcode_(opcode) {
        position_ = BuildHeader(bytes_, opcode);
        WriteCredentialBlock(bytes_, position_, LoginUser.view(), LoginPassword.view());
        AddPayloadLength(bytes_, CredentialBlock::kSize);
        position_ += CredentialBlock::kSize;
    }
    void Add(std::int16_t type, std::string_view text) {
        AppendTlvToRequest(bytes_, position_, type, text);
    }
    std::uint16_t opcode() const { return opcode_; }
    std::span<const std::uint8_t> bytes() const {
        return std::span<const std::uint8_t>(bytes_).first(position_);
    }

private:
    std::uint16_t opcode_;
    Buffer bytes_{};
    std::size_t position_ = 0;
};

struct Reply {
    Buffer bytes{};
    std::size_t length = 0;
    std::span<const std::uint8_t> datagram() const {
        return std::span<const std::uint8_t>(bytes).first(length);
    }
};

// Sends the request to CurrentTargetId's slot and waits for its valid reply.
std::optional<Reply> Exchange(const Request& request,
                              std::chrono::microseconds pollTimeout = kPollTimeout,
                              int pollingLimit = kPollingLimit) {
    LastOperationAnswered = 0;
    const int interfaceIndex = FindInterfaceIndexById(CurrentTargetId);
    if (interfaceIndex < 0) {
        return std::nullopt;
    }
    Reply reply;
    const auto length = ExchangeRequest(interfaceIndex, request.bytes(), request.opcode(),
                                        pollTimeout, pollingLimit, reply.bytes);
    if (!length) {
        return std::nullopt;
    }
    reply.length = *length;
    LastOperationAnswered = 1;
    return reply;
}

int StatusResult(const std::optional<Reply>& reply) {
    return reply && HeaderStatus(reply->datagram()) == 1 ? 1 : 0;
}

// The port a LAN request addresses: SelectLanIndex's 1 is the second port,
// anything else the first, which is also what TLV_LAN_INDEX says.
int LanPort(const DeviceRecord* record) {
    return SelectLanIndex(record) == 1 ? 1 : 0;
}

// The request bytes as "%.2x " each, the credential block masked, so a trace
// never shows the Base64 credentials.
void TraceRequest(std::span<const std::uint8_t> bytes) {
    if (!TraceEnabled()) {
        return;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string line;
    line.reserve(bytes.size() * 3 + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool credential =
            i >= kPacketHeaderSize && i < kPacketHeaderSize + CredentialBlock::kSize;
        line += credential ? '*' : kHex[bytes[i] >> 4];
        line += credential ? '*' : kHex[bytes[i] & 0x0F];
        line += ' ';
    }
    line += '\n';
    TraceDebug("%s", line.c_str());
}

}  // namespace

int Login() {
    const Request request(OP_LOGIN);
    return StatusResult(Exchange(request));
}

int ReadVolumeList() {
    ClearVolumeList();
    const Request request(OP_GET_VOLUMES);
    TraceRequest(request.bytes());
    const auto reply = Exchange(request);
    if (!reply) {
        return 0;
    }
    FillVolumeListFromReply(reply->datagram());
    return 1;
}

int SetLanDhcp() {
    const int port = LanPort(FindDeviceById(CurrentTargetId));
    Request request(OP_SET_LAN_DHCP);
    request.Add(TLV_DHCP, "1");
    request.Add(TLV_LAN_INDEX, port == 1 ? "1" : "0");
    return StatusResult(Exchange(request, kDhcpPollTimeout, kDhcpPollingLimit));
}

int SetLanStatic() {
    const DeviceRecord* record = FindDeviceById(CurrentTargetId);
    if (record == nullptr) {
        return 0;
    }
    const int port = LanPort(record);
    const LanEntry& lan = record->lan[static_cast<std::size_t>(port)];
    Request request(OP_SET_LAN_STATIC);
    request.Add(TLV_IP, StaticIpText.view());
    request.Add(TLV_NETMASK, StaticNetmaskText.view());
    request.Add(TLV_GATEWAY, StaticGatewayText.view());
    request.Add(TLV_DNS1, lan.dns1.view());
    request.Add(TLV_DNS2, lan.dns2.view());
    request.Add(TLV_LAN_OPTION, lan.option != 0 ? "1" : "0");
    request.Add(TLV_LAN_INDEX, port == 1 ? "1" : "0");
    return StatusResult(Exchange(request));
}

int ReadIdentity() {
    const Request request(OP_GET_IDENTITY);
    const auto reply = Exchange(request);
    if (!reply) {
        return 0;
    }
    FillIdentityFromReply(reply->datagram());
    return 1;
}

int WriteIdentity() {
    Request request(OP_SET_IDENTITY);
    request.Add(TLV_IDENT_SHORT, IdentityShort.view());
    request.Add(TLV_NAME, IdentityName.view());
    request.Add(TLV_IDENT_LONG, IdentityLong.view());
    return StatusResult(Exchange(request));
}
