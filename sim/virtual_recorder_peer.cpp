#include "sim/virtual_recorder_peer.h"

namespace sim {

VirtualRecorderPeer::VirtualRecorderPeer(RecorderState state) : recorder_(std::move(state)) {}

void VirtualRecorderPeer::OnDatagram(int interfaceIndex, std::span<const std::uint8_t> bytes,
                                     VirtualNetIo& net) {
    const std::size_t logged = recorder_.log().size();
    const auto replies = recorder_.Handle(bytes, net.Now());
    if (recorder_.log().size() > logged)
        heard_.push_back({interfaceIndex, net.Now(), recorder_.log().back().opcode});
    for (const auto& reply : replies)
        net.Deliver(interfaceIndex, reply.bytes, reply.delay);
}

VirtualRecorderSet::~VirtualRecorderSet() {
    for (auto& peer : peers_)
        net_.Detach(peer);
}

VirtualRecorderPeer& VirtualRecorderSet::Add(RecorderState state,
                                             std::initializer_list<int> interfaces) {
    auto& peer = peers_.emplace_back(std::move(state));
    for (const int index : interfaces)
        net_.Attach(peer, index);
    return peer;
}

}  // namespace sim
