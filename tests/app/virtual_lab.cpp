#include "tests/app/virtual_lab.h"

#include "protocol/globals.h"

VirtualLab::VirtualLab() : active_(counting_) {
    net_.AddInterface("192.168.10.2");
    net_.AddInterface("10.20.0.2");
    ResetProtocolGlobals();
    recorders_ = std::make_unique<sim::VirtualRecorderSet>(net_);
}

VirtualLab::~VirtualLab() {
    recorders_.reset();
    ResetProtocolGlobals();
}

sim::VirtualRecorderPeer& VirtualLab::Add(sim::RecorderState state,
                                          std::initializer_list<int> interfaces) {
    return recorders_->Add(std::move(state), interfaces);
}

int VirtualLab::CountHeard(const sim::VirtualRecorderPeer& peer, std::uint16_t opcode) {
    int count = 0;
    for (const auto& heard : peer.heard()) {
        count += heard.opcode == opcode ? 1 : 0;
    }
    return count;
}

sim::RecorderState MakeRecorder(int n, const std::string& name, const std::string& password) {
    sim::RecorderState state;
    state.name = name;
    state.deviceId = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, static_cast<std::uint8_t>(n)};
    state.model = n % 2 ? "KVR-620" : "KVR-610L";
    sim::LanPort port;
    port.ip = "192.168.10." + std::to_string(100 + n);
    port.netmask = "255.255.255.0";
    port.gateway = "192.168.10.1";
    port.dns1 = "192.168.10.1";
    state.lan = {port};
    state.adminUser = "admin";
    state.adminPassword = password;
    state.volumes = {"Volume_1", "Volume_2"};
    return state;
}

int CountingNetIo::OpenSendSocket(const std::string& address) {
    const int handle = net_.OpenSendSocket(address);
    if (handle >= 0) {
        ++opened;
        closes.try_emplace(handle, 0);
    }
    return handle;
}

int CountingNetIo::OpenReceiveSocket(const std::string& address) {
    const int handle = net_.OpenReceiveSocket(address);
    if (handle >= 0) {
        ++opened;
        closes.try_emplace(handle, 0);
    }
    return handle;
}

void CountingNetIo::CloseSocket(int socket) {
    ++closes[socket];
    net_.CloseSocket(socket);
}

bool CountingNetIo::EverySocketClosedOnce() const {
    if (static_cast<int>(closes.size()) != opened) {
        return false;
    }
    for (const auto& [handle, count] : closes) {
        if (count != 1) {
            return false;
        }
    }
    return true;
}
