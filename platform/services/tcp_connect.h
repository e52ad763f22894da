#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// A TCP connection attempt with a time limit, for reachability checks.
namespace ostrel::platform {

enum class TcpConnectOutcome {
    kAccepted,     // the peer accepted the connection (it is closed again at once)
    kRefused,      // the peer answered with a reset
    kUnreachable,  // no route, host or network unreachable
    kTimedOut,     // no answer within the limit
    kBadAddress,   // the host name cannot be resolved
};

// Connects to host:port with a non-blocking connect and waits for the outcome
// at most `limit` in all (every resolved address shares the limit).
TcpConnectOutcome TryTcpConnect(const std::string& host, std::uint16_t port,
                                std::chrono::milliseconds limit);

}  // namespace ostrel::platform
