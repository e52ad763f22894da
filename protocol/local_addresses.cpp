#include "protocol/local_addresses.h"

#include "protocol/net_io.h"
#include "protocol/network.h"
#include "protocol/session_id.h"

std::vector<LocalAddressSlot> LocalAddressTable;

void EnumerateLocalAddresses() {
    // Slots still holding sockets are closed before they are forgotten.
    ShutdownNetwork();
    for (const auto& address : ActiveNetIo().ListLocalAddresses()) {
        if (LocalAddressTable.size() >= kMaxLocalAddresses) {
            break;
        }
        LocalAddressSlot slot;
        slot.address = address;
        LocalAddressTable.push_back(slot);
    }
    DrawSessionId();
}
