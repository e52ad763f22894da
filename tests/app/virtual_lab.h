#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "protocol/testing/virtual_net_io.h"
#include "sim/virtual_recorder_peer.h"

// A virtual network for the main window's tests: two local interfaces, model
// recorders attached to them, and the protocol's globals reset around it.
class VirtualLab {
public:
    VirtualLab();
    ~VirtualLab();
    VirtualLab(const VirtualLab&) = delete;
    VirtualLab& operator=(const VirtualLab&) = delete;

    VirtualNetIo& net() { return net_; }
    sim::VirtualRecorderPeer& Add(sim::RecorderState state, std::initializer_list<int> interfaces = {0});

    // Requests of an opcode a recorder has heard.
    static int CountHeard(const sim::VirtualRecorderPeer& peer, std::uint16_t opcode);

private:
    VirtualNetIo net_;
    ScopedActiveNetIo active_;
    std::unique_ptr<sim::VirtualRecorderSet> recorders_;
};

// A supported recorder with one static port on 192.168.10.0/24, numbered n.
sim::RecorderState MakeRecorder(int n, const std::string& name, const std::string& password = "pw");
