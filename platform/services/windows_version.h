#pragma once

#include <cstdint>
#include <string>

// The Windows version the product believes it runs on, and the name it gives it.
namespace ostrel::platform {

// The fields of the version request the product reads.
struct OSVERSIONINFOA {
    std::uint32_t dwOSVersionInfoSize = 0;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};

// Size the product puts into dwOSVersionInfoSize, as the Windows structure has it.
inline constexpr std::uint32_t kOsVersionInfoSize = 148;

// Answers the version request.
class VersionSource {
public:
    virtual ~VersionSource() = default;
    // Fills the version fields; false when the request is refused (a size
    // field other than kOsVersionInfoSize is refused).
    virtual bool GetVersionExA(OSVERSIONINFOA& info) = 0;
};

// Answers as a current Windows answers a program without a compatibility
// manifest: platform NT, version 6.2, build 9200.
class CurrentWindowsVersion final : public VersionSource {
public:
    bool GetVersionExA(OSVERSIONINFOA& info) override;
};

// Answers with whatever a test sets, or refuses.
class FakeVersionSource final : public VersionSource {
public:
    FakeVersionSource(std::uint32_t platform, std::uint32_t major, std::uint32_t minor,
                      std::uint32_t build);
    bool GetVersionExA(OSVERSIONINFOA& info) override;

    bool refuse = false;
    std::uint32_t platformId;
    std::uint32_t majorVersion;
    std::uint32_t minorVersion;
    std::uint32_t buildNumber;
};

// The text set when no row of the version table matches or the request fails.
inline constexpr const char* kUnknownWindowsVersion = "unknown Windows version";

// Names the version the source reports ("Windows 98 SE", "Windows XP",
// "Vista", ...). Returns 1 when the source answered, 0 when it refused; the
// name is then "unknown Windows version".
int GetWindowsVersionName(std::string& name, VersionSource& source);

// The same against the program-wide version source.
int GetWindowsVersionName(std::string& name);

}  // namespace ostrel::platform
