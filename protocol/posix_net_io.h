#pragma once

#include <map>

#include "protocol/local_address_filter.h"
#include "protocol/net_io.h"
#include "protocol/no_qt.h"

// Receive buffer asked for on every receive socket (the system caps it).
inline constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

// The real NetIo: UDP sockets on the host's interfaces and the steady clock.
//
// Linux does not hand group datagrams to a socket bound to a unicast address,
// so a receive socket binds the protocol port on the wildcard address, joins
// the group on its interface only (with IP_MULTICAST_ALL off, so other joins
// on the host do not leak in), and drops every datagram whose IP_PKTINFO
// names another interface. It therefore receives the group's datagrams and
// those sent to the port of its own address, from its own interface only.
class PosixNetIo final : public NetIo {
public:
    // The addresses of interfaces up with carrier, not loopback and
    // multicast-capable, in the kernel's order, at most 8 (JudgeLocalAddresses).
    std::vector<std::string> ListLocalAddresses() override;
    std::vector<LocalAddressVerdict> DescribeLocalAddresses() override;
    int OpenSendSocket(const std::string& localAddress) override;
    int OpenReceiveSocket(const std::string& localAddress) override;
    void CloseSocket(int socket) override;
    bool SetMulticastInterface(int sendSocket, const std::string& localAddress) override;
    bool SendToGroup(int sendSocket, std::span<const std::uint8_t> bytes) override;
    WaitResult WaitReadable(int receiveSocket, std::chrono::microseconds timeout) override;
    std::ptrdiff_t Receive(int receiveSocket, std::span<std::uint8_t> buffer) override;
    void Sleep(std::chrono::microseconds duration) override;
    std::chrono::microseconds Now() override;

    // Every IPv4 address of every interface, as getifaddrs lists them.
    static std::vector<InterfaceAddressEntry> ReadInterfaceAddresses();

private:
    std::map<int, unsigned> receiveInterface_;  // receive socket -> interface index
};
