#include "protocol/credential_block.h"

#include <algorithm>
#include <array>

#include "protocol/base64.h"
#include "protocol/packet_format.h"

namespace {

void WriteHalf(std::span<std::uint8_t> half, std::string_view text) {
    std::fill(half.begin(), half.end(), 0);
    // 48 characters encode to exactly 64, which fill the half with no zero after them.
    std::array<char, Base64Length(CredentialBlock::kTextLimit) + 1> encoded{};
    const std::size_t length = Base64Encode(text.substr(0, CredentialBlock::kTextLimit), encoded);
    std::copy_n(encoded.begin(), std::min(length, half.size()), half.begin());
}

}  // namespace

void WriteCredentialBlock(std::span<std::uint8_t> buffer, std::size_t position,
                          std::string_view user, std::string_view password) {
    if (position > buffer.size() || buffer.size() - position < CredentialBlock::kSize) {
        return;
    }
    auto block = buffer.subspan(position, CredentialBlock::kSize);
    WriteHalf(block.first(CredentialBlock::kHalfSize), user);
    WriteHalf(block.subspan(CredentialBlock::kHalfSize), password);
}
