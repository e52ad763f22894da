#include "cli/static_check.h"

#include "cli/format.h"

namespace cli {

std::optional<Octets> ParseOctets(std::string_view text) {
    Octets octets{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < octets.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != '.') {
                return std::nullopt;
            }
            ++pos;
        }
        int value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + (text[pos] - '0');
            ++pos;
            if (++digits > 3) {
                return std::nullopt;
            }
        }
        if (digits == 0) {
            return std::nullopt;
        }
        octets[i] = value;
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return octets;
}

std::optional<std::string> TargetProblem(const StaticTexts& texts, const DeviceSummary& device,
                                         const std::vector<std::string>& localAddresses) {
    const std::string& address = texts.ip;
    for (const std::string& local : localAddresses) {
        if (local == address) {
            return "the address " + address + " is this computer's own";
        }
    }
    for (const std::string& port : device.portIps) {
        if (port == address && port != device.ip) {
            return "the address " + address + " is already used by another port of " +
                   PrintableText(device.name);
        }
    }
    const std::optional<Octets> ip = ParseOctets(texts.ip);
    const std::optional<Octets> mask = ParseOctets(texts.netmask);
    if (!ip || !mask) {
        return std::nullopt;
    }
    std::uint32_t ipBits = 0;
    std::uint32_t maskBits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        ipBits = ipBits << 8 | static_cast<std::uint32_t>((*ip)[i]);
        maskBits = maskBits << 8 | static_cast<std::uint32_t>((*mask)[i]);
    }
    const std::uint32_t host = ipBits & ~maskBits;
    // A /31 or /32 subnet has no network or broadcast address to avoid.
    if (~maskBits > 1 && (host == 0 || host == ~maskBits)) {
        return "the address " + address + " is the " + (host == 0 ? "network" : "broadcast") +
               " address of its subnet (netmask " + texts.netmask + ")";
    }
    return std::nullopt;
}

StaticCheck CheckStaticInput(const std::optional<std::string>& ip,
                             const std::optional<std::string>& netmask,
                             const std::optional<std::string>& gateway, FieldNaming naming) {
    StaticCheck result;
    StaticLanInput input;
    struct Field {
        const std::optional<std::string>& text;
        const char* name;
        Octets& octets;
        bool& blank;
    };
    const Field fields[] = {
        {ip, "ip", input.ip, input.ipBlank},
        {netmask, "netmask", input.netmask, input.netmaskBlank},
        {gateway, "gateway", input.gateway, input.gatewayBlank},
    };
    for (const Field& field : fields) {
        if (!field.text || field.text->empty()) {
            field.blank = true;
            continue;
        }
        const std::optional<Octets> octets = ParseOctets(*field.text);
        if (!octets) {
            const std::string where = naming == FieldNaming::Options
                                          ? std::string("for --") + field.name
                                          : std::string("in column ") + field.name;
            result.message = "invalid address \"" + PrintableText(*field.text) + "\" " + where +
                             " (expected four decimal octets such as 192.168.0.10)";
            return result;
        }
        field.octets = *octets;
    }
    const StaticLanCheck check = CheckStaticLanInput(input);
    if (check.fault) {
        result.message = std::string(check.fault->message);
        return result;
    }
    result.texts = StaticTexts{check.ipText, check.netmaskText, check.gatewayText};
    return result;
}

}  // namespace cli
