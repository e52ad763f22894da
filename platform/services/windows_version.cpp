#include "platform/services/windows_version.h"

#include "platform/services/platform_services.h"
#include "platform/services/win_codes.h"

namespace ostrel::platform {

bool CurrentWindowsVersion::GetVersionExA(OSVERSIONINFOA& info) {
    if (info.dwOSVersionInfoSize != kOsVersionInfoSize) {
        return false;
    }
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    info.dwMajorVersion = 6;
    info.dwMinorVersion = 2;
    info.dwBuildNumber = 9200;
    info.szCSDVersion[0] = '\0';
    return true;
}

FakeVersionSource::FakeVersionSource(std::uint32_t platform, std::uint32_t major,
                                     std::uint32_t minor, std::uint32_t build)
    : platformId(platform), majorVersion(major), minorVersion(minor), buildNumber(build) {}

bool FakeVersionSource::GetVersionExA(OSVERSIONINFOA& info) {
    if (refuse || info.dwOSVersionInfoSize != kOsVersionInfoSize) {
        return false;
    }
    info.dwPlatformId = platformId;
    info.dwMajorVersion = majorVersion;
    info.dwMinorVersion = minorVersion;
    info.dwBuildNumber = buildNumber;
    return true;
}

namespace {

const char* Windows9xName(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    if (major != 4) {
        return nullptr;
    }
    if (minor < 10) {
        if (build == 950) {
            return "Windows 95";
        }
        if (build >= 951 && build <= 1080) {
            return "Windows 95 SP1";
        }
        if (build > 1080) {
            return "Windows 95 OSR2";
        }
        return nullptr;
    }
    if (minor == 10) {
        if (build == 1998) {
            return "Windows 98";
        }
        if (build >= 1999 && build <= 2182) {
            return "Windows 98 SP1";
        }
        if (build >= 2183) {
            return "Windows 98 SE";
        }
        return nullptr;
    }
    if (minor == 90) {
        return "Windows ME";
    }
    return nullptr;
}

const char* WindowsNtName(std::uint32_t major, std::uint32_t minor) {
    if (major == 3 && minor == 51) {
        return "Windows NT 3.51";
    }
    if (major == 4 && minor == 0) {
        return "Windows NT 4";
    }
    if (major == 5 && minor == 0) {
        return "Windows 2000";
    }
    if (major == 5 && minor == 1) {
        return "Windows XP";
    }
    if (major == 6) {
        return "Vista";
    }
    return nullptr;
}

}  // namespace

int GetWindowsVersionName(std::string& name, VersionSource& source) {
    name = kUnknownWindowsVersion;
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = kOsVersionInfoSize;
    if (!source.GetVersionExA(info)) {
        return 0;
    }
    const std::uint32_t build = info.dwBuildNumber & 0xFFFFu;
    const char* found = nullptr;
    switch (info.dwPlatformId) {
        case VER_PLATFORM_WIN32_WINDOWS:
            found = Windows9xName(info.dwMajorVersion, info.dwMinorVersion, build);
            break;
        case VER_PLATFORM_WIN32_NT:
            found = WindowsNtName(info.dwMajorVersion, info.dwMinorVersion);
            break;
        case VER_PLATFORM_WIN32_CE:
            found = "Windows CE";
            break;
        default:
            break;
    }
    if (found != nullptr) {
        name = found;
    }
    return 1;
}

int GetWindowsVersionName(std::string& name) {
    return GetWindowsVersionName(name, *SystemServices().version);
}

}  // namespace ostrel::platform
