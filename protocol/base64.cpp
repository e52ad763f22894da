#include "protocol/base64.h"

#include <cstdint>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::size_t Base64Encode(std::string_view text, std::span<char> output) {
    const std::size_t length = Base64Length(text.size());
    if (output.size() < length + 1) {
        return 0;
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size(); i += 3) {
        const std::size_t left = text.size() - i;
        std::uint32_t group = static_cast<std::uint8_t>(text[i]) << 16;
        if (left > 1) {
            group |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[i + 1])) << 8;
        }
        if (left > 2) {
            group |= static_cast<std::uint8_t>(text[i + 2]);
        }
        output[out++] = kAlphabet[(group >> 18) & 0x3F];
        output[out++] = kAlphabet[(group >> 12) & 0x3F];
        output[out++] = left > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=';
        output[out++] = left > 2 ? kAlphabet[group & 0x3F] : '=';
    }
    output[out] = '\0';
    return out;
}
