#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/daemon/config.h"
#include "sim/daemon/event_log.h"
#include "sim/recorder.h"

// Serves model recorders on real sockets: for each recorder LAN port that
// names an interface, a UDP socket in the recorders' multicast group and an
// HTTP console on the port's address. One thread, one poll loop.
namespace sim {

struct ServerOptions {
    bool applyAddresses = false;  // really move addresses after LAN changes
    std::string pidFile;          // written once every socket is bound
};

class SimServer {
public:
    SimServer(DaemonConfig config, ServerOptions options, EventLog& log);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Binds every socket (and, with applyAddresses, puts every served address
    // on its interface first). Gives "" or the first error.
    std::string Start();
    // Runs until SIGTERM or SIGINT. Gives "" or a fatal error.
    std::string Run();

private:
    struct Served {
        std::size_t recorder = 0;
        int port = 0;
        std::string interface;
        unsigned ifindex = 0;
        std::string address;  // the address the sockets are bound to
        int prefix = 24;
        int udp = -1;
        int http = -1;
        bool httpEnabled = true;
        int httpPort = 80;
    };
    struct Connection {
        int fd = -1;
        std::size_t served = 0;
        std::string source;
        std::string in;
        std::string out;
        std::size_t written = 0;
        bool responded = false;
        bool peerClosed = false;
        bool dropped = false;  // evicted to make room; closed at the end of the turn
        std::chrono::steady_clock::time_point deadline;
    };
    struct Pending {
        std::chrono::steady_clock::time_point due;
        std::uint64_t order = 0;
        std::size_t served = 0;
        std::vector<std::uint8_t> bytes;
    };

    std::string OpenSockets(Served& served);
    void CloseSockets(Served& served);
    void OnDatagrams(std::size_t servedIndex);
    void OnAccept(std::size_t servedIndex);
    bool OnConnection(Connection& connection, short revents);  // false: close it
    void SendToGroup(std::size_t servedIndex, const std::vector<std::uint8_t>& bytes);
    void ApplyAddressChanges(std::size_t recorderIndex);
    void SendDuePending();
    int PollTimeoutMs() const;
    std::chrono::microseconds Uptime() const;

    DaemonConfig config_;
    ServerOptions options_;
    EventLog& log_;
    std::vector<std::unique_ptr<Recorder>> recorders_;
    std::vector<Served> served_;
    std::vector<Connection> connections_;
    std::vector<Pending> pending_;
    std::uint64_t pendingOrder_ = 0;
    int signalFd_ = -1;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace sim
