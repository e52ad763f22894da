#include "cli/format.h"

#include "cli/json_text.h"
#include "protocol/device_key.h"
#include "protocol/ipv4_text.h"
#include "protocol/local_addresses.h"

namespace cli {
namespace {

std::string Dump(const nlohmann::ordered_json& value) {
    return JsonText(value, 2);
}

nlohmann::ordered_json DevicesJson(const std::vector<DeviceSummary>& devices) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const DeviceSummary& device : devices) {
        array.push_back({
            {"name", device.name},
            {"id", DeviceKey(device.id)},
            {"model", device.model},
            {"ip", device.ip},
            {"ip_valid", IsDottedDecimalIpv4(device.ip)},
            {"netmask", device.netmask},
            {"gateway", device.gateway},
            {"dhcp", device.dhcp},
            {"interface", device.interfaceAddress},
        });
    }
    return array;
}

// "10.201.1.1 (nic-a)", or the address alone when the interface is unnamed.
std::string AddressOn(const LocalAddressVerdict& verdict) {
    return verdict.address +
           (verdict.interfaceName.empty() ? "" : " (" + PrintableText(verdict.interfaceName) + ")");
}

}  // namespace

namespace {

// The length of the well-formed UTF-8 sequence at the start of text, 0 when
// there is none (ASCII included).
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) ||
        (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F)) {
        return 0;
    }
    return length;
}

// C1 controls written as UTF-8 (U+0080 to U+009F), and the characters that
// turn the direction of the text around (U+061C, U+200E, U+200F, U+202A to
// U+202E, U+2066 to U+2069), with which a name could show as another.
bool IsControlSequence(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
    if (sequence.size() == 2) {
        return (byte(0) == 0xC2 && byte(1) <= 0x9F) || (byte(0) == 0xD8 && byte(1) == 0x9C);
    }
    if (sequence.size() == 3 && byte(0) == 0xE2) {
        return (byte(1) == 0x80 && (byte(2) == 0x8E || byte(2) == 0x8F)) ||
               (byte(1) == 0x80 && byte(2) >= 0xAA && byte(2) <= 0xAE) ||
               (byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9);
    }
    return false;
}

}  // namespace

std::string PrintableText(std::string_view text) {
    // C0 controls, DEL and the C1 controls (a lone byte 0x80-0x9F, or U+0080 to
    // U+009F in UTF-8) would reach the terminal as commands; each becomes '?'.
    // Other bytes, UTF-8 or a legacy code page, are kept.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length > 0) {
            const std::string_view sequence = text.substr(i, length);
            out += IsControlSequence(sequence) ? std::string_view("?") : sequence;
            i += length;
            continue;
        }
        // A byte that starts no UTF-8 sequence is shown as "?", as JSON
        // shows it as U+FFFD: a terminal would take it as anything.
        const auto byte = static_cast<unsigned char>(text[i]);
        out += byte < 0x20 || byte >= 0x7F ? '?' : text[i];
        ++i;
    }
    return out;
}

std::string AddressText(std::string_view ip) {
    return PrintableText(ip) + (IsDottedDecimalIpv4(ip) ? "" : " (invalid)");
}

std::string FormatSearchText(const std::vector<DeviceSummary>& devices) {
    std::string out;
    for (const DeviceSummary& device : devices) {
        out += PrintableText(device.name) + '\t' + DeviceKey(device.id) + '\t' +
               PrintableText(device.model) + '\t' + AddressText(device.ip) + '\t' +
               PrintableText(device.netmask) + '\t' + PrintableText(device.gateway) + '\t' +
               (device.dhcp ? "dhcp" : "static") + '\t' + device.interfaceAddress + '\n';
    }
    return out;
}

std::string FormatSearchJson(const std::vector<DeviceSummary>& devices) {
    return Dump(DevicesJson(devices));
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
            out += "left out " + AddressOn(verdict) + ": " +
                   std::string(LeftOutText(*verdict.leftOut)) + '\n';
        } else {
            out += "searched " + AddressOn(verdict) + '\n';
        }
    }
    return out;
}

std::string FormatSearchJson(const std::vector<DeviceSummary>& devices,
                             const std::vector<LocalAddressVerdict>& verdicts) {
    nlohmann::ordered_json searched = nlohmann::ordered_json::array();
    nlohmann::ordered_json leftOut = nlohmann::ordered_json::array();
    for (const LocalAddressVerdict& verdict : verdicts) {
        nlohmann::ordered_json entry = {{"interface", verdict.interfaceName},
                                        {"address", verdict.address}};
        if (verdict.leftOut) {
            entry["reason"] = LeftOutText(*verdict.leftOut);
            leftOut.push_back(std::move(entry));
        } else {
            searched.push_back(std::move(entry));
        }
    }
    nlohmann::ordered_json object = {
        {"recorders", DevicesJson(devices)}, {"searched", searched}, {"left_out", leftOut}};
    return Dump(object);
}

std::string OverLimitText(const std::vector<LocalAddressVerdict>& verdicts) {
    std::string list;
    for (const LocalAddressVerdict& verdict : verdicts) {
        if (verdict.leftOut == LeftOutReason::OverLimit) {
            list += (list.empty() ? "" : ", ") + AddressOn(verdict);
        }
    }
    if (list.empty()) {
        return {};
    }
    return "searched the first " + std::to_string(kMaxLocalAddresses) +
           " local addresses only; left out: " + list;
}

std::string FormatVolumesText(const std::vector<std::string>& volumes) {
    std::string out;
    for (const std::string& volume : volumes) {
        out += PrintableText(volume) + '\n';
    }
    return out;
}

std::string FormatVolumesJson(const std::vector<std::string>& volumes) {
    return Dump(nlohmann::ordered_json(volumes));
}

std::string FormatIdentityText(std::string_view name, std::string_view shortText,
                               std::string_view longText) {
    return "name: " + PrintableText(name) + "\nshort: " + PrintableText(shortText) +
           "\nlong: " + PrintableText(longText) + "\n";
}

}  // namespace cli
