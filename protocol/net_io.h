#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "protocol/local_address_filter.h"
#include "protocol/no_qt.h"

// Every socket call and every wait of the protocol goes through a NetIo. The
// real one (PosixNetIo) uses UDP sockets and the steady clock; the test one
// (VirtualNetIo, protocol/testing) runs on a virtual clock with in-process
// recorders. Which one is active is program-wide, like the rest of the
// protocol state; it defaults to the real one.
//
// Sockets are plain integer handles, -1 meaning "none". A handle names either
// a send socket or a receive socket, both tied to one local IPv4 address.
class NetIo {
public:
    enum class WaitResult { Ready, Timeout, Error };

    virtual ~NetIo();

    // The local IPv4 addresses usable for the recorders' multicast group, as
    // dotted text, in the host's order. The caller keeps the first 8.
    virtual std::vector<std::string> ListLocalAddresses() = 0;
    // Every local IPv4 address with its interface, in the host's order, and
    // whether it is searched (one of ListLocalAddresses) or left out and why,
    // for a report to the user. By default: ListLocalAddresses, all searched,
    // without interface names.
    virtual std::vector<LocalAddressVerdict> DescribeLocalAddresses();

    // A UDP socket for sending to the group, with multicast loopback off.
    virtual int OpenSendSocket(const std::string& localAddress) = 0;
    // A UDP socket that receives the group's datagrams (port 24680) arriving
    // through the interface that owns localAddress, and no others.
    virtual int OpenReceiveSocket(const std::string& localAddress) = 0;
    virtual void CloseSocket(int socket) = 0;

    // Makes datagrams sent on the socket leave through localAddress's interface.
    virtual bool SetMulticastInterface(int sendSocket, const std::string& localAddress) = 0;
    // Sends one datagram to the group 224.0.0.10:24680.
    virtual bool SendToGroup(int sendSocket, std::span<const std::uint8_t> bytes) = 0;

    // Waits at most timeout for a datagram on the receive socket. An
    // interrupted wait is resumed for the time that is left.
    virtual WaitResult WaitReadable(int receiveSocket, std::chrono::microseconds timeout) = 0;
    // Takes one waiting datagram into buffer and returns its length, or -1
    // when nothing usable was received. A datagram longer than the buffer is
    // taken and reported as -1: a cut copy never passes for the datagram.
    // Never blocks.
    virtual std::ptrdiff_t Receive(int receiveSocket, std::span<std::uint8_t> buffer) = 0;

    // Pauses the calling thread.
    virtual void Sleep(std::chrono::microseconds duration) = 0;
    // Monotonic time since an arbitrary start.
    virtual std::chrono::microseconds Now() = 0;
};

// The NetIo the protocol uses. Never null.
NetIo& ActiveNetIo();
// Makes io the active NetIo; nullptr restores the real one. The caller keeps
// ownership and must keep io alive while it is active.
void SetActiveNetIo(NetIo* io);
