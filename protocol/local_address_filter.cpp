#include "protocol/local_address_filter.h"

std::vector<LocalAddressVerdict> JudgeLocalAddresses(std::span<const InterfaceAddressEntry> entries,
                                                     std::size_t maxCount) {
    std::vector<LocalAddressVerdict> verdicts;
    std::size_t searched = 0;
    for (const auto& entry : entries) {
        if (entry.address.empty()) {
            continue;
        }
        LocalAddressVerdict verdict{entry.interfaceName, entry.address, std::nullopt};
        if (entry.loopback) {
            verdict.leftOut = LeftOutReason::Loopback;
        } else if (!entry.up) {
            verdict.leftOut = LeftOutReason::Down;
        } else if (!entry.running) {
            verdict.leftOut = LeftOutReason::NoCarrier;
        } else if (!entry.multicast) {
            verdict.leftOut = LeftOutReason::NotMulticast;
        } else if (searched >= maxCount) {
            verdict.leftOut = LeftOutReason::OverLimit;
        } else {
            ++searched;
        }
        verdicts.push_back(std::move(verdict));
    }
    return verdicts;
}

std::vector<std::string> SearchedAddresses(std::span<const LocalAddressVerdict> verdicts) {
    std::vector<std::string> addresses;
    for (const auto& verdict : verdicts) {
        if (!verdict.leftOut) {
            addresses.push_back(verdict.address);
        }
    }
    return addresses;
}
