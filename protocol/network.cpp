#include "protocol/network.h"

#include "protocol/local_addresses.h"
#include "protocol/net_io.h"

void InitNetwork() {
    ShutdownNetwork();
    EnumerateLocalAddresses();
    NetIo& io = ActiveNetIo();
    for (auto& slot : LocalAddressTable) {
        slot.sendSocket = io.OpenSendSocket(slot.address.str());
    }
    for (auto& slot : LocalAddressTable) {
        slot.receiveSocket = io.OpenReceiveSocket(slot.address.str());
    }
}

void ShutdownNetwork() {
    NetIo& io = ActiveNetIo();
    for (auto& slot : LocalAddressTable) {
        if (slot.sendSocket >= 0) {
            io.CloseSocket(slot.sendSocket);
        }
        if (slot.receiveSocket >= 0) {
            io.CloseSocket(slot.receiveSocket);
        }
        slot.sendSocket = -1;
        slot.receiveSocket = -1;
    }
    LocalAddressTable.clear();
}
