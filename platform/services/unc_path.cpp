#include "platform/services/unc_path.h"

#include <cctype>

namespace ostrel::platform {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

std::optional<std::vector<std::string>> SplitPathComponents(std::string_view text) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        const std::string_view part = text.substr(start, end - start);
        for (const char c : part) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                return std::nullopt;
            }
        }
        if (part == "..") {
            return std::nullopt;
        }
        if (!part.empty() && part != ".") {
            components.emplace_back(part);
        }
        start = end + 1;
    }
    return components;
}

bool StartsAsUncPath(std::string_view text) {
    return text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1]);
}

std::optional<UncPath> ParseUncPath(std::string_view text) {
    if (!StartsAsUncPath(text)) {
        return std::nullopt;
    }
    auto components = SplitPathComponents(text.substr(2));
    if (!components || components->size() < 2) {
        return std::nullopt;
    }
    UncPath path;
    path.host = (*components)[0];
    path.share = (*components)[1];
    // A host name never holds a colon except in IPv6 literals, which SMB
    // names do not use; refusing it keeps "host:port" tricks out of URLs.
    if (path.host.find(':') != std::string::npos || path.host.find('@') != std::string::npos) {
        return std::nullopt;
    }
    path.components.assign(components->begin() + 2, components->end());
    return path;
}

std::string UncPath::Text() const {
    std::string text = "\\\\" + host + "\\" + share;
    for (const auto& component : components) {
        text += "\\" + component;
    }
    return text;
}

std::string PercentEncode(std::string_view text) {
    static const char* kHex = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 0x0F]);
        }
    }
    return encoded;
}

std::string UncPath::SmbUrl() const {
    std::string url = "smb://" + PercentEncode(host) + "/" + PercentEncode(share);
    for (const auto& component : components) {
        url += "/" + PercentEncode(component);
    }
    return url;
}

}  // namespace ostrel::platform
