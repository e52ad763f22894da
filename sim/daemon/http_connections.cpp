#include "sim/daemon/http_connections.h"

#include <algorithm>
#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <unistd.h>

#include "sim/daemon/http_console.h"

namespace sim {
namespace {

constexpr std::size_t kMaxConnections = 64;
constexpr auto kConnectionTimeout = std::chrono::seconds(10);
constexpr auto kLingerTime = std::chrono::seconds(2);

std::string FormatSource(const sockaddr_in& addr) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(addr.sin_port));
}

}  // namespace

HttpConnections::HttpConnections(EventLog& log, SiteOf siteOf)
    : log_(log), siteOf_(std::move(siteOf)) {}

HttpConnections::~HttpConnections() {
    for (auto& connection : connections_) {
        if (connection.fd >= 0)
            close(connection.fd);
    }
}

void HttpConnections::Accept(int listener, std::size_t served) {
    for (;;) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        const int fd = accept4(listener, reinterpret_cast<sockaddr*>(&peer), &length,
                               SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        const auto live = std::count_if(connections_.begin(), connections_.end(),
                                        [](const Connection& c) { return !c.dropped; });
        if (static_cast<std::size_t>(live) >= kMaxConnections) {
            // Make room by dropping the oldest connection that is still
            // waiting for its request, so idle clients cannot lock others out.
            // It is closed at the end of the loop turn (indices stay valid).
            auto oldest =
                std::find_if(connections_.begin(), connections_.end(),
                             [](const Connection& c) { return !c.responded && !c.dropped; });
            if (oldest == connections_.end()) {
                close(fd);
                continue;
            }
            oldest->dropped = true;
        }
        Connection connection;
        connection.fd = fd;
        connection.served = served;
        connection.source = FormatSource(peer);
        connection.deadline = std::chrono::steady_clock::now() + kConnectionTimeout;
        connections_.push_back(std::move(connection));
    }
}

void HttpConnections::AddPollEntries(std::vector<pollfd>& fds) const {
    for (const auto& connection : connections_) {
        const short events = connection.responded && connection.written < connection.out.size()
                                 ? static_cast<short>(POLLOUT | POLLIN)
                                 : static_cast<short>(POLLIN);
        fds.push_back({connection.fd, events, 0});
    }
}

void HttpConnections::OnReady(std::size_t index, short revents) {
    Connection& connection = connections_[index];
    if (connection.dropped)
        return;
    if (!Serve(connection, revents))
        connection.dropped = true;
}

void HttpConnections::CloseFinished() {
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(connections_, [&](Connection& connection) {
        if (!connection.dropped && connection.deadline > now)
            return false;
        close(connection.fd);
        return true;
    });
}

std::chrono::steady_clock::time_point HttpConnections::NextDeadline() const {
    auto next = std::chrono::steady_clock::time_point::max();
    for (const auto& connection : connections_)
        next = std::min(next, connection.deadline);
    return next;
}

bool HttpConnections::Serve(Connection& connection, short revents) {
    if (revents & POLLNVAL)
        return false;
    if (revents & (POLLIN | POLLHUP | POLLERR)) {
        char buffer[4096];
        for (;;) {
            const ssize_t n = recv(connection.fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                // After the response, input is read only to be thrown away.
                if (!connection.responded)
                    connection.in.append(buffer, static_cast<std::size_t>(n));
                if (connection.in.size() > kMaxHttpRequest)
                    break;
                continue;
            }
            if (n == 0) {
                if (connection.responded)
                    return false;  // the client is done
                if (connection.in.empty())
                    return false;
                // Half-closed after sending: answer what arrived, complete or not.
                connection.peerClosed = true;
                break;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            if (errno == EINTR)
                continue;
            return false;
        }
    }
    if (!connection.responded) {
        auto request = ParseHttpRequest(connection.in);
        if (request.result == HttpRequest::Parse::Incomplete) {
            if (!connection.peerClosed)
                return true;
            request.result = HttpRequest::Parse::Bad;  // no more bytes will come
        }
        const Site site = siteOf_(connection.served);
        const auto response = RespondToHttp(request, *site.state, site.port);
        connection.out = response.bytes;
        connection.written = 0;
        connection.responded = true;
        connection.in.clear();
        log_.Write("http", {{"recorder", site.state->name},
                            {"local", site.local},
                            {"source", connection.source},
                            {"method", request.method},
                            {"target", request.target},
                            {"status", response.status}});
    }
    while (connection.written < connection.out.size()) {
        const ssize_t n =
            send(connection.fd, connection.out.data() + connection.written,
                 connection.out.size() - connection.written, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            connection.written += static_cast<std::size_t>(n);
            if (connection.written == connection.out.size()) {
                // Done sending: half-close and let the client read in peace
                // before the descriptor goes.
                shutdown(connection.fd, SHUT_WR);
                connection.deadline = std::chrono::steady_clock::now() + kLingerTime;
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        return false;
    }
    return true;
}

}  // namespace sim
