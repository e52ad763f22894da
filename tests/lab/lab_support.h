#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// What a test or benchmark needs to work in the network lab (scripts/lab):
// the lab's description, entering its namespaces, running programs, a small
// HTTP check, and a sender of datagrams to the recorders' group from inside
// one of the lab's namespaces.
namespace lab {

struct Recorder {
    std::string key;    // r1, r2, ...
    std::string netns;  // the recorder's namespace
    std::string name;
    std::string model;
    bool supported = false;
    std::string id;  // device key text, 0x00,0x1A,...
    std::string user;
    std::string password;
    std::string ip;  // first LAN port
    std::string netmask;
    std::string gateway;
    std::vector<std::string> ports;  // every LAN port's address
    std::string interfaceAddress;    // the client address on its subnet
    std::vector<std::string> volumes;
    std::string shareRoot;  // host folder holding one folder per volume
    bool smb = false;
    std::string role;  // one of kRoles
    // Its daemon really moves its address when a change is applied
    // (ostrel-nvr-sim --apply-addresses), so it answers at the new one.
    bool applyAddresses = false;
};

// The roles a test may look a recorder up by (Info::ByRole). The lab's
// topology (scripts/lab.json) gives each to a recorder, the slow one only
// with "up --slow MS"; a test checks the two agree.
inline constexpr std::array<std::string_view, 6> kRoles = {"plain",   "dual-port", "unsupported",
                                                           "mutable", "silent",    "slow"};

struct Info {
    std::string prefix;
    std::string state;
    std::string clientNetns;
    std::string switchNetns;
    std::vector<std::string> clientAddresses;  // in the client's interface order
    std::vector<Recorder> recorders;
    int burstCount = 0;
    std::string burstFirstIp;
    std::string burstPassword;

    const Recorder* ByKey(const std::string& key) const;
    const Recorder* ByRole(const std::string& role) const;
    // The recorders that answer at a new address after a change, in order.
    std::vector<const Recorder*> Movable() const;
};

// Reads the info file named by OSTREL_LAB_INFO. Nothing, with the reason in
// why, when the variable is unset or the file is missing or unreadable.
std::optional<Info> LoadInfo(std::string& why);
// Reads the text of an info file (what "scripts/lab info" or "scripts/lab
// plan" prints); where names the source in the reason.
std::optional<Info> ParseInfo(const std::string& text, const std::string& where, std::string& why);

// Moves the calling thread into the named network namespace (/run/netns/NAME).
bool EnterNetns(const std::string& name, std::string& why);

// The lab as the test process found it at start: set by EnterClientNamespace.
const Info* CurrentLab();
const std::string& LabUnavailableReason();
// Loads the info and moves the process's main thread into the client
// namespace; on failure CurrentLab() stays null and the reason is kept.
void EnterClientNamespace();

struct ProcessResult {
    int exitCode = -1;  // -1 when it could not run or was killed
    std::string out;
    std::string err;
};
// Runs argv with input on its standard input and extra "NAME=value" entries
// added to the environment; waits at most timeout.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input = "",
                         const std::vector<std::string>& extraEnvironment = {},
                         std::chrono::seconds timeout = std::chrono::seconds(60));

// GET / over HTTP/1.0; the whole response, or empty when no connection.
std::string HttpGet(const std::string& address, int port = 80,
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

// A thread that enters a lab namespace and sends datagrams to
// 224.0.0.10:24680 through the local address there, at a fixed rate, for a
// bounded time and count. Starts after an initial delay.
class GroupSender {
public:
    struct Plan {
        std::string netns;
        std::string localAddress;
        std::vector<std::uint8_t> datagram;
        std::chrono::milliseconds startAfter{0};
        std::chrono::milliseconds duration{1000};
        int perSecond = 100;
        long maxCount = 100000;
    };
    explicit GroupSender(Plan plan);
    ~GroupSender();  // stops and joins
    GroupSender(const GroupSender&) = delete;
    GroupSender& operator=(const GroupSender&) = delete;

    void Stop();
    long Sent() const { return sent_.load(); }
    const std::string& Error() const { return error_; }

private:
    void Run();

    Plan plan_;
    std::atomic<bool> stop_{false};
    std::atomic<long> sent_{0};
    std::string error_;
    std::thread thread_;
};

// A reply datagram as a recorder would send it: header only, the given
// opcode, status, session and device id.
std::vector<std::uint8_t> ForgedReply(std::uint16_t opcode, std::uint16_t status,
                                      const std::array<std::uint8_t, 8>& session,
                                      const std::array<std::uint8_t, 8>& deviceId);

// The process's CPU time (user + system) so far.
std::chrono::microseconds ProcessCpuTime();
// The calling thread's CPU time so far.
std::chrono::microseconds ThreadCpuTime();

}  // namespace lab
