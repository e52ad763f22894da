#include "sim/daemon/server.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/signalfd.h>
#include <sys/socket.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "sim/daemon/address_apply.h"
#include "sim/daemon/http_console.h"

namespace sim {
namespace {

constexpr std::uint16_t kPort = 24680;
constexpr const char* kGroup = "224.0.0.10";
// Datagrams taken per socket per wake, so one flooded socket cannot starve
// the others.
constexpr int kDatagramsPerWake = 256;
constexpr int kReceiveBuffer = 4 * 1024 * 1024;
// Delayed replies held at most; a flood of requests to a slow recorder must
// not grow the daemon without bound.
constexpr std::size_t kMaxPending = 100000;

std::string Errno(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

in_addr ToInAddr(const std::string& dotted) {
    in_addr addr{};
    inet_pton(AF_INET, dotted.c_str(), &addr);
    return addr;
}

std::string FormatSource(const sockaddr_in& addr) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(addr.sin_port));
}

std::string FormatAddr(const in_addr& addr) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr, text, sizeof text);
    return text;
}

void CloseFd(int& fd) {
    if (fd >= 0)
        close(fd);  // not retried on EINTR: the descriptor is gone either way
    fd = -1;
}

bool WritePidFile(const std::string& path) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out)
            return false;
        out << getpid() << "\n";
        if (!out)
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

SimServer::SimServer(DaemonConfig config, ServerOptions options, EventLog& log)
    : config_(std::move(config)),
      options_(std::move(options)),
      log_(log),
      http_(log, [this](std::size_t served) {
          const Served& port = served_[served];
          return HttpConnections::Site{&recorders_[port.recorder]->state(), port.port,
                                       port.address};
      }) {
    for (std::size_t i = 0; i < config_.recorders.size(); ++i) {
        const auto& recorder = config_.recorders[i];
        recorders_.push_back(std::make_unique<Recorder>(recorder.state));
        for (const auto& port : recorder.served) {
            Served served;
            served.recorder = i;
            served.port = port.port;
            served.interface = port.interface;
            const auto& lan = recorder.state.lan[static_cast<std::size_t>(port.port)];
            served.address = lan.ip;
            served.prefix = NetmaskPrefix(lan.netmask).value_or(24);
            served.httpEnabled = recorder.http.enabled;
            served.httpPort = recorder.http.port;
            served_.push_back(served);
        }
    }
}

SimServer::~SimServer() {
    for (auto& served : served_)
        CloseSockets(served);
    CloseFd(signalFd_);
    // A pid file left behind would name a process that is gone, or a
    // stranger that got its number.
    if (pidFileWritten_)
        std::remove(options_.pidFile.c_str());
}

std::chrono::microseconds SimServer::Uptime() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 started_);
}

std::string SimServer::Start() {
    started_ = std::chrono::steady_clock::now();
    if (served_.empty())
        return "no recorder LAN port names an interface to serve on";

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);  // a closed terminal, too, ends it cleanly
    if (sigprocmask(SIG_BLOCK, &stopSignals, nullptr) != 0)
        return Errno("cannot block stop signals");
    signalFd_ = signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signalFd_ < 0)
        return Errno("signalfd");
    signal(SIGPIPE, SIG_IGN);

    for (auto& served : served_) {
        served.ifindex = if_nametoindex(served.interface.c_str());
        if (served.ifindex == 0)
            return Errno("interface " + served.interface);
        if (options_.applyAddresses) {
            auto error = KeepSecondaryAddresses(served.interface);
            if (error.empty())
                error = AddAddress(served.interface, served.address, served.prefix);
            if (!error.empty())
                return error;
        }
        const auto error = OpenSockets(served);
        if (!error.empty())
            return error;
    }
    if (!options_.pidFile.empty()) {
        if (!WritePidFile(options_.pidFile))
            return Errno("cannot write pid file " + options_.pidFile);
        pidFileWritten_ = true;
    }

    nlohmann::json ports = nlohmann::json::array();
    for (const auto& served : served_) {
        ports.push_back({{"recorder", recorders_[served.recorder]->state().name},
                         {"lan", served.port},
                         {"interface", served.interface},
                         {"address", served.address},
                         {"http", served.httpEnabled ? nlohmann::json(served.httpPort)
                                                     : nlohmann::json(nullptr)}});
    }
    log_.Write("ready", {{"pid", getpid()}, {"ports", ports}});
    std::fprintf(stderr, "ostrel-nvr-sim: ready, %zu recorder(s) on %zu port(s)\n",
                 recorders_.size(), served_.size());
    return {};
}

std::string SimServer::OpenSockets(Served& served) {
    const in_addr address = ToInAddr(served.address);
    const in_addr group = ToInAddr(kGroup);
    const std::string where = served.address + " on " + served.interface;

    served.udp = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (served.udp < 0)
        return Errno("UDP socket for " + where);
    const int one = 1;
    const int zero = 0;
    if (setsockopt(served.udp, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0)
        return Errno("SO_REUSEADDR for " + where);
    // A search from many clients, or a flood, arrives in bursts: ask for a
    // large buffer (the kernel caps it at its maximum).
    if (setsockopt(served.udp, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer) != 0)
        return Errno("SO_RCVBUF for " + where);
    // Bound to the wildcard: a socket bound to a unicast address would get no
    // group datagrams. The arrival interface is checked per datagram.
    sockaddr_in bindAddr{};
    bindAddr.sin_family = AF_INET;
    bindAddr.sin_port = htons(kPort);
    bindAddr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(served.udp, reinterpret_cast<sockaddr*>(&bindAddr), sizeof bindAddr) != 0)
        return Errno("bind UDP port 24680 for " + where);
    // Only the memberships of this socket, not every group the host joined.
    if (setsockopt(served.udp, IPPROTO_IP, IP_MULTICAST_ALL, &zero, sizeof zero) != 0)
        return Errno("IP_MULTICAST_ALL for " + where);
    if (setsockopt(served.udp, IPPROTO_IP, IP_PKTINFO, &one, sizeof one) != 0)
        return Errno("IP_PKTINFO for " + where);
    ip_mreqn membership{};
    membership.imr_multiaddr = group;
    membership.imr_address = address;
    membership.imr_ifindex = static_cast<int>(served.ifindex);
    if (setsockopt(served.udp, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0)
        return Errno("joining 224.0.0.10 for " + where);
    ip_mreqn outgoing{};
    outgoing.imr_address = address;
    outgoing.imr_ifindex = static_cast<int>(served.ifindex);
    if (setsockopt(served.udp, IPPROTO_IP, IP_MULTICAST_IF, &outgoing, sizeof outgoing) != 0)
        return Errno("IP_MULTICAST_IF for " + where);
    const unsigned char loop = 0;
    if (setsockopt(served.udp, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop) != 0)
        return Errno("IP_MULTICAST_LOOP for " + where);

    if (!served.httpEnabled)
        return {};
    served.http = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (served.http < 0)
        return Errno("HTTP socket for " + where);
    if (setsockopt(served.http, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0)
        return Errno("SO_REUSEADDR (HTTP) for " + where);
    sockaddr_in httpAddr{};
    httpAddr.sin_family = AF_INET;
    httpAddr.sin_port = htons(static_cast<std::uint16_t>(served.httpPort));
    httpAddr.sin_addr = address;
    if (bind(served.http, reinterpret_cast<sockaddr*>(&httpAddr), sizeof httpAddr) != 0)
        return Errno("bind HTTP port " + std::to_string(served.httpPort) + " on " + where);
    if (listen(served.http, 16) != 0)
        return Errno("listen on HTTP port for " + where);
    return {};
}

void SimServer::CloseSockets(Served& served) {
    CloseFd(served.udp);
    CloseFd(served.http);
}

int SimServer::PollTimeoutMs() const {
    auto next = std::chrono::steady_clock::time_point::max();
    for (const auto& pending : pending_)
        next = std::min(next, pending.due);
    next = std::min(next, http_.NextDeadline());
    if (next == std::chrono::steady_clock::time_point::max())
        return -1;
    const auto now = std::chrono::steady_clock::now();
    if (next <= now)
        return 0;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1;
    return static_cast<int>(std::min<long long>(ms, 60000));
}

std::string SimServer::Run() {
    std::vector<pollfd> fds;
    // What each pollfd stands for: 0 signal, 1 UDP, 2 HTTP listener, 3 connection.
    struct Slot {
        int kind;
        std::size_t index;
    };
    std::vector<Slot> slots;
    for (;;) {
        fds.clear();
        slots.clear();
        fds.push_back({signalFd_, POLLIN, 0});
        slots.push_back({0, 0});
        for (std::size_t i = 0; i < served_.size(); ++i) {
            if (served_[i].udp >= 0) {
                fds.push_back({served_[i].udp, POLLIN, 0});
                slots.push_back({1, i});
            }
            if (served_[i].http >= 0) {
                fds.push_back({served_[i].http, POLLIN, 0});
                slots.push_back({2, i});
            }
        }
        http_.AddPollEntries(fds);
        for (std::size_t i = 0; i < http_.size(); ++i)
            slots.push_back({3, i});

        const int ready = poll(fds.data(), fds.size(), PollTimeoutMs());
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return Errno("poll");
        }

        for (std::size_t k = 0; k < fds.size(); ++k) {
            if (fds[k].revents == 0)
                continue;
            switch (slots[k].kind) {
                case 0: {
                    signalfd_siginfo info{};
                    if (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                        log_.Write("stop", {{"signal", static_cast<int>(info.ssi_signo)}});
                        return {};
                    }
                    break;
                }
                case 1:
                    OnDatagrams(slots[k].index);
                    break;
                case 2:
                    http_.Accept(served_[slots[k].index].http, slots[k].index);
                    break;
                case 3:
                    http_.OnReady(slots[k].index, fds[k].revents);
                    break;
            }
        }
        http_.CloseFinished();
        SendDuePending();
    }
}

void SimServer::OnDatagrams(std::size_t servedIndex) {
    std::vector<std::uint8_t> buffer(65536);
    for (int round = 0; round < kDatagramsPerWake; ++round) {
        Served& served = served_[servedIndex];
        if (served.udp < 0)
            return;
        sockaddr_in source{};
        iovec iov{buffer.data(), buffer.size()};
        alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))];
        msghdr message{};
        message.msg_name = &source;
        message.msg_namelen = sizeof source;
        message.msg_iov = &iov;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t received = recvmsg(served.udp, &message, MSG_DONTWAIT);
        if (received < 0)
            return;  // EAGAIN, or an error that the next wake sees again
        if (message.msg_flags & MSG_TRUNC)
            continue;

        bool known = false;
        in_pktinfo info{};
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                std::memcpy(&info, CMSG_DATA(c), sizeof info);
                known = true;
            }
        }
        // Only what reached this port's interface, addressed to the group or to
        // this port's own address.
        if (!known || static_cast<unsigned>(info.ipi_ifindex) != served.ifindex)
            continue;
        const std::string destination = FormatAddr(info.ipi_addr);
        if (destination != kGroup && destination != served.address)
            continue;

        Recorder& recorder = *recorders_[served.recorder];
        const std::size_t logged = recorder.log().size();
        auto replies = recorder.Handle(
            std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(received)),
            Uptime());
        if (recorder.log().size() > logged) {
            auto fields = RequestFields(recorder.state(), recorder.log().back());
            fields["lan"] = served.port;
            fields["interface"] = served.interface;
            fields["local"] = served.address;
            fields["destination"] = destination;
            fields["source"] = FormatSource(source);
            log_.Write("request", std::move(fields));
            // The model's own log is not needed past this point.
            recorder.ClearLog();
        }
        const auto now = std::chrono::steady_clock::now();
        for (auto& reply : replies) {
            if (reply.delay.count() <= 0) {
                SendToGroup(servedIndex, reply.bytes);
            } else if (pending_.size() < kMaxPending) {
                pending_.push_back(
                    {now + reply.delay, pendingOrder_++, servedIndex, std::move(reply.bytes)});
            }
        }
        ApplyAddressChanges(served_[servedIndex].recorder);
    }
}

void SimServer::SendToGroup(std::size_t servedIndex, const std::vector<std::uint8_t>& bytes) {
    const Served& served = served_[servedIndex];
    if (served.udp < 0)
        return;
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(kPort);
    destination.sin_addr = ToInAddr(kGroup);
    if (sendto(served.udp, bytes.data(), bytes.size(), MSG_DONTWAIT,
               reinterpret_cast<sockaddr*>(&destination), sizeof destination) < 0) {
        log_.Write("error", {{"recorder", recorders_[served.recorder]->state().name},
                             {"what", Errno("sendto")}});
    }
}

void SimServer::SendDuePending() {
    if (pending_.empty())
        return;
    const auto now = std::chrono::steady_clock::now();
    std::vector<Pending> due;
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->due <= now) {
            due.push_back(std::move(*it));
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
    std::sort(due.begin(), due.end(), [](const Pending& a, const Pending& b) {
        return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    for (const auto& pending : due)
        SendToGroup(pending.served, pending.bytes);
}

void SimServer::ApplyAddressChanges(std::size_t recorderIndex) {
    Recorder& recorder = *recorders_[recorderIndex];
    for (const auto& change : recorder.TakeAddressChanges()) {
        for (std::size_t i = 0; i < served_.size(); ++i) {
            Served& served = served_[i];
            if (served.recorder != recorderIndex || served.port != change.port)
                continue;
            nlohmann::json fields{{"recorder", recorder.state().name},
                                  {"lan", change.port},
                                  {"interface", served.interface},
                                  {"old", change.oldIp},
                                  {"new", change.newIp},
                                  {"netmask", change.netmask}};
            if (!options_.applyAddresses) {
                fields["applied"] = false;
                log_.Write("address", std::move(fields));
                continue;
            }
            const int prefix = NetmaskPrefix(change.netmask).value_or(served.prefix);
            std::string error = AddAddress(served.interface, change.newIp, prefix);
            if (error.empty() && served.address != change.newIp) {
                // The old address may also be held by another served port.
                const bool shared =
                    std::any_of(served_.begin(), served_.end(), [&](const Served& other) {
                        return &other != &served && other.interface == served.interface &&
                               other.address == served.address;
                    });
                if (!shared)
                    error = RemoveAddress(served.interface, served.address, served.prefix);
            }
            if (!error.empty()) {
                fields["applied"] = false;
                fields["error"] = error;
                log_.Write("address", std::move(fields));
                continue;
            }
            CloseSockets(served);
            served.address = change.newIp;
            served.prefix = prefix;
            error = OpenSockets(served);
            fields["applied"] = error.empty();
            if (!error.empty())
                fields["error"] = error;
            log_.Write("address", std::move(fields));
        }
    }
}

}  // namespace sim
