#pragma once

// The texts the add-on commands show, each written once here.
namespace ostrel::addons {

inline constexpr const char* kNoHardDrives =
    "No hard drives were detected.\nPlease verify that the hard drives are properly connected "
    "before continuing.";
inline constexpr const char* kFormatHardDrive = "Please format hard drive.";
inline constexpr const char* kUnicodeDevice = "This device supports Unicode.";
inline constexpr const char* kMultiLanguageUnsupported =
    "Multi-language options are not supported on this device.";
inline constexpr const char* kCodepageNeedsFirmware =
    "This codepage does not supported in this firmware.\nPlease download the latest firmware "
    "from the support link.";
inline constexpr const char* kCheckHardDrives = "Please check hard drives.";
inline constexpr const char* kSelectDevice = "Please select a device.";
inline constexpr const char* kBitTorrentUnsupported =
    "BitTorrent does not supported on this device now.";
inline constexpr const char* kSelectServer = "Please select a server.";
inline constexpr const char* kWidgetFileError = "Execute widget file error!";
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kWarningCaption = "Warning";

// The recorder's web console, opened for formatting its disk.
inline constexpr const char* kExplorerConsoleFormat = "explorer http://%s";

}  // namespace ostrel::addons
