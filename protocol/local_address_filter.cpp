#include "protocol/local_address_filter.h"

#include "protocol/local_addresses.h"
#include "protocol/printable_text.h"

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

std::string AddressOnInterface(const LocalAddressVerdict& verdict) {
    return verdict.address +
           (verdict.interfaceName.empty() ? "" : " (" + PrintableText(verdict.interfaceName) + ")");
}

std::string_view LeftOutText(LeftOutReason reason) {
    switch (reason) {
        case LeftOutReason::Loopback:
            return "loopback";
        case LeftOutReason::Down:
            return "interface down";
        case LeftOutReason::NoCarrier:
            return "no carrier";
        case LeftOutReason::NotMulticast:
            return "not multicast-capable";
        case LeftOutReason::OverLimit:
            return "over the limit of 8";
    }
    return "left out";
}
static_assert(kMaxLocalAddresses == 8, "LeftOutText names the limit");

std::string FormatLocalAddressesText(const std::vector<LocalAddressVerdict>& verdicts) {
    std::string out;
    for (const LocalAddressVerdict& verdict : verdicts) {
        if (verdict.leftOut) {
            out += "left out " + AddressOnInterface(verdict) + ": " +
                   std::string(LeftOutText(*verdict.leftOut)) + '\n';
        } else {
            out += "searched " + AddressOnInterface(verdict) + '\n';
        }
    }
    return out;
}
