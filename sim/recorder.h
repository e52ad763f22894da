#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/wire.h"

// One simulated recorder: its settings, how it answers each request, and the
// faults it can be scripted to show. Transport-free: the caller hands in a
// received datagram and sends the replies it gets back.
namespace sim {

struct LanPort {
    std::string ip;
    std::string netmask;
    std::string gateway;
    std::string dns1;
    std::string dns2;
    bool dhcp = false;
    int option = 0;

    bool operator==(const LanPort&) const = default;
};

// Addresses handed out when a port is switched to DHCP, in order; empty
// texts leave the port's netmask, gateway and DNS servers as they were.
struct DhcpPool {
    std::vector<std::string> addresses;
    std::string netmask;
    std::string gateway;
    std::string dns1;
    std::string dns2;
};

enum class Malformation {
    None,
    ShortLength,  // a trailing record whose length field is 0
    PastEnd,      // a trailing record whose length reaches past the datagram
    Oversize,     // values longer than the client's fields
    BadLanIndex,  // a discovery reply with an extra port index outside 0 and 1
};

// "none", "short-length", "past-end", "oversize", "bad-lan-index".
std::string_view MalformationName(Malformation malformed);
std::optional<Malformation> MalformationByName(std::string_view name);

// A scripted behaviour. It applies to the listed opcodes (all when empty);
// the first script of a recorder that applies to a request is used.
struct Script {
    std::vector<std::uint16_t> opcodes;
    bool silent = false;  // no reply, no state change
    bool refuse = false;  // status 0, no state change, no data
    std::chrono::microseconds delay{0};
    int duplicates = 0;           // extra copies of the reply
    bool unknownRecords = false;  // records of unknown types among the known ones
    Malformation malformed = Malformation::None;
    int foreignBurst = 0;  // foreign datagrams sent just before the reply

    bool AppliesTo(std::uint16_t opcode) const;
};

struct RecorderState {
    std::string name;
    DeviceId deviceId{};
    std::string model;
    int numberA = 0;
    int numberB = 0;
    std::string shortText;
    int activeLan = 0;
    std::vector<LanPort> lan;  // one or two ports
    std::string adminUser = "admin";
    std::string adminPassword;
    std::vector<std::string> volumes;
    std::string identityShort;
    std::string identityLong;
    DhcpPool dhcpPool;
    std::vector<Script> scripts;
};

struct Reply {
    std::vector<std::uint8_t> bytes;
    std::chrono::microseconds delay{0};  // after the request arrived
};

// One request that passed the check and was meant for this recorder.
struct RequestLogEntry {
    std::uint16_t opcode = 0;
    std::chrono::microseconds at{0};
    SessionBytes session{};
    DeviceId deviceId{};
    std::string user;
    bool authenticated = false;  // credentials matched (always false for discovery)
    std::vector<Record> records;
    std::size_t replies = 0;              // datagrams sent back (foreign ones included)
    std::optional<std::uint16_t> status;  // status of the real reply, if one was sent
};

// A port whose address changed through a LAN settings request.
struct AddressChange {
    int port = 0;
    std::string oldIp;
    std::string newIp;
    std::string netmask;
};

// Longest texts the recorder keeps from a write.
inline constexpr std::size_t kMaxNameLength = 255;
inline constexpr std::size_t kMaxIdentShortLength = 31;
inline constexpr std::size_t kMaxIdentLongLength = 511;

class Recorder {
public:
    explicit Recorder(RecorderState state);

    // Answers one received datagram. Datagrams that fail the request check,
    // requests for another device id and unknown opcodes get no reply.
    std::vector<Reply> Handle(std::span<const std::uint8_t> datagram,
                              std::chrono::microseconds now = std::chrono::microseconds{0});

    const RecorderState& state() const { return state_; }
    RecorderState& mutableState() { return state_; }

    const std::vector<RequestLogEntry>& log() const { return log_; }
    void ClearLog() { log_.clear(); }

    // Address changes since the last call, oldest first.
    std::vector<AddressChange> TakeAddressChanges();

private:
    const Script* FindScript(std::uint16_t opcode) const;
    bool Authenticated(const Request& request) const;

    void WriteDiscovery(ReplyWriter& writer, const Script& script) const;
    std::uint16_t ApplyDhcp(const Request& request);
    std::uint16_t ApplyStatic(const Request& request);
    std::uint16_t ApplyIdentity(const Request& request);
    void WriteVolumes(ReplyWriter& writer, const Script& script) const;
    void WriteIdentity(ReplyWriter& writer, const Script& script) const;
    std::vector<std::uint8_t> ForeignDatagram(int kind, const Request& request,
                                              std::span<const std::uint8_t> datagram) const;

    RecorderState state_;
    std::vector<RequestLogEntry> log_;
    std::vector<AddressChange> changes_;
    std::size_t nextPoolAddress_ = 0;
};

// Dotted IPv4 text as a number (host order), or nothing when it is not four
// decimal octets 0-255.
std::optional<std::uint32_t> ParseIpv4(std::string_view text);
// Prefix length of a contiguous netmask, or nothing.
std::optional<int> NetmaskPrefix(std::string_view netmask);

}  // namespace sim
