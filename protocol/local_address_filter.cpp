#include "protocol/local_address_filter.h"

std::vector<std::string> SelectMulticastAddresses(std::span<const InterfaceAddressEntry> entries,
                                                  std::size_t maxCount) {
    std::vector<std::string> addresses;
    for (const auto& entry : entries) {
        if (addresses.size() >= maxCount) {
            break;
        }
        if (entry.up && !entry.loopback && entry.multicast && !entry.address.empty()) {
            addresses.push_back(entry.address);
        }
    }
    return addresses;
}
