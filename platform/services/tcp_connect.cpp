#include "platform/services/tcp_connect.h"

#include <cerrno>
#include <cstring>

#include <netinet/in.h>
#include <sys/socket.h>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <unistd.h>

namespace ostrel::platform {

namespace {

TcpConnectOutcome OutcomeOfError(int error) {
    switch (error) {
        case 0:
            return TcpConnectOutcome::kAccepted;
        case ECONNREFUSED:
        case ECONNRESET:
            return TcpConnectOutcome::kRefused;
        case ETIMEDOUT:
            return TcpConnectOutcome::kTimedOut;
        default:
            return TcpConnectOutcome::kUnreachable;
    }
}

TcpConnectOutcome ConnectOnce(const addrinfo& address,
                              std::chrono::steady_clock::time_point deadline) {
    const int fd = socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                          address.ai_protocol);
    if (fd < 0) {
        return TcpConnectOutcome::kUnreachable;
    }
    int error = 0;
    if (connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        error = errno;
    }
    if (error == EINPROGRESS || error == EINTR) {
        error = ETIMEDOUT;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                break;
            }
            pollfd waiter{fd, POLLOUT, 0};
            const int ready = poll(&waiter, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready > 0) {
                socklen_t length = sizeof error;
                if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
                    error = errno;
                }
            }
            break;
        }
    }
    close(fd);
    return OutcomeOfError(error);
}

}  // namespace

TcpConnectOutcome TryTcpConnect(const std::string& host, std::uint16_t port,
                                std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        return TcpConnectOutcome::kBadAddress;
    }
    TcpConnectOutcome outcome = TcpConnectOutcome::kUnreachable;
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        outcome = ConnectOnce(*address, deadline);
        if (outcome == TcpConnectOutcome::kAccepted ||
            std::chrono::steady_clock::now() >= deadline) {
            break;
        }
    }
    freeaddrinfo(found);
    return outcome;
}

}  // namespace ostrel::platform
