// Benchmarks of the protocol on real sockets in the network lab. Run by
// bench/lab/run, which brings up the lab they need; each prints its figures.
//
//   ostrel-lab-bench discovery [ROUNDS]  wall and CPU time of DiscoverDevices
//   ostrel-lab-bench burst               recorders found when the burst recorders answer at once
//   ostrel-lab-bench flood [RATE]        a login while foreign datagrams flood in
//   ostrel-lab-bench idle LAB_SCRIPT [ROUNDS]
//                                        search time without and with an
//                                        interface that has no carrier
//   ostrel-lab-bench stream              search and login under junk every 2 ms, against quiet
//   ostrel-lab-bench queued              a login whose reply queues behind 300 foreign ones
//   ostrel-lab-bench apply NVR_PATH      ostrel-nvr apply of a plan over ten re-addressable
//                                        recorders, against the protocol's floors
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/exchange.h"
#include "protocol/globals.h"
#include "protocol/local_addresses.h"
#include "protocol/network.h"
#include "protocol/operations.h"
#include "protocol/session_id.h"
#include "tests/lab/lab_support.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// One drain of 1 s plus 101 polls of 10 ms per local address.
constexpr double kDiscoveryFloorPerAddress = 1.0 + 101 * 0.010;

struct Measure {
    Clock::time_point wallStart = Clock::now();
    // The protocol runs on this thread; a flooding thread of the benchmark
    // itself must not count as the client's time.
    std::chrono::microseconds cpuStart = lab::ThreadCpuTime();
    double Wall() const { return Seconds(Clock::now() - wallStart).count(); }
    double Cpu() const { return Seconds(lab::ThreadCpuTime() - cpuStart).count(); }
};

int Discovery(int rounds) {
    InitNetwork();
    const std::size_t addresses = LocalAddressTable.size();
    std::printf("discovery: %zu local addresses, floor %.3f s per address\n", addresses,
                kDiscoveryFloorPerAddress);
    double worst = 0;
    double totalWall = 0;
    double totalCpu = 0;
    for (int round = 0; round < rounds; ++round) {
        const Measure measure;
        DiscoverDevices();
        const double wall = measure.Wall();
        const double cpu = measure.Cpu();
        const double perAddress = wall / static_cast<double>(addresses);
        worst = std::max(worst, perAddress / kDiscoveryFloorPerAddress);
        totalWall += wall;
        totalCpu += cpu;
        std::printf(
            "  round %d: %zu recorders, %.3f s wall (%.3f s per address, %.4f x floor), cpu %.4f s "
            "(%.3f%% of wall)\n",
            round + 1, DeviceTable.size(), wall, perAddress, perAddress / kDiscoveryFloorPerAddress,
            cpu, 100.0 * cpu / wall);
    }
    std::printf(
        "discovery: worst %.4f x floor (target <= 1.02), cpu %.3f%% of wall (target < 2%%)\n",
        worst, 100.0 * totalCpu / totalWall);
    ClearDeviceTable();
    ShutdownNetwork();
    return worst <= 1.02 && totalCpu / totalWall < 0.02 ? 0 : 1;
}

int Burst(const lab::Info& info) {
    InitNetwork();
    const Measure measure;
    DiscoverDevices();
    const double wall = measure.Wall();
    int found = 0;
    for (const DeviceRecord& record : DeviceTable) {
        if (record.name.view().starts_with("NVR-Burst-")) {
            ++found;
        }
    }
    std::printf(
        "burst: %d of %d recorders found in one search (%zu in the table), %.3f s wall, cpu %.4f "
        "s\n",
        found, info.burstCount, DeviceTable.size(), wall, measure.Cpu());
    ClearDeviceTable();
    ShutdownNetwork();
    return found == info.burstCount ? 0 : 1;
}

// A login to a recorder on subnet A while another namespace on subnet A sends
// foreign datagrams (another instance's replies) to the group.
int Flood(const lab::Info& info, int rate) {
    // A recorder that answers late lets the reply arrive in the middle of a
    // flood that starts after the drain.
    const lab::Recorder* slow = info.ByRole("slow");
    const lab::Recorder* target = slow != nullptr ? slow : info.ByKey("r2");
    const lab::Recorder* flooder = info.ByKey("r1");
    if (target == nullptr || flooder == nullptr) {
        std::fprintf(
            stderr,
            "flood: the lab needs recorder r1 and a target (r2, or one started with --slow)\n");
        return 2;
    }
    InitNetwork();
    DiscoverDevices();
    DeviceId id{};
    bool known = false;
    for (const DeviceRecord& record : DeviceTable) {
        if (record.name == target->name) {
            id = record.deviceId;
            known = true;
        }
    }
    if (!known) {
        std::fprintf(stderr, "flood: %s was not discovered\n", target->name.c_str());
        return 2;
    }
    CurrentTargetId = id;
    LoginUser = target->user;
    LoginPassword = target->password;
    SessionIdBytes foreign = SessionId;
    foreign[0] ^= 0xFF;

    int failures = 0;
    struct Scenario {
        const char* what;
        int startMs;
        int durationMs;
    };
    // From the start, the flood keeps the drain going until it stops; started
    // after the drain, it surrounds the reply.
    std::vector<Scenario> scenarios = {Scenario{"flood from the start, 3 s", 0, 3000}};
    if (slow != nullptr) {
        scenarios.push_back(Scenario{"flood after the drain around a late reply, 3 s", 1200, 3000});
    }
    for (const Scenario& scenario : scenarios) {
        lab::GroupSender::Plan plan;
        plan.netns = flooder->netns;
        plan.localAddress = flooder->ip;
        plan.datagram = lab::ForgedReply(OP_LOGIN, 1, foreign, id);
        plan.startAfter = std::chrono::milliseconds(scenario.startMs);
        plan.duration = std::chrono::milliseconds(scenario.durationMs);
        plan.perSecond = rate;
        plan.maxCount = static_cast<long>(rate) * scenario.durationMs / 1000;
        const Measure measure;
        lab::GroupSender sender(plan);
        const int ok = Login();
        const double wall = measure.Wall();
        const double cpu = measure.Cpu();
        sender.Stop();
        const long sent = sender.Sent();
        std::printf(
            "flood (%s, %d/s): login %s, %.3f s wall, client cpu %.4f s (%.2f%% of wall), %ld "
            "foreign datagrams "
            "sent%s%s\n",
            scenario.what, rate, ok == 1 ? "succeeded" : "FAILED", wall, cpu, 100.0 * cpu / wall,
            sent, sender.Error().empty() ? "" : ", sender error: ", sender.Error().c_str());
        if (ok != 1) {
            ++failures;
        }
    }
    ClearDeviceTable();
    ShutdownNetwork();
    return failures == 0 ? 0 : 1;
}

// One discovery from a fresh local address table; its wall time, and the
// number of local addresses searched through.
std::pair<double, std::size_t> TimedSearch() {
    InitNetwork();
    const std::size_t addresses = LocalAddressTable.size();
    const Measure measure;
    DiscoverDevices();
    const double wall = measure.Wall();
    ClearDeviceTable();
    ShutdownNetwork();
    return {wall, addresses};
}

// Search time without and with the client's interface that has no carrier
// (scripts/lab idle-link), in alternating rounds so that a drift of the
// machine's load falls on both alike. Such an interface cannot carry a
// reply, so it must cost nothing: target within 2 %.
int IdleInterface(const lab::Info& info, const std::string& script, int rounds) {
    const std::vector<std::string> prefix = {"OSTREL_LAB_PREFIX=" + info.prefix};
    double without = 0;
    double with = 0;
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto [wallWithout, addressesWithout] = TimedSearch();
        if (lab::RunProcess({script, "idle-link", "add"}, "", prefix).exitCode != 0) {
            std::fprintf(stderr, "idle: %s idle-link add failed\n", script.c_str());
            return 2;
        }
        const auto [wallWith, addressesWith] = TimedSearch();
        lab::RunProcess({script, "idle-link", "remove"}, "", prefix);
        without += wallWithout;
        with += wallWith;
        if (addressesWith != addressesWithout) {
            ++failures;
        }
        std::printf(
            "  round %d: without %.3f s (%zu local addresses), with the idle interface %.3f s "
            "(%zu)\n",
            round + 1, wallWithout, addressesWithout, wallWith, addressesWith);
    }
    const double ratio = with / without;
    std::printf(
        "idle interface: mean search %.3f s without, %.3f s with, ratio %.4f (target <= 1.02)\n",
        without / rounds, with / rounds, ratio);
    return failures == 0 && ratio <= 1.02 ? 0 : 1;
}

// Finds a recorder of the lab by name in the DeviceTable of the last search.
bool FindDiscovered(const std::string& name, DeviceId& id) {
    for (const DeviceRecord& record : DeviceTable) {
        if (record.name == name) {
            id = record.deviceId;
            return true;
        }
    }
    return false;
}

// Search and login while other hosts on both subnets send junk to the group
// every 2 ms, against the same operations on the quiet network.
int Stream(const lab::Info& info) {
    const lab::Recorder* onA = info.ByKey("r1");
    const lab::Recorder* onB = info.ByKey("r3");
    const lab::Recorder* target = info.ByKey("r2");
    if (onA == nullptr || onB == nullptr || target == nullptr) {
        std::fprintf(stderr, "stream: the lab needs recorders r1, r2 and r3\n");
        return 2;
    }
    InitNetwork();
    DiscoverDevices();
    DeviceId id{};
    if (!FindDiscovered(target->name, id)) {
        std::fprintf(stderr, "stream: %s was not discovered\n", target->name.c_str());
        return 2;
    }
    SessionIdBytes foreign = SessionId;
    foreign[0] ^= 0xFF;
    // The junk: replies of another program's session, to the search and to
    // logins, in turn from the two senders.
    const auto junkSenders = [&](int count) {
        std::vector<std::unique_ptr<lab::GroupSender>> senders;
        const lab::Recorder* from[] = {onA, onB};
        const std::uint16_t opcodes[] = {OP_DISCOVER, OP_LOGIN};
        for (int i = 0; i < 2; ++i) {
            lab::GroupSender::Plan plan;
            plan.netns = from[i]->netns;
            plan.localAddress = from[i]->ip;
            plan.datagram = lab::ForgedReply(opcodes[i], 1, foreign, id);
            plan.duration = std::chrono::seconds(40);
            plan.perSecond = 500;  // every 2 ms
            plan.maxCount = count;
            senders.push_back(std::make_unique<lab::GroupSender>(plan));
        }
        return senders;
    };
    const auto searchAndLogin = [&](double& search, double& login, bool& found, bool& loggedIn) {
        const Measure measureSearch;
        DiscoverDevices();
        search = measureSearch.Wall();
        found = FindDiscovered(target->name, id);
        CurrentTargetId = id;
        LoginUser = target->user;
        LoginPassword = target->password;
        const Measure measureLogin;
        loggedIn = Login() == 1;
        login = measureLogin.Wall();
    };
    double quietSearch = 0, quietLogin = 0, busySearch = 0, busyLogin = 0;
    bool quietFound = false, quietOk = false, busyFound = false, busyOk = false;
    searchAndLogin(quietSearch, quietLogin, quietFound, quietOk);
    long sent = 0;
    {
        auto senders = junkSenders(20000);
        searchAndLogin(busySearch, busyLogin, busyFound, busyOk);
        for (auto& sender : senders) {
            sender->Stop();
            sent += sender->Sent();
        }
    }
    std::printf("stream: quiet search %.3f s, login %.3f s (%s)\n", quietSearch, quietLogin,
                quietOk ? "succeeded" : "FAILED");
    std::printf(
        "stream: junk every 2 ms on each subnet (%ld datagrams): search %.3f s (%.2f x quiet, "
        "target recorder %s), login %.3f s (%.2f x quiet, %s)\n",
        sent, busySearch, busySearch / quietSearch, busyFound ? "found" : "MISSING", busyLogin,
        busyLogin / quietLogin, busyOk ? "succeeded" : "FAILED");
    ClearDeviceTable();
    ShutdownNetwork();
    const bool bounded = busySearch <= 2 * quietSearch && busyLogin <= 2 * quietLogin;
    return quietOk && busyOk && busyFound && bounded ? 0 : 1;
}

// A login whose valid reply arrives behind 300 foreign replies that pile up
// in the receive queue during the pause after the send.
int Queued(const lab::Info& info) {
    const lab::Recorder* slow = info.ByRole("slow");
    const lab::Recorder* flooder = info.ByKey("r1");
    if (slow == nullptr || flooder == nullptr) {
        std::fprintf(stderr, "queued: the lab needs recorder r1 and one started with --slow\n");
        return 2;
    }
    InitNetwork();
    DiscoverDevices();
    DeviceId id{};
    if (!FindDiscovered(slow->name, id)) {
        std::fprintf(stderr, "queued: %s was not discovered\n", slow->name.c_str());
        return 2;
    }
    CurrentTargetId = id;
    LoginUser = slow->user;
    LoginPassword = slow->password;
    SessionIdBytes foreign = SessionId;
    foreign[0] ^= 0xFF;
    int failures = 0;
    for (int round = 0; round < 3; ++round) {
        // The drain ends a second after the start; the 300 foreign replies
        // follow the request within a few milliseconds, the slow recorder's
        // reply after them, all before the first poll.
        lab::GroupSender::Plan plan;
        plan.netns = flooder->netns;
        plan.localAddress = flooder->ip;
        plan.datagram = lab::ForgedReply(OP_LOGIN, 1, foreign, id);
        plan.startAfter = std::chrono::milliseconds(1003);
        plan.duration = std::chrono::milliseconds(500);
        plan.perSecond = 100000;
        plan.maxCount = 300;
        const Measure measure;
        lab::GroupSender sender(plan);
        const bool ok = Login() == 1;
        const double wall = measure.Wall();
        sender.Stop();
        std::printf("queued: login behind %ld foreign replies %s, %.3f s wall%s%s\n", sender.Sent(),
                    ok ? "succeeded" : "FAILED", wall,
                    sender.Error().empty() ? "" : ", sender error: ", sender.Error().c_str());
        failures += ok ? 0 : 1;
    }
    ClearDeviceTable();
    ShutdownNetwork();
    return failures == 0 ? 0 : 1;
}

// ostrel-nvr apply moves ten recorders whose addresses really move (the lab
// of "scripts/lab up --movable 8": r5, r8 and r11 to r18; fewer where the lab
// has fewer) and puts them back. The protocol's own floor for such a plan:
// one search before it, then per line a login and a change, each an
// exchange that drains a quiet second and pauses before its first poll, and
// one search after the last change that sees every recorder at its new
// address; a search costs the discovery floor on every local address.
int Apply(const lab::Info& info, const std::string& nvr) {
    std::vector<const lab::Recorder*> recorders;
    for (const lab::Recorder* recorder : info.Movable()) {
        if (recorder->supported && recorder->role != "silent" && recorder->role != "slow" &&
            recorders.size() < 10) {
            recorders.push_back(recorder);
        }
    }
    if (recorders.empty()) {
        std::fprintf(stderr, "apply: no recorder to move\n");
        return 1;
    }
    const std::string there = "/tmp/ostrel-bench-plan-there.csv";
    const std::string back = "/tmp/ostrel-bench-plan-back.csv";
    {
        std::string moved = "device,ip,netmask,gateway,password\n";
        std::string restored = moved;
        int host = 150;
        for (const lab::Recorder* r : recorders) {
            const std::string net = r->ip.substr(0, r->ip.rfind('.'));
            moved += "\"" + r->id + "\"," + net + "." + std::to_string(host++) + "," + r->netmask +
                     "," + r->gateway + "," + r->password + "\n";
            restored += "\"" + r->id + "\"," + r->ip + "," + r->netmask + "," + r->gateway + "," +
                        r->password + "\n";
        }
        std::FILE* f = std::fopen(there.c_str(), "w");
        std::FILE* g = std::fopen(back.c_str(), "w");
        if (f == nullptr || g == nullptr) {
            return 1;
        }
        std::fputs(moved.c_str(), f);
        std::fputs(restored.c_str(), g);
        std::fclose(f);
        std::fclose(g);
    }
    const double lines = static_cast<double>(recorders.size());
    const double search =
        static_cast<double>(info.clientAddresses.size()) * kDiscoveryFloorPerAddress;
    const double exchange = Seconds(kDrainQuietTime + kReplyPause).count();
    const double floor = search + lines * 2 * exchange + search;
    std::printf(
        "apply: floor %.3f s = one search %.3f s (%zu local addresses) + %zu lines x (login "
        "%.3f s + change %.3f s) + one search %.3f s; target at most 1.1 x floor = %.3f s\n",
        floor, search, info.clientAddresses.size(), recorders.size(), exchange, exchange, search,
        1.1 * floor);
    int status = 0;
    for (const std::string& plan : {there, back}) {
        const Measure measure;
        const lab::ProcessResult r =
            lab::RunProcess({nvr, "apply", plan}, "", {}, std::chrono::seconds(600));
        const double wall = measure.Wall();
        std::printf("apply (%s): %zu recorders, %.3f s wall, floor %.3f s, %.3f x floor, exit %d\n",
                    plan == there ? "moved" : "put back", recorders.size(), wall, floor,
                    wall / floor, r.exitCode);
        std::fputs(r.out.c_str(), stdout);
        if (r.exitCode != 0) {
            std::fputs(r.err.c_str(), stderr);
            status = 1;
        }
    }
    std::remove(there.c_str());
    std::remove(back.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    lab::EnterClientNamespace();
    const lab::Info* info = lab::CurrentLab();
    if (info == nullptr) {
        std::fprintf(stderr, "ostrel-lab-bench: %s\n", lab::LabUnavailableReason().c_str());
        return 2;
    }
    if (what == "discovery") {
        return Discovery(argc > 2 ? std::max(1, std::atoi(argv[2])) : 5);
    }
    if (what == "burst") {
        return Burst(*info);
    }
    if (what == "flood") {
        return Flood(*info, argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 20000) : 10000);
    }
    if (what == "idle" && argc > 2) {
        return IdleInterface(*info, argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 5);
    }
    if (what == "stream") {
        return Stream(*info);
    }
    if (what == "queued") {
        return Queued(*info);
    }
    if (what == "apply" && argc > 2) {
        return Apply(*info, argv[2]);
    }
    std::fprintf(stderr,
                 "usage: ostrel-lab-bench discovery [ROUNDS] | burst | flood [RATE] | idle "
                 "LAB_SCRIPT [ROUNDS] | stream | queued | apply NVR_PATH\n");
    return 2;
}
