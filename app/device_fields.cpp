#include "app/device_fields.h"

#include <QString>
#include <cstring>

#include <arpa/inet.h>

std::string FixedFieldText(const char* field, std::size_t size) {
    if (field == nullptr) {
        return {};
    }
    const void* zero = std::memchr(field, 0, size);
    std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : size;
    return std::string(field, length);
}

AddressOctets AddressFieldOctets(std::string_view text) {
    // inet_addr wants a terminated text; a text with an embedded zero ends there.
    std::string terminated(text);
    in_addr_t address = ::inet_addr(terminated.c_str());
    AddressOctets octets{};
    std::memcpy(octets.data(), &address, octets.size());  // network order = reading order
    return octets;
}

std::optional<AddressOctets> GatewayFieldOctets(std::string_view text) {
    std::string terminated(text);
    if (terminated.c_str()[0] == '\0') {
        return std::nullopt;
    }
    AddressOctets octets = AddressFieldOctets(terminated.c_str());
    if (octets == AddressOctets{}) {
        return std::nullopt;
    }
    return octets;
}

std::string DisplayVolumeName(std::span<const char> field) {
    std::string raw = FixedFieldText(field.data(), field.size());
    QByteArray local = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size())).toUtf8();
    std::size_t length = static_cast<std::size_t>(local.size());
    if (length > kVolumeNameBytes) {
        length = kVolumeNameBytes;
        // Step back over continuation bytes so no character is split.
        while (length > 0 && (static_cast<unsigned char>(local[length]) & 0xC0u) == 0x80u) {
            --length;
        }
    }
    return std::string(local.constData(), length);
}
