#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The text form of a recorder's 8-byte device id, used as the key of the
// credential cache: "0x" and two upper-case hex digits per byte, the eight
// groups joined by "," (39 characters).
std::string DeviceKey(std::span<const std::uint8_t, 8> deviceId);

// Reads a key back into its bytes: hex numbers ("0x" allowed) separated by one
// character each, one byte per number, until a number cannot be read or eight
// bytes are filled. Bytes that were not read are zero. Returns how many bytes
// were read.
int ReadDeviceKey(std::string_view key, std::array<std::uint8_t, 8>& deviceId);
