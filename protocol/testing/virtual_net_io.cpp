#include "protocol/testing/virtual_net_io.h"

#include <algorithm>
#include <stdexcept>

VirtualPeer::~VirtualPeer() = default;

VirtualNetIo::VirtualNetIo() = default;
VirtualNetIo::~VirtualNetIo() = default;

int VirtualNetIo::AddInterface(const std::string& address) {
    interfaces_.push_back(Interface{address, {}, 0, 0, 0});
    return static_cast<int>(interfaces_.size()) - 1;
}

const std::string& VirtualNetIo::InterfaceAddress(int interfaceIndex) const {
    return interfaces_.at(static_cast<std::size_t>(interfaceIndex)).address;
}

void VirtualNetIo::Attach(VirtualPeer& peer, int interfaceIndex) {
    auto& peers = interfaces_.at(static_cast<std::size_t>(interfaceIndex)).peers;
    if (std::find(peers.begin(), peers.end(), &peer) == peers.end()) {
        peers.push_back(&peer);
    }
}

void VirtualNetIo::Detach(VirtualPeer& peer) {
    for (auto& interface : interfaces_) {
        std::erase(interface.peers, &peer);
    }
}

void VirtualNetIo::Deliver(int interfaceIndex, std::span<const std::uint8_t> bytes,
                           Duration delay) {
    DeliverAt(interfaceIndex, bytes, now_ + std::max(delay, Duration{0}));
}

void VirtualNetIo::DeliverAt(int interfaceIndex, std::span<const std::uint8_t> bytes,
                             Duration time) {
    if (interfaceIndex < 0 || interfaceIndex >= InterfaceCount()) {
        throw std::out_of_range("VirtualNetIo::DeliverAt: no such interface");
    }
    const Duration arrival = std::max(time, now_);
    const std::uint64_t order = nextOrder_++;
    for (auto& [handle, socket] : sockets_) {
        if (!socket.receive || socket.interfaceIndex != interfaceIndex) {
            continue;
        }
        Arrival item{arrival, order, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
        // Keep the queue sorted by arrival time, equal times in delivery order.
        auto at = std::upper_bound(
            socket.queue.begin(), socket.queue.end(), item, [](const Arrival& a, const Arrival& b) {
                return a.time != b.time ? a.time < b.time : a.order < b.order;
            });
        socket.queue.insert(at, std::move(item));
    }
}

std::size_t VirtualNetIo::PendingDatagrams(int interfaceIndex) const {
    std::size_t count = 0;
    for (const auto& [handle, socket] : sockets_) {
        if (socket.receive && socket.interfaceIndex == interfaceIndex) {
            count += socket.queue.size();
        }
    }
    return count;
}

void VirtualNetIo::FailWaits(int interfaceIndex, int count) {
    interfaces_.at(static_cast<std::size_t>(interfaceIndex)).failWaits = count;
}

void VirtualNetIo::FailSends(int interfaceIndex, int count) {
    interfaces_.at(static_cast<std::size_t>(interfaceIndex)).failSends = count;
}

void VirtualNetIo::FailReceives(int interfaceIndex, int count) {
    interfaces_.at(static_cast<std::size_t>(interfaceIndex)).failReceives = count;
}

void VirtualNetIo::Advance(Duration duration) {
    now_ += std::max(duration, Duration{0});
}

void VirtualNetIo::ClearLogs() {
    sent_.clear();
    waits_.clear();
    sleeps_.clear();
}

std::vector<std::string> VirtualNetIo::ListLocalAddresses() {
    std::vector<std::string> addresses;
    for (const auto& interface : interfaces_) {
        addresses.push_back(interface.address);
    }
    return addresses;
}

int VirtualNetIo::OpenSendSocket(const std::string& localAddress) {
    const int interfaceIndex = InterfaceOf(localAddress);
    if (interfaceIndex < 0) {
        return -1;
    }
    Socket socket;
    socket.interfaceIndex = interfaceIndex;
    const int handle = nextHandle_++;
    sockets_.emplace(handle, std::move(socket));
    return handle;
}

int VirtualNetIo::OpenReceiveSocket(const std::string& localAddress) {
    const int interfaceIndex = InterfaceOf(localAddress);
    if (interfaceIndex < 0) {
        return -1;
    }
    Socket socket;
    socket.receive = true;
    socket.interfaceIndex = interfaceIndex;
    const int handle = nextHandle_++;
    sockets_.emplace(handle, std::move(socket));
    return handle;
}

void VirtualNetIo::CloseSocket(int socket) {
    sockets_.erase(socket);
}

bool VirtualNetIo::SetMulticastInterface(int sendSocket, const std::string& localAddress) {
    Socket* socket = FindSocket(sendSocket);
    const int interfaceIndex = InterfaceOf(localAddress);
    if (socket == nullptr || socket->receive || interfaceIndex < 0) {
        return false;
    }
    socket->multicastInterface = interfaceIndex;
    return true;
}

bool VirtualNetIo::SendToGroup(int sendSocket, std::span<const std::uint8_t> bytes) {
    Socket* socket = FindSocket(sendSocket);
    if (socket == nullptr || socket->receive) {
        return false;
    }
    // Without an explicit multicast interface a send leaves through the
    // socket's own address.
    const int interfaceIndex =
        socket->multicastInterface >= 0 ? socket->multicastInterface : socket->interfaceIndex;
    Interface& interface = interfaces_[static_cast<std::size_t>(interfaceIndex)];
    if (TakeFault(interface.failSends)) {
        return false;
    }
    sent_.push_back(SentDatagram{now_, interfaceIndex, {bytes.begin(), bytes.end()}});
    // Peers may attach or detach others while answering: walk a copy.
    const std::vector<VirtualPeer*> peers = interface.peers;
    for (VirtualPeer* peer : peers) {
        peer->OnDatagram(interfaceIndex, bytes, *this);
    }
    return true;
}

NetIo::WaitResult VirtualNetIo::WaitReadable(int receiveSocket, Duration timeout) {
    Socket* socket = FindSocket(receiveSocket);
    const Duration start = now_;
    const int interfaceIndex = socket != nullptr ? socket->interfaceIndex : -1;
    WaitResult result;
    if (socket == nullptr || !socket->receive ||
        TakeFault(interfaces_[static_cast<std::size_t>(interfaceIndex)].failWaits)) {
        result = WaitResult::Error;
    } else if (!socket->queue.empty() && socket->queue.front().time <= now_ + timeout) {
        now_ = std::max(now_, socket->queue.front().time);
        result = WaitResult::Ready;
    } else {
        now_ += std::max(timeout, Duration{0});
        result = WaitResult::Timeout;
    }
    waits_.push_back(WaitRecord{start, interfaceIndex, timeout, result});
    return result;
}

std::ptrdiff_t VirtualNetIo::Receive(int receiveSocket, std::span<std::uint8_t> buffer) {
    Socket* socket = FindSocket(receiveSocket);
    if (socket == nullptr || !socket->receive || socket->queue.empty() ||
        socket->queue.front().time > now_) {
        return -1;
    }
    Arrival item = std::move(socket->queue.front());
    socket->queue.pop_front();
    if (TakeFault(interfaces_[static_cast<std::size_t>(socket->interfaceIndex)].failReceives)) {
        return -1;
    }
    if (item.bytes.size() > buffer.size()) {
        return -1;  // does not fit: lost, as a real receive reports it
    }
    std::copy(item.bytes.begin(), item.bytes.end(), buffer.begin());
    return static_cast<std::ptrdiff_t>(item.bytes.size());
}

void VirtualNetIo::Sleep(Duration duration) {
    sleeps_.push_back(SleepRecord{now_, duration});
    now_ += std::max(duration, Duration{0});
}

int VirtualNetIo::InterfaceOf(const std::string& address) const {
    for (std::size_t i = 0; i < interfaces_.size(); ++i) {
        if (interfaces_[i].address == address) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

VirtualNetIo::Socket* VirtualNetIo::FindSocket(int handle) {
    auto it = sockets_.find(handle);
    return it == sockets_.end() ? nullptr : &it->second;
}

bool VirtualNetIo::TakeFault(int& counter) {
    if (counter == 0) {
        return false;
    }
    if (counter > 0) {
        --counter;
    }
    return true;
}
