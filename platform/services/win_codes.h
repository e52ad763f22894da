#pragma once

#include <cstdint>

// The numeric codes of the Windows services this layer stands in for. Callers
// compare results against these, so the values are the ones Windows uses.
namespace ostrel::platform {

// Results of the networking, file and registry calls (0 is success).
inline constexpr std::uint32_t NO_ERROR = 0;
inline constexpr std::uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr std::uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr std::uint32_t ERROR_BAD_FORMAT = 11;
inline constexpr std::uint32_t ERROR_WRITE_FAULT = 29;
inline constexpr std::uint32_t ERROR_READ_FAULT = 30;
inline constexpr std::uint32_t ERROR_BAD_NETPATH = 53;
inline constexpr std::uint32_t ERROR_NETWORK_BUSY = 54;
inline constexpr std::uint32_t ERROR_UNEXP_NET_ERR = 59;
inline constexpr std::uint32_t ERROR_BAD_NET_NAME = 67;
inline constexpr std::uint32_t ERROR_FILE_EXISTS = 80;
inline constexpr std::uint32_t ERROR_ALREADY_ASSIGNED = 85;
inline constexpr std::uint32_t ERROR_INVALID_PASSWORD = 86;
inline constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t ERROR_DISK_FULL = 112;
inline constexpr std::uint32_t ERROR_INVALID_NAME = 123;
inline constexpr std::uint32_t ERROR_DIR_NOT_EMPTY = 145;
inline constexpr std::uint32_t ERROR_ALREADY_EXISTS = 183;
inline constexpr std::uint32_t ERROR_BUSY = 170;
inline constexpr std::uint32_t ERROR_MORE_DATA = 234;
inline constexpr std::uint32_t ERROR_BAD_DEVICE = 1200;
inline constexpr std::uint32_t ERROR_NO_NET_OR_BAD_PATH = 1203;
inline constexpr std::uint32_t ERROR_BAD_PROFILE = 1206;
inline constexpr std::uint32_t ERROR_NO_NETWORK = 1222;
inline constexpr std::uint32_t ERROR_CANCELLED = 1223;
inline constexpr std::uint32_t ERROR_LOGON_FAILURE = 1326;
inline constexpr std::uint32_t ERROR_NOT_CONNECTED = 2250;
inline constexpr std::uint32_t ERROR_OPEN_FILES = 2401;

// Drive types.
inline constexpr std::uint32_t DRIVE_UNKNOWN = 0;
inline constexpr std::uint32_t DRIVE_NO_ROOT_DIR = 1;
inline constexpr std::uint32_t DRIVE_REMOVABLE = 2;
inline constexpr std::uint32_t DRIVE_FIXED = 3;
inline constexpr std::uint32_t DRIVE_REMOTE = 4;
inline constexpr std::uint32_t DRIVE_CDROM = 5;
inline constexpr std::uint32_t DRIVE_RAMDISK = 6;

// Network resources and connection flags.
inline constexpr std::uint32_t RESOURCETYPE_ANY = 0;
inline constexpr std::uint32_t RESOURCETYPE_DISK = 1;
inline constexpr std::uint32_t CONNECT_UPDATE_PROFILE = 0x1;
inline constexpr std::uint32_t CONNECT_TEMPORARY = 0x4;
inline constexpr std::uint32_t CONNECT_INTERACTIVE = 0x8;

// The reachability probe's flag.
inline constexpr std::uint32_t FLAG_ICC_FORCE_CONNECTION = 1;

// Show commands of program starts.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

// Registry roots: only the one the product reads is answered.
enum class RegistryRoot { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

// Platform ids of the version information.
inline constexpr std::uint32_t VER_PLATFORM_WIN32s = 0;
inline constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;
inline constexpr std::uint32_t VER_PLATFORM_WIN32_CE = 3;

}  // namespace ostrel::platform
