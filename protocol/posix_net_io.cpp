#include "protocol/posix_net_io.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <ifaddrs.h>
#include <poll.h>
#include <unistd.h>

#include "protocol/local_addresses.h"
#include "protocol/packet_format.h"
#include "protocol/trace.h"

namespace {

bool ParseAddress(const std::string& text, in_addr& address) {
    return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

// The name of the interface that owns the address, empty when none does.
std::string InterfaceNameOf(const std::string& address) {
    for (const auto& entry : PosixNetIo::ReadInterfaceAddresses()) {
        if (entry.address == address) {
            return entry.interfaceName;
        }
    }
    return {};
}

void SetOption(int socket, int level, int name, const void* value, socklen_t size,
               const char* what) {
    if (setsockopt(socket, level, name, value, size) != 0) {
        TraceDebug("socket %d: %s failed: %s\n", socket, what, std::strerror(errno));
    }
}

}  // namespace

std::vector<InterfaceAddressEntry> PosixNetIo::ReadInterfaceAddresses() {
    std::vector<InterfaceAddressEntry> entries;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return entries;
    }
    for (ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
        if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        sockaddr_in address;
        std::memcpy(&address, item->ifa_addr, sizeof address);
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
        InterfaceAddressEntry entry;
        entry.interfaceName = item->ifa_name != nullptr ? item->ifa_name : "";
        entry.address = text;
        entry.up = (item->ifa_flags & IFF_UP) != 0;
        entry.running = (item->ifa_flags & IFF_RUNNING) != 0;
        entry.loopback = (item->ifa_flags & IFF_LOOPBACK) != 0;
        entry.multicast = (item->ifa_flags & IFF_MULTICAST) != 0;
        entries.push_back(std::move(entry));
    }
    freeifaddrs(list);
    return entries;
}

std::vector<std::string> PosixNetIo::ListLocalAddresses() {
    return SearchedAddresses(DescribeLocalAddresses());
}

std::vector<LocalAddressVerdict> PosixNetIo::DescribeLocalAddresses() {
    return JudgeLocalAddresses(ReadInterfaceAddresses(), kMaxLocalAddresses);
}

int PosixNetIo::OpenSendSocket(const std::string& localAddress) {
    (void)localAddress;  // the outgoing interface is chosen per send
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        TraceDebug("send socket: %s\n", std::strerror(errno));
        return -1;
    }
    const unsigned char loop = 0;
    SetOption(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop, "IP_MULTICAST_LOOP");
    return fd;
}

int PosixNetIo::OpenReceiveSocket(const std::string& localAddress) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        TraceDebug("receive socket: %s\n", std::strerror(errno));
        return -1;
    }
    const int on = 1;
    const int off = 0;
    SetOption(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on, "SO_REUSEADDR");
    // Hundreds of recorders answer a search within milliseconds, and replies
    // keep arriving while the exchange pauses; the default buffer would drop
    // most of such a burst. The kernel caps the request at its maximum.
    SetOption(fd, SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes, sizeof kReceiveBufferBytes,
              "SO_RCVBUF");
    const std::string interfaceName = InterfaceNameOf(localAddress);
    const unsigned interfaceIndex =
        interfaceName.empty() ? 0 : if_nametoindex(interfaceName.c_str());
    // Tied to its interface, the socket also gets the datagrams sent to the
    // port of its own address rather than leaving them to a sibling socket
    // bound to the same port. Best effort: older kernels want privileges for
    // it, and the interface filter below still keeps the slots apart.
    if (!interfaceName.empty()) {
        SetOption(fd, SOL_SOCKET, SO_BINDTODEVICE, interfaceName.c_str(),
                  static_cast<socklen_t>(interfaceName.size()), "SO_BINDTODEVICE");
    }

    sockaddr_in bindAddress{};
    bindAddress.sin_family = AF_INET;
    bindAddress.sin_port = htons(kProtocolPort);
    bindAddress.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&bindAddress), sizeof bindAddress) != 0) {
        TraceDebug("receive socket %d: bind failed: %s\n", fd, std::strerror(errno));
    }

    ip_mreqn membership{};
    ParseAddress(kGroupAddress, membership.imr_multiaddr);
    ParseAddress(localAddress, membership.imr_address);
    membership.imr_ifindex = static_cast<int>(interfaceIndex);
    SetOption(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership,
              "IP_ADD_MEMBERSHIP");
    SetOption(fd, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off, "IP_MULTICAST_ALL");
    const unsigned char loop = 0;
    SetOption(fd, IPPROTO_IP, IP_MULTICAST_LOOP, &loop, sizeof loop, "IP_MULTICAST_LOOP");
    SetOption(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on, "IP_PKTINFO");
    receiveInterface_[fd] = interfaceIndex;
    return fd;
}

void PosixNetIo::CloseSocket(int socket) {
    if (socket < 0) {
        return;
    }
    receiveInterface_.erase(socket);
    // No retry on EINTR: the descriptor is gone either way on Linux.
    close(socket);
}

bool PosixNetIo::SetMulticastInterface(int sendSocket, const std::string& localAddress) {
    in_addr address{};
    if (sendSocket < 0 || !ParseAddress(localAddress, address)) {
        return false;
    }
    return setsockopt(sendSocket, IPPROTO_IP, IP_MULTICAST_IF, &address, sizeof address) == 0;
}

bool PosixNetIo::SendToGroup(int sendSocket, std::span<const std::uint8_t> bytes) {
    if (sendSocket < 0) {
        return false;
    }
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(kProtocolPort);
    ParseAddress(kGroupAddress, group.sin_addr);
    ssize_t sent;
    do {
        sent = sendto(sendSocket, bytes.data(), bytes.size(), 0,
                      reinterpret_cast<const sockaddr*>(&group), sizeof group);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) {
        TraceDebug("socket %d: sendto failed: %s\n", sendSocket, std::strerror(errno));
        return false;
    }
    return static_cast<std::size_t>(sent) == bytes.size();
}

NetIo::WaitResult PosixNetIo::WaitReadable(int receiveSocket, std::chrono::microseconds timeout) {
    if (receiveSocket < 0) {
        return WaitResult::Error;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left < std::chrono::nanoseconds{0}) {
            left = std::chrono::nanoseconds{0};
        }
        timespec wait{};
        wait.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
        wait.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
        pollfd entry{receiveSocket, POLLIN, 0};
        const int ready = ppoll(&entry, 1, &wait, nullptr);
        if (ready > 0) {
            return (entry.revents & POLLIN) != 0 ? WaitResult::Ready : WaitResult::Error;
        }
        if (ready == 0) {
            return WaitResult::Timeout;
        }
        if (errno != EINTR) {
            return WaitResult::Error;
        }
    }
}

std::ptrdiff_t PosixNetIo::Receive(int receiveSocket, std::span<std::uint8_t> buffer) {
    if (receiveSocket < 0) {
        return -1;
    }
    iovec part{buffer.data(), buffer.size()};
    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t length;
    do {
        length = recvmsg(receiveSocket, &message, MSG_DONTWAIT);
    } while (length < 0 && errno == EINTR);
    if (length < 0 || (message.msg_flags & MSG_TRUNC) != 0) {
        return -1;
    }
    const auto it = receiveInterface_.find(receiveSocket);
    if (it != receiveInterface_.end() && it->second != 0) {
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
             header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
                in_pktinfo info;
                std::memcpy(&info, CMSG_DATA(header), sizeof info);
                if (static_cast<unsigned>(info.ipi_ifindex) != it->second) {
                    return -1;  // arrived through another interface
                }
            }
        }
    }
    return length;
}

void PosixNetIo::Sleep(std::chrono::microseconds duration) {
    std::this_thread::sleep_for(duration);
}

std::chrono::microseconds PosixNetIo::Now() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}
