#pragma once

#include <cstdint>
#include <string>

#include "platform/services/network_drives.h"

// Mapping a recorder volume to a drive letter and removing a mapping, without
// a window: the connection attempts and the texts that report them. The main
// window's Map Drive and Unmap and the command line's map and unmap use it.

inline constexpr const char* kSelectDeviceText = "Please select a device in the above section.";
inline constexpr const char* kMapFailedText = "Failed to map drive.";
inline constexpr const char* kMapSucceededText = "Successfully mapped drive.";
inline constexpr const char* kUnmapFailedText =
    "Unable to disconnect this drive.\nPlease select a drive to disconnect and verify that the "
    "drive is not being accessed.";
inline constexpr const char* kUnmapSucceededText = "Successfully unmapped drive.";

// Connection attempts the map command makes with the cached credentials on
// Windows NT.
inline constexpr int kNtMapAttempts = 6;

// What a map attempt knows besides the share: the system's name (an "NT"
// system tries the recorder's credentials only; a "Vista" one lets the system
// ask the user when the first attempt fails), the domain of the machine
// (empty when it has none), and the recorder's remembered credentials.
struct VolumeMapping {
    std::string localName;   // "Z:"
    std::string serverName;  // the recorder's address
    std::string volumeName;
    std::string osName;
    std::string domain;
    std::string user;
    std::string password;
};

// Ends whatever the letter was connected to (even when the new connection
// then fails), then connects \\server\volume to it with the window's sequence
// of attempts. The last attempt's result (NO_ERROR on success).
std::uint32_t MapVolume(ostrel::platform::NetworkDrives& drives, const VolumeMapping& mapping);

// Ends the letter's connection and removes it from the profile, open files
// or not. An empty or malformed name is refused by the system.
bool UnmapLetter(ostrel::platform::NetworkDrives& drives, const std::string& localName);
