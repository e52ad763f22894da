#include "platform/services/windows_version.h"

#include <gtest/gtest.h>

#include "platform/services/win_codes.h"

using namespace ostrel::platform;

namespace {

std::string NameOf(std::uint32_t platform, std::uint32_t major, std::uint32_t minor,
                   std::uint32_t build) {
    FakeVersionSource source(platform, major, minor, build);
    std::string name;
    EXPECT_EQ(GetWindowsVersionName(name, source), 1);
    return name;
}

constexpr std::uint32_t k9x = VER_PLATFORM_WIN32_WINDOWS;
constexpr std::uint32_t kNt = VER_PLATFORM_WIN32_NT;

}  // namespace

TEST(WindowsVersion, NamesEveryRowOfTheTable) {
    EXPECT_EQ(NameOf(k9x, 4, 0, 950), "Windows 95");
    EXPECT_EQ(NameOf(k9x, 4, 0, 951), "Windows 95 SP1");
    EXPECT_EQ(NameOf(k9x, 4, 3, 1080), "Windows 95 SP1");
    EXPECT_EQ(NameOf(k9x, 4, 9, 1081), "Windows 95 OSR2");
    EXPECT_EQ(NameOf(k9x, 4, 10, 1998), "Windows 98");
    EXPECT_EQ(NameOf(k9x, 4, 10, 1999), "Windows 98 SP1");
    EXPECT_EQ(NameOf(k9x, 4, 10, 2182), "Windows 98 SP1");
    EXPECT_EQ(NameOf(k9x, 4, 10, 2183), "Windows 98 SE");
    EXPECT_EQ(NameOf(k9x, 4, 90, 3000), "Windows ME");
    EXPECT_EQ(NameOf(kNt, 3, 51, 1057), "Windows NT 3.51");
    EXPECT_EQ(NameOf(kNt, 4, 0, 1381), "Windows NT 4");
    EXPECT_EQ(NameOf(kNt, 5, 0, 2195), "Windows 2000");
    EXPECT_EQ(NameOf(kNt, 5, 1, 2600), "Windows XP");
    EXPECT_EQ(NameOf(kNt, 6, 0, 6000), "Vista");
    EXPECT_EQ(NameOf(kNt, 6, 1, 7601), "Vista");  // Windows 7
    EXPECT_EQ(NameOf(VER_PLATFORM_WIN32_CE, 7, 3, 1), "Windows CE");
}

TEST(WindowsVersion, GapsOfTheTableStayUnknown) {
    EXPECT_EQ(NameOf(k9x, 4, 0, 949), kUnknownWindowsVersion);
    EXPECT_EQ(NameOf(k9x, 4, 10, 1997), kUnknownWindowsVersion);
    EXPECT_EQ(NameOf(k9x, 4, 20, 2222), kUnknownWindowsVersion);
    EXPECT_EQ(NameOf(k9x, 3, 0, 950), kUnknownWindowsVersion);
    EXPECT_EQ(NameOf(kNt, 5, 2, 3790), kUnknownWindowsVersion);  // Server 2003
    EXPECT_EQ(NameOf(kNt, 10, 0, 19045), kUnknownWindowsVersion);
    EXPECT_EQ(NameOf(VER_PLATFORM_WIN32s, 3, 10, 0), kUnknownWindowsVersion);
    // Only the low 16 bits of the build count on 9x systems.
    EXPECT_EQ(NameOf(k9x, 4, 10, 0x04000000u | 2222), "Windows 98 SE");
    EXPECT_EQ(NameOf(k9x, 4, 0, 0x0A000000u | 950), "Windows 95");
}

TEST(WindowsVersion, RefusedRequestGivesZeroAndUnknown) {
    FakeVersionSource source(kNt, 5, 1, 2600);
    source.refuse = true;
    std::string name = "left over";
    EXPECT_EQ(GetWindowsVersionName(name, source), 0);
    EXPECT_EQ(name, kUnknownWindowsVersion);
}

TEST(WindowsVersion, ThisSystemAnswersAsAnUnmanifestedProgramSees) {
    CurrentWindowsVersion source;
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = kOsVersionInfoSize;
    ASSERT_TRUE(source.GetVersionExA(info));
    EXPECT_EQ(info.dwPlatformId, kNt);
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(info.dwMinorVersion, 2u);

    std::string name;
    EXPECT_EQ(GetWindowsVersionName(name, source), 1);
    EXPECT_EQ(name, "Vista");
    // The callers' substring tests: not NT mode, the Vista retry, no 9x login.
    EXPECT_EQ(name.find("NT"), std::string::npos);
    EXPECT_EQ(name.find("ME"), std::string::npos);

    OSVERSIONINFOA wrongSize;
    wrongSize.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(source.GetVersionExA(wrongSize));
}
