#include "sim/recorder.h"

#include <algorithm>

namespace sim {
namespace {

const Script kPlainScript{};

// Unknown record types placed among the known ones; readers must skip them.
constexpr std::int16_t kUnknownTypes[] = {600, 520, 0x7FFF, -5};

void UnknownRecord(ReplyWriter& writer, const Script& script, int which) {
    if (!script.unknownRecords)
        return;
    const auto type = kUnknownTypes[static_cast<std::size_t>(which) % std::size(kUnknownTypes)];
    writer.Text(type, which % 2 == 0 ? "unknown" : "");
}

void TrailingMalformation(ReplyWriter& writer, Malformation malformed) {
    static constexpr std::uint8_t kJunk[] = {0xF8, 0x01, 0x10, 0x00, 'X', 'Y', 'Z', 0};
    switch (malformed) {
        case Malformation::ShortLength:
            // A zero length would make a careless walk spin in place.
            writer.Raw(tlv::kName, 0, kJunk);
            break;
        case Malformation::PastEnd:
            // Claims 200 bytes where only 8 follow.
            writer.Raw(tlv::kName, 200, kJunk);
            break;
        default:
            break;
    }
}

std::string Oversized(const std::string& text, std::size_t length, char fill) {
    std::string out = text;
    if (out.size() < length)
        out.append(length - out.size(), fill);
    return out;
}

std::string Cut(std::string text, std::size_t length) {
    if (text.size() > length)
        text.resize(length);
    return text;
}

const Record* FindRecord(const Request& request, std::int16_t type) {
    for (const auto& record : request.records) {
        if (record.type == type)
            return &record;
    }
    return nullptr;
}

}  // namespace

std::optional<Malformation> MalformationByName(std::string_view name) {
    for (const auto mode : {Malformation::None, Malformation::ShortLength, Malformation::PastEnd,
                            Malformation::Oversize, Malformation::BadLanIndex}) {
        if (MalformationName(mode) == name)
            return mode;
    }
    return std::nullopt;
}

std::string_view MalformationName(Malformation malformed) {
    switch (malformed) {
        case Malformation::None:
            return "none";
        case Malformation::ShortLength:
            return "short-length";
        case Malformation::PastEnd:
            return "past-end";
        case Malformation::Oversize:
            return "oversize";
        case Malformation::BadLanIndex:
            return "bad-lan-index";
    }
    return "none";
}

bool Script::AppliesTo(std::uint16_t opcode) const {
    return opcodes.empty() || std::find(opcodes.begin(), opcodes.end(), opcode) != opcodes.end();
}

std::optional<std::uint32_t> ParseIpv4(std::string_view text) {
    std::uint32_t value = 0;
    int octets = 0;
    std::size_t i = 0;
    while (octets < 4) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9')
            return std::nullopt;
        unsigned octet = 0;
        std::size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            octet = octet * 10 + static_cast<unsigned>(text[i] - '0');
            if (++digits > 3)
                return std::nullopt;
            ++i;
        }
        if (octet > 255)
            return std::nullopt;
        value = (value << 8) | octet;
        ++octets;
        if (octets < 4) {
            if (i >= text.size() || text[i] != '.')
                return std::nullopt;
            ++i;
        }
    }
    if (i != text.size())
        return std::nullopt;
    return value;
}

std::optional<int> NetmaskPrefix(std::string_view netmask) {
    const auto value = ParseIpv4(netmask);
    if (!value)
        return std::nullopt;
    int prefix = 0;
    std::uint32_t bits = *value;
    while (bits & 0x80000000u) {
        ++prefix;
        bits <<= 1;
    }
    if (bits != 0)
        return std::nullopt;
    return prefix;
}

Recorder::Recorder(RecorderState state) : state_(std::move(state)) {
    if (state_.lan.empty())
        state_.lan.emplace_back();
    if (state_.lan.size() > 2)
        state_.lan.resize(2);
}

std::vector<AddressChange> Recorder::TakeAddressChanges() {
    std::vector<AddressChange> out;
    out.swap(changes_);
    return out;
}

const Script* Recorder::FindScript(std::uint16_t opcode) const {
    for (const auto& script : state_.scripts) {
        if (script.AppliesTo(opcode))
            return &script;
    }
    return &kPlainScript;
}

bool Recorder::Authenticated(const Request& request) const {
    return request.hasCredentials && request.credentialsDecoded &&
           request.user == state_.adminUser && request.password == state_.adminPassword;
}

std::vector<Reply> Recorder::Handle(std::span<const std::uint8_t> datagram,
                                    std::chrono::microseconds now) {
    const auto request = ParseRequest(datagram);
    if (!request)
        return {};
    if (request->opcode != op::kDiscover && request->deviceId != state_.deviceId)
        return {};

    RequestLogEntry entry;
    entry.opcode = request->opcode;
    entry.at = now;
    entry.session = request->session;
    entry.deviceId = request->deviceId;
    entry.user = request->user;
    entry.authenticated = request->opcode != op::kDiscover && Authenticated(*request);
    entry.records = request->records;

    const bool known = !OpcodeName(request->opcode).empty();
    const Script& script = *FindScript(request->opcode);
    if (!known || script.silent) {
        log_.push_back(std::move(entry));
        return {};
    }

    const bool refuse = script.refuse || (request->opcode != op::kDiscover && !entry.authenticated);
    std::uint16_t status = refuse ? 0 : 1;

    // State changes first, so that the status reflects whether they took.
    if (!refuse) {
        switch (request->opcode) {
            case op::kSetLanDhcp:
                status = ApplyDhcp(*request);
                break;
            case op::kSetLanStatic:
                status = ApplyStatic(*request);
                break;
            case op::kSetIdentity:
                status = ApplyIdentity(*request);
                break;
            default:
                break;
        }
    }

    ReplyWriter writer(request->opcode, status, request->session, state_.deviceId);
    switch (request->opcode) {
        case op::kDiscover:
            WriteDiscovery(writer, script);
            break;
        case op::kGetVolumes:
            if (!refuse)
                WriteVolumes(writer, script);
            break;
        case op::kGetIdentity:
            if (!refuse)
                WriteIdentity(writer, script);
            break;
        default:
            UnknownRecord(writer, script, 0);
            break;
    }
    TrailingMalformation(writer, script.malformed);

    std::vector<Reply> replies;
    for (int i = 0; i < script.foreignBurst; ++i) {
        replies.push_back({ForeignDatagram(i, *request, datagram), script.delay});
    }
    const auto bytes = writer.Finish();
    for (int i = 0; i <= std::max(0, script.duplicates); ++i)
        replies.push_back({bytes, script.delay});

    entry.replies = replies.size();
    entry.status = status;
    log_.push_back(std::move(entry));
    return replies;
}

void Recorder::WriteDiscovery(ReplyWriter& writer, const Script& script) const {
    const bool oversize = script.malformed == Malformation::Oversize;
    writer.Text(tlv::kName, oversize ? Oversized(state_.name, 300, 'N') : state_.name);
    UnknownRecord(writer, script, 0);
    writer.Text(tlv::kModel, state_.model);
    UnknownRecord(writer, script, 1);
    writer.Number(tlv::kNumberA, state_.numberA);
    writer.Number(tlv::kNumberB, state_.numberB);
    writer.Text(tlv::kShortText,
                oversize ? Oversized(state_.shortText, 20, 'S') : state_.shortText);
    writer.Number(tlv::kActiveLan, state_.activeLan);
    for (std::size_t i = 0; i < state_.lan.size(); ++i) {
        const auto& port = state_.lan[i];
        writer.Number(tlv::kLanIndex, static_cast<long>(i));
        writer.Text(tlv::kDhcp,
                    oversize ? Oversized(port.dhcp ? "1" : "0", 20, 'D') : (port.dhcp ? "1" : "0"));
        writer.Text(tlv::kIp, port.ip);
        UnknownRecord(writer, script, 2);
        writer.Text(tlv::kNetmask, port.netmask);
        writer.Text(tlv::kGateway, port.gateway);
        writer.Text(tlv::kDns1, oversize ? Oversized(port.dns1, 40, '9') : port.dns1);
        writer.Text(tlv::kDns2, port.dns2);
        writer.Number(tlv::kLanOption, port.option);
        UnknownRecord(writer, script, 3);
    }
    if (script.malformed == Malformation::BadLanIndex) {
        // Ports the client cannot hold: their settings must land nowhere.
        for (const long index : {7L, -1L, 2L}) {
            writer.Number(tlv::kLanIndex, index);
            writer.Text(tlv::kIp, "203.0.113.77");
            writer.Text(tlv::kDhcp, "1");
            writer.Number(tlv::kLanOption, 9);
        }
    }
}

std::uint16_t Recorder::ApplyDhcp(const Request& request) {
    const Record* flag = FindRecord(request, tlv::kDhcp);
    const Record* index = FindRecord(request, tlv::kLanIndex);
    if (!flag || flag->Text() != "1" || !index)
        return 0;
    const int port = index->Number();
    if (port < 0 || static_cast<std::size_t>(port) >= state_.lan.size())
        return 0;

    auto& lan = state_.lan[static_cast<std::size_t>(port)];
    lan.dhcp = true;
    const auto& pool = state_.dhcpPool;
    if (!pool.addresses.empty()) {
        // The next pool address that no port of this recorder holds.
        std::string chosen;
        for (std::size_t tries = 0; tries < pool.addresses.size(); ++tries) {
            const auto& candidate = pool.addresses[nextPoolAddress_ % pool.addresses.size()];
            ++nextPoolAddress_;
            const bool inUse = std::any_of(state_.lan.begin(), state_.lan.end(),
                                           [&](const LanPort& p) { return p.ip == candidate; });
            if (!inUse) {
                chosen = candidate;
                break;
            }
        }
        if (!pool.netmask.empty())
            lan.netmask = pool.netmask;
        if (!pool.gateway.empty())
            lan.gateway = pool.gateway;
        if (!pool.dns1.empty())
            lan.dns1 = pool.dns1;
        if (!pool.dns2.empty())
            lan.dns2 = pool.dns2;
        if (!chosen.empty() && chosen != lan.ip) {
            changes_.push_back({port, lan.ip, chosen, lan.netmask});
            lan.ip = chosen;
        }
    }
    return 1;
}

std::uint16_t Recorder::ApplyStatic(const Request& request) {
    const Record* ip = FindRecord(request, tlv::kIp);
    const Record* netmask = FindRecord(request, tlv::kNetmask);
    const Record* gateway = FindRecord(request, tlv::kGateway);
    const Record* index = FindRecord(request, tlv::kLanIndex);
    if (!ip || !netmask || !index)
        return 0;
    if (!ParseIpv4(ip->Text()) || !NetmaskPrefix(netmask->Text()))
        return 0;
    if (gateway && !gateway->Text().empty() && !ParseIpv4(gateway->Text()))
        return 0;
    const int port = index->Number();
    if (port < 0 || static_cast<std::size_t>(port) >= state_.lan.size())
        return 0;

    auto& lan = state_.lan[static_cast<std::size_t>(port)];
    const std::string oldIp = lan.ip;
    lan.ip = ip->Text();
    lan.netmask = netmask->Text();
    lan.gateway = gateway ? gateway->Text() : std::string();
    if (const Record* dns1 = FindRecord(request, tlv::kDns1))
        lan.dns1 = Cut(dns1->Text(), 15);
    if (const Record* dns2 = FindRecord(request, tlv::kDns2))
        lan.dns2 = Cut(dns2->Text(), 15);
    if (const Record* option = FindRecord(request, tlv::kLanOption))
        lan.option = option->Number();
    lan.dhcp = false;
    if (oldIp != lan.ip)
        changes_.push_back({port, oldIp, lan.ip, lan.netmask});
    return 1;
}

std::uint16_t Recorder::ApplyIdentity(const Request& request) {
    // A write whose records do not add up is refused whole: applying the
    // records read before the fault would leave a half-written identity.
    if (!request.recordsComplete)
        return 0;
    if (const Record* shortText = FindRecord(request, tlv::kIdentShort))
        state_.identityShort = Cut(shortText->Text(), kMaxIdentShortLength);
    if (const Record* name = FindRecord(request, tlv::kName))
        state_.name = Cut(name->Text(), kMaxNameLength);
    if (const Record* longText = FindRecord(request, tlv::kIdentLong))
        state_.identityLong = Cut(longText->Text(), kMaxIdentLongLength);
    return 1;
}

void Recorder::WriteVolumes(ReplyWriter& writer, const Script& script) const {
    std::string joined;
    for (const auto& volume : state_.volumes) {
        if (!joined.empty())
            joined.push_back(':');
        joined += volume;
    }
    if (script.malformed == Malformation::Oversize) {
        if (!joined.empty())
            joined.push_back(':');
        joined += std::string(300, 'V');
    }
    writer.Text(tlv::kVolumeList, joined);
    UnknownRecord(writer, script, 0);
}

void Recorder::WriteIdentity(ReplyWriter& writer, const Script& script) const {
    const bool oversize = script.malformed == Malformation::Oversize;
    UnknownRecord(writer, script, 0);
    writer.Text(tlv::kName, oversize ? Oversized(state_.name, 60, 'N') : state_.name);
    UnknownRecord(writer, script, 1);
    writer.Text(tlv::kIdentShort,
                oversize ? Oversized(state_.identityShort, 60, 'S') : state_.identityShort);
    UnknownRecord(writer, script, 2);
    writer.Text(tlv::kIdentLong,
                oversize ? Oversized(state_.identityLong, 700, 'L') : state_.identityLong);
}

std::vector<std::uint8_t> Recorder::ForeignDatagram(int kind, const Request& request,
                                                    std::span<const std::uint8_t> datagram) const {
    switch (kind % 4) {
        case 0: {
            // A reply meant for another client instance.
            SessionBytes other = request.session;
            for (auto& b : other)
                b ^= 0xA5;
            ReplyWriter writer(request.opcode, 1, other, state_.deviceId);
            writer.Text(tlv::kName, "foreign").Text(tlv::kModel, state_.model);
            return writer.Finish();
        }
        case 1:
            // Another instance's request, seen on the group.
            return {datagram.begin(), datagram.end()};
        case 2: {
            // A reply to some other operation.
            ReplyWriter writer(request.opcode == op::kLogin ? op::kGetVolumes : op::kLogin, 1,
                               request.session, state_.deviceId);
            return writer.Finish();
        }
        default: {
            // Right session, wrong length field.
            ReplyWriter writer(request.opcode, 1, request.session, state_.deviceId);
            writer.Text(tlv::kModel, state_.model).ForcePayloadLength(3);
            return writer.Finish();
        }
    }
}

}  // namespace sim
