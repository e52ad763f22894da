#include "protocol/net_io.h"

#include "protocol/posix_net_io.h"

NetIo::~NetIo() = default;

std::vector<LocalAddressVerdict> NetIo::DescribeLocalAddresses() {
    std::vector<LocalAddressVerdict> verdicts;
    for (auto& address : ListLocalAddresses()) {
        verdicts.push_back(LocalAddressVerdict{{}, std::move(address), std::nullopt});
    }
    return verdicts;
}

namespace {

NetIo* activeNetIo = nullptr;

NetIo& RealNetIo() {
    static PosixNetIo real;
    return real;
}

}  // namespace

NetIo& ActiveNetIo() {
    return activeNetIo != nullptr ? *activeNetIo : RealNetIo();
}

void SetActiveNetIo(NetIo* io) {
    activeNetIo = io;
}
