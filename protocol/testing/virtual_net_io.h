#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "protocol/net_io.h"

class VirtualNetIo;

// An in-process stand-in for the devices on the network. Attached to one or
// more virtual interfaces, it is handed every datagram the protocol sends to
// the group through them, at the virtual time of the send, and answers by
// scheduling datagrams with VirtualNetIo::Deliver.
class VirtualPeer {
public:
    virtual ~VirtualPeer();
    virtual void OnDatagram(int interfaceIndex, std::span<const std::uint8_t> bytes,
                            VirtualNetIo& net) = 0;
};

// A NetIo on a virtual clock. Nothing ever blocks: Sleep and WaitReadable
// advance the clock at once (a wait only up to the arrival of the next
// datagram), so timing rules can be tested exactly and instantly.
//
// Interfaces are added with AddInterface; their order is the order of
// ListLocalAddresses, so interface index n is slot n of the protocol's
// LocalAddressTable. Datagrams the protocol sends go to the peers attached to
// the interface the send socket's multicast interface names; datagrams
// delivered to an interface reach every receive socket open on it at the time
// of delivery (a datagram with no receive socket open is lost, as on a real
// host). Every send, wait and sleep is logged with its virtual time.
class VirtualNetIo final : public NetIo {
public:
    using Duration = std::chrono::microseconds;

    struct SentDatagram {
        Duration time;
        int interfaceIndex;
        std::vector<std::uint8_t> bytes;
    };
    struct WaitRecord {
        Duration start;
        int interfaceIndex;
        Duration timeout;
        WaitResult result;
    };
    struct SleepRecord {
        Duration start;
        Duration duration;
    };

    VirtualNetIo();
    ~VirtualNetIo() override;
    VirtualNetIo(const VirtualNetIo&) = delete;
    VirtualNetIo& operator=(const VirtualNetIo&) = delete;

    // Adds an interface owning the dotted IPv4 address; returns its index.
    int AddInterface(const std::string& address);
    int InterfaceCount() const { return static_cast<int>(interfaces_.size()); }
    const std::string& InterfaceAddress(int interfaceIndex) const;

    // The peer hears the group's datagrams sent through the interface. The
    // caller keeps ownership; a peer may be attached to several interfaces.
    void Attach(VirtualPeer& peer, int interfaceIndex);
    void Detach(VirtualPeer& peer);

    // Schedules a datagram to arrive on the interface delay after now.
    void Deliver(int interfaceIndex, std::span<const std::uint8_t> bytes, Duration delay = {});
    // Schedules a datagram to arrive on the interface at an absolute virtual time
    // (a time already past arrives at once).
    void DeliverAt(int interfaceIndex, std::span<const std::uint8_t> bytes, Duration time);
    // Datagrams waiting or still to arrive on the receive sockets of the interface.
    std::size_t PendingDatagrams(int interfaceIndex) const;

    // Fault injection, per interface; count -1 means every following call.
    // A failed wait reports Error at once without moving the clock; a failed
    // send sends nothing and reports failure; a failed receive takes the
    // datagram and reports -1.
    void FailWaits(int interfaceIndex, int count);
    void FailSends(int interfaceIndex, int count);
    void FailReceives(int interfaceIndex, int count);

    // Moves the clock forward, as if the program had been busy elsewhere.
    void Advance(Duration duration);

    const std::vector<SentDatagram>& Sent() const { return sent_; }
    const std::vector<WaitRecord>& Waits() const { return waits_; }
    const std::vector<SleepRecord>& Sleeps() const { return sleeps_; }
    void ClearLogs();

    // NetIo
    std::vector<std::string> ListLocalAddresses() override;
    int OpenSendSocket(const std::string& localAddress) override;
    int OpenReceiveSocket(const std::string& localAddress) override;
    void CloseSocket(int socket) override;
    bool SetMulticastInterface(int sendSocket, const std::string& localAddress) override;
    bool SendToGroup(int sendSocket, std::span<const std::uint8_t> bytes) override;
    WaitResult WaitReadable(int receiveSocket, Duration timeout) override;
    std::ptrdiff_t Receive(int receiveSocket, std::span<std::uint8_t> buffer) override;
    void Sleep(Duration duration) override;
    Duration Now() override { return now_; }

private:
    struct Arrival {
        Duration time;
        std::uint64_t order;
        std::vector<std::uint8_t> bytes;
    };
    struct Socket {
        bool receive = false;
        int interfaceIndex = -1;      // the address it was opened on
        int multicastInterface = -1;  // send sockets: where sends go
        std::deque<Arrival> queue;    // receive sockets, by arrival time
    };
    struct Interface {
        std::string address;
        std::vector<VirtualPeer*> peers;
        int failWaits = 0;
        int failSends = 0;
        int failReceives = 0;
    };

    int InterfaceOf(const std::string& address) const;
    Socket* FindSocket(int handle);
    static bool TakeFault(int& counter);

    Duration now_{0};
    std::uint64_t nextOrder_ = 0;
    int nextHandle_ = 100;
    std::vector<Interface> interfaces_;
    std::map<int, Socket> sockets_;
    std::vector<SentDatagram> sent_;
    std::vector<WaitRecord> waits_;
    std::vector<SleepRecord> sleeps_;
};

// Makes a VirtualNetIo the active NetIo for the life of this object.
class ScopedActiveNetIo {
public:
    explicit ScopedActiveNetIo(NetIo& io) { SetActiveNetIo(&io); }
    ~ScopedActiveNetIo() { SetActiveNetIo(nullptr); }
    ScopedActiveNetIo(const ScopedActiveNetIo&) = delete;
    ScopedActiveNetIo& operator=(const ScopedActiveNetIo&) = delete;
};
