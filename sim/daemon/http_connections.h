#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <poll.h>

#include "sim/daemon/event_log.h"
#include "sim/recorder.h"

// The HTTP side of the daemon: the open console connections, their reading,
// answering, time limits and eviction. The server owns the listening sockets
// and its poll loop; it hands accepted work and ready connections here.
namespace sim {

class HttpConnections {
public:
    // What a listening socket serves: the recorder, the LAN port it was
    // reached on and the local address (for the log).
    struct Site {
        const RecorderState* state = nullptr;
        int port = 0;
        std::string local;
    };
    using SiteOf = std::function<Site(std::size_t served)>;

    HttpConnections(EventLog& log, SiteOf siteOf);
    ~HttpConnections();
    HttpConnections(const HttpConnections&) = delete;
    HttpConnections& operator=(const HttpConnections&) = delete;

    // Accepts every waiting connection on the listener of a served port.
    void Accept(int listener, std::size_t served);
    // Appends one poll entry per connection, in order: the n-th entry
    // appended stands for connection index n of OnReady.
    void AddPollEntries(std::vector<pollfd>& fds) const;
    std::size_t size() const { return connections_.size(); }
    // Reads, answers and writes as the poll result allows.
    void OnReady(std::size_t index, short revents);
    // Closes connections that finished, failed, were evicted or ran out of
    // time. Call once per loop turn, after every OnReady.
    void CloseFinished();
    // The earliest time limit of an open connection, or max() when none.
    std::chrono::steady_clock::time_point NextDeadline() const;

private:
    struct Connection {
        int fd = -1;
        std::size_t served = 0;
        std::string source;
        std::string in;
        std::string out;
        std::size_t written = 0;
        bool responded = false;
        bool peerClosed = false;
        bool dropped = false;  // evicted or finished; closed at the end of the turn
        std::chrono::steady_clock::time_point deadline;
    };

    bool Serve(Connection& connection, short revents);  // false: close it

    EventLog& log_;
    SiteOf siteOf_;
    std::vector<Connection> connections_;
};

}  // namespace sim
