#pragma once

// What the map and unmap commands of the main window tell the user.
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
