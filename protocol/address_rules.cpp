#include "protocol/address_rules.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr std::string_view kOctetMessages[3][4] = {
    {"Invalid IP address in 1st digit. It should be 1-223.",
     "Invalid IP address in 2nd digit. It should be 0-255.",
     "Invalid IP address in 3rd digit. It should be 0-255.",
     "Invalid IP address in 4th digit. It should be 0-255."},
    {"Invalid subnet mask address in 1st digit. It should be 0-255.",
     "Invalid subnet mask address in 2nd digit. It should be 0-255.",
     "Invalid subnet mask address in 3rd digit. It should be 0-255.",
     "Invalid subnet mask address in 4th digit. It should be 0-255."},
    {"Invalid gateway IP address in 1st digit. It should be 1-223.",
     "Invalid gateway IP address in 2nd digit. It should be 0-255.",
     "Invalid gateway IP address in 3rd digit. It should be 0-255.",
     "Invalid gateway IP address in 4th digit. It should be 0-255."},
};

bool IsLinkLocal(const Octets& ip) {
    return ip[0] == 169 && ip[1] == 254;
}

}  // namespace

std::optional<AddressFault> ValidateAddressOctets(int kind, const Octets& octets, bool blank) {
    if (kind < 1 || kind > 3 || (kind == 3 && blank)) {
        return std::nullopt;
    }
    const auto field = static_cast<AddressField>(kind);
    const auto& messages = kOctetMessages[kind - 1];
    // The netmask's first octet may be 0 here; the contiguity rule refuses it later.
    const bool firstOctetBad = kind == 2 ? octets[0] > 255 : (octets[0] < 1 || octets[0] > 223);
    if (firstOctetBad) {
        return AddressFault{field, 0, AddressMessageKind::OctetRange, messages[0]};
    }
    for (int i = 1; i < 4; ++i) {
        if (octets[static_cast<std::size_t>(i)] > 255) {
            return AddressFault{field, i, AddressMessageKind::OctetRange,
                                messages[static_cast<std::size_t>(i)]};
        }
    }
    return std::nullopt;
}

bool IsContiguousNetmask(const Octets& mask) {
    if (mask[0] == 0) {
        return false;
    }
    bool seenZero = false;
    for (int octet : mask) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool one = ((octet >> bit) & 1) != 0;
            if (one && seenZero) {
                return false;
            }
            seenZero = seenZero || !one;
        }
    }
    return true;
}

bool IsBadGatewayCombination(const Octets& ip, const Octets& mask, const Octets& gateway) {
    if (IsLinkLocal(ip)) {
        return false;
    }
    bool isNetwork = true;
    bool isBroadcast = true;
    bool outside = false;
    for (std::size_t k = 0; k < 4; ++k) {
        isNetwork = isNetwork && gateway[k] == (ip[k] & mask[k]);
        isBroadcast = isBroadcast && gateway[k] == (ip[k] | (255 - mask[k]));
        outside = outside || (ip[k] & mask[k]) != (gateway[k] & mask[k]);
    }
    return isNetwork || isBroadcast || outside;
}

std::string FormatDottedAddress(const Octets& octets) {
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", octets[0], octets[1], octets[2], octets[3]);
    return text;
}

StaticLanCheck CheckStaticLanInput(const StaticLanInput& input) {
    StaticLanCheck check;
    auto fail = [&](AddressFault fault) {
        check.fault = fault;
        return check;
    };
    if (input.ipBlank) {
        return fail({AddressField::Ip, -1, AddressMessageKind::Warning, kMessageNoIp});
    }
    if (input.netmaskBlank) {
        return fail({AddressField::Netmask, -1, AddressMessageKind::Warning, kMessageNoNetmask});
    }
    if (input.ip[0] == 127) {
        return fail({AddressField::Ip, -1, AddressMessageKind::Warning, kMessageLoopbackIp});
    }
    if (auto fault = ValidateAddressOctets(1, input.ip)) {
        return fail(*fault);
    }
    check.ipText = FormatDottedAddress(input.ip);
    if (auto fault = ValidateAddressOctets(2, input.netmask)) {
        return fail(*fault);
    }
    check.netmaskText = FormatDottedAddress(input.netmask);
    if (!IsLinkLocal(input.ip)) {
        if (auto fault = ValidateAddressOctets(3, input.gateway, input.gatewayBlank)) {
            return fail(*fault);
        }
    }
    if (!IsContiguousNetmask(input.netmask)) {
        return fail({AddressField::Netmask, -1, AddressMessageKind::Refused, kMessageBadNetmask});
    }
    if (IsBadGatewayCombination(input.ip, input.netmask, input.gateway)) {
        return fail(
            {AddressField::Gateway, -1, AddressMessageKind::Refused, kMessageBadCombination});
    }
    const bool gatewayZero = input.gateway[0] == 0 && input.gateway[1] == 0 &&
                             input.gateway[2] == 0 && input.gateway[3] == 0;
    check.gatewayText = gatewayZero ? std::string() : FormatDottedAddress(input.gateway);
    return check;
}
