#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// How the recorder's texts reach the main window's fields.

using AddressOctets = std::array<std::uint8_t, 4>;

// A zero-terminated text held in a fixed-size field, ending at its first zero
// byte or at the end of the field, whichever comes first.
std::string FixedFieldText(const char* field, std::size_t size);

template <std::size_t N>
std::string FixedFieldText(const char (&field)[N]) {
    return FixedFieldText(field, N);
}

// The octets an address field shows for a dotted text, in reading order. The
// text is parsed the way the classic inet_addr does, so an empty or
// unparsable text gives 255.255.255.255.
AddressOctets AddressFieldOctets(std::string_view text);

// The gateway field shows nothing for an empty text or one that parses to
// 0.0.0.0, and the parsed address otherwise.
std::optional<AddressOctets> GatewayFieldOctets(std::string_view text);

// The largest text a volume row or share comparison holds, in bytes, not
// counting the terminator.
inline constexpr std::size_t kVolumeNameBytes = 255;

// A volume name as the recorder sent it (UTF-8, ending at its first zero byte
// within the field) converted to the user's locale encoding for display. On
// this platform that is UTF-8 itself: malformed sequences become U+FFFD and the
// result is cut, at a character boundary, to at most kVolumeNameBytes bytes.
std::string DisplayVolumeName(std::span<const char> field);
