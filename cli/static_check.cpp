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

StaticCheck CheckStaticInput(const std::optional<std::string>& ip,
                             const std::optional<std::string>& netmask,
                             const std::optional<std::string>& gateway) {
    StaticCheck result;
    StaticLanInput input;
    struct Field {
        const std::optional<std::string>& text;
        const char* option;
        Octets& octets;
        bool& blank;
    };
    const Field fields[] = {
        {ip, "--ip", input.ip, input.ipBlank},
        {netmask, "--netmask", input.netmask, input.netmaskBlank},
        {gateway, "--gateway", input.gateway, input.gatewayBlank},
    };
    for (const Field& field : fields) {
        if (!field.text || field.text->empty()) {
            field.blank = true;
            continue;
        }
        const std::optional<Octets> octets = ParseOctets(*field.text);
        if (!octets) {
            result.message = "invalid address \"" + PrintableText(*field.text) + "\" for " +
                             field.option + " (expected four decimal octets such as 192.168.0.10)";
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
