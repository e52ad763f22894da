#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/daemon/config.h"
#include "sim/daemon/event_log.h"
#include "sim/daemon/http_connections.h"
#include "sim/recorder.h"

// Serves model recorders on real sockets: for each recorder LAN port that
// names an interface, a UDP socket in the recorders' multicast group and an
// HTTP console on the port's address. One thread, one poll loop; the HTTP
// connections themselves are handled by HttpConnections.
namespace sim {

struct ServerOptions {
    bool applyAddresses = false;  // really move addresses after LAN changes
    std::string pidFile;          // written once every socket is bound, removed at the end
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
    struct Pending {
        std::chrono::steady_clock::time_point due;
        std::uint64_t order = 0;
        std::size_t served = 0;
        std::vector<std::uint8_t> bytes;
    };

    std::string OpenSockets(Served& served);
    void CloseSockets(Served& served);
    void OnDatagrams(std::size_t servedIndex);
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
    HttpConnections http_;
    std::vector<Pending> pending_;
    std::uint64_t pendingOrder_ = 0;
    int signalFd_ = -1;
    bool pidFileWritten_ = false;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace sim
