#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <span>
#include <vector>

#include "protocol/testing/virtual_net_io.h"
#include "sim/recorder.h"

// Puts model recorders on the protocol's virtual network (tests only): a
// recorder attached to one or more virtual interfaces answers what the
// protocol sends through them, on the interface it heard the request on.
namespace sim {

class VirtualRecorderPeer final : public VirtualPeer {
public:
    explicit VirtualRecorderPeer(RecorderState state);

    Recorder& recorder() { return recorder_; }
    const Recorder& recorder() const { return recorder_; }

    // Every handled request with the interface it came through, in order.
    struct Heard {
        int interfaceIndex = 0;
        std::chrono::microseconds time{0};
        std::uint16_t opcode = 0;
    };
    const std::vector<Heard>& heard() const { return heard_; }
    void ClearHeard() { heard_.clear(); }

    void OnDatagram(int interfaceIndex, std::span<const std::uint8_t> bytes,
                    VirtualNetIo& net) override;

private:
    Recorder recorder_;
    std::vector<Heard> heard_;
};

// Owns any number of recorders on one virtual network and detaches them when
// it goes. Recorders keep their address for the life of the set.
class VirtualRecorderSet {
public:
    explicit VirtualRecorderSet(VirtualNetIo& net) : net_(net) {}
    ~VirtualRecorderSet();
    VirtualRecorderSet(const VirtualRecorderSet&) = delete;
    VirtualRecorderSet& operator=(const VirtualRecorderSet&) = delete;

    VirtualRecorderPeer& Add(RecorderState state, std::initializer_list<int> interfaces);

private:
    VirtualNetIo& net_;
    std::deque<VirtualRecorderPeer> peers_;
};

}  // namespace sim
