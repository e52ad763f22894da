#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "protocol/testing/virtual_net_io.h"
#include "sim/virtual_recorder_peer.h"

// The virtual network as the protocol sees it, counting how often each socket
// is opened and closed.
class CountingNetIo final : public NetIo {
public:
    explicit CountingNetIo(VirtualNetIo& net) : net_(net) {}

    int opened = 0;
    std::map<int, int> closes;  // handle -> how often it was closed
    // Every socket opened was closed exactly once.
    bool EverySocketClosedOnce() const;

    std::vector<std::string> ListLocalAddresses() override { return net_.ListLocalAddresses(); }
    int OpenSendSocket(const std::string& address) override;
    int OpenReceiveSocket(const std::string& address) override;
    void CloseSocket(int socket) override;
    bool SetMulticastInterface(int socket, const std::string& address) override {
        return net_.SetMulticastInterface(socket, address);
    }
    bool SendToGroup(int socket, std::span<const std::uint8_t> bytes) override {
        return net_.SendToGroup(socket, bytes);
    }
    WaitResult WaitReadable(int socket, std::chrono::microseconds timeout) override {
        return net_.WaitReadable(socket, timeout);
    }
    std::ptrdiff_t Receive(int socket, std::span<std::uint8_t> buffer) override {
        return net_.Receive(socket, buffer);
    }
    void Sleep(std::chrono::microseconds duration) override { net_.Sleep(duration); }
    std::chrono::microseconds Now() override { return net_.Now(); }

private:
    VirtualNetIo& net_;
};

// A virtual network for the main window's tests: two local interfaces, model
// recorders attached to them, and the protocol's globals reset around it.
class VirtualLab {
public:
    VirtualLab();
    ~VirtualLab();
    VirtualLab(const VirtualLab&) = delete;
    VirtualLab& operator=(const VirtualLab&) = delete;

    VirtualNetIo& net() { return net_; }
    CountingNetIo& sockets() { return counting_; }
    sim::VirtualRecorderPeer& Add(sim::RecorderState state,
                                  std::initializer_list<int> interfaces = {0});

    // Requests of an opcode a recorder has heard.
    static int CountHeard(const sim::VirtualRecorderPeer& peer, std::uint16_t opcode);

private:
    VirtualNetIo net_;
    CountingNetIo counting_{net_};
    ScopedActiveNetIo active_;
    std::unique_ptr<sim::VirtualRecorderSet> recorders_;
};

// A supported recorder with one static port on 192.168.10.0/24, numbered n.
sim::RecorderState MakeRecorder(int n, const std::string& name, const std::string& password = "pw");
