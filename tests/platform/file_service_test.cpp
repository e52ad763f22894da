#include "platform/services/file_service.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/services/fake_network_drives.h"
#include "platform/services/win_codes.h"
#include "test_support.h"

using namespace ostrel::platform;

namespace {

PlatformFiles::Options OptionsIn(const TempHome& home, NetworkDrives* drives = nullptr) {
    PlatformFiles::Options options;
    options.cDriveFolder = home.path() + "/c-drive";
    options.drives = drives;
    return options;
}

}  // namespace

TEST(FileService, WindowsPathsLeadToTheShareOrTheCFolder) {
    TempHome home;
    FakeNetworkDrives drives;
    drives.Connect('Z', "\\\\10.0.0.5\\HDD_1");
    PlatformFiles files(OptionsIn(home, &drives));
    {
        const auto r = files.Resolve("C:\\ip.txt");
        ASSERT_EQ(r.kind, ResolvedPath::Kind::kLocal);
        EXPECT_EQ(r.localPath, home.path() + "/c-drive/ip.txt");
    }
    {
        const auto r = files.Resolve("c:\\bt\\");
        ASSERT_EQ(r.kind, ResolvedPath::Kind::kLocal);
        EXPECT_EQ(r.localPath, home.path() + "/c-drive/bt");
    }
    {
        // The add-on target mixes separators.
        const auto r = files.Resolve("\\\\10.0.0.5\\HDD_a\\Nas_Prog/BT\\bt");
        ASSERT_EQ(r.kind, ResolvedPath::Kind::kShare);
        EXPECT_EQ(r.share.host, "10.0.0.5");
        EXPECT_EQ(r.share.share, "HDD_a");
        EXPECT_EQ(r.share.components, (std::vector<std::string>{"Nas_Prog", "BT", "bt"}));
        EXPECT_EQ(r.share.SmbUrl(), "smb://10.0.0.5/HDD_a/Nas_Prog/BT/bt");
    }
    {
        const auto r = files.Resolve("Z:\\.codepages\\codepage.950");
        ASSERT_EQ(r.kind, ResolvedPath::Kind::kShare);
        EXPECT_EQ(r.share.Text(), "\\\\10.0.0.5\\HDD_1\\.codepages\\codepage.950");
    }
    {
        const auto r = files.Resolve("\\\\host\\my share\\100%.txt");
        EXPECT_EQ(r.share.SmbUrl(), "smb://host/my%20share/100%25.txt");
    }
    EXPECT_EQ(files.Resolve("Y:\\x").error, ERROR_PATH_NOT_FOUND);  // no connection
    EXPECT_EQ(files.Resolve("relative\\x").error, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(files.Resolve("\\\\hostonly").error, ERROR_BAD_NET_NAME);
}

TEST(FileService, DotDotNeverLeavesTheShareOrTheCFolder) {
    TempHome home;
    PlatformFiles files(OptionsIn(home));
    for (const char* path :
         {"C:\\..\\secret", "C:\\bt\\..\\..\\x", "c:/../x", "\\\\host\\share\\..\\other\\x",
          "\\\\host\\..\\x", "\\\\..\\share\\x", "\\\\host\\share\\a\\..", "C:\\a\x01"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(files.Resolve(path).kind, ResolvedPath::Kind::kInvalid);
        EXPECT_NE(files.WriteFile(path, "x"), NO_ERROR);
        EXPECT_FALSE(files.PathFileExistsA(path));
    }
    EXPECT_FALSE(home.Exists("secret"));
    // A name that only contains dots is a name.
    EXPECT_EQ(files.Resolve("C:\\..a").kind, ResolvedPath::Kind::kLocal);
    EXPECT_EQ(files.Resolve("C:\\.\\a").localPath, home.path() + "/c-drive/a");
}

TEST(FileService, LocalCDriveBehavesAsADisk) {
    TempHome home;
    PlatformFiles files(OptionsIn(home));

    // Writing creates or truncates.
    EXPECT_EQ(files.WriteFile("C:\\ip.txt", "10.201.1.11"), NO_ERROR);
    EXPECT_EQ(home.Read("c-drive/ip.txt"), "10.201.1.11");
    EXPECT_EQ(files.WriteFile("C:\\ip.txt", "1.2"), NO_ERROR);
    EXPECT_EQ(home.Read("c-drive/ip.txt"), "1.2");
    EXPECT_TRUE(files.PathFileExistsA("C:\\ip.txt"));

    // A folder must exist before files go into it.
    EXPECT_EQ(files.WriteFile("C:\\bt\\bt", ""), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(files.CreateDirectoryA("C:\\bt\\"), NO_ERROR);
    EXPECT_EQ(files.CreateDirectoryA("C:\\bt"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(files.WriteFile("C:\\bt\\bt", ""), NO_ERROR);
    EXPECT_TRUE(files.PathFileExistsA("C:\\bt\\bt"));

    // Copy refuses an existing target when asked to, else replaces it.
    EXPECT_EQ(files.CopyFileA("C:\\ip.txt", "C:\\bt\\bt", true), ERROR_FILE_EXISTS);
    EXPECT_EQ(home.Read("c-drive/bt/bt"), "");
    EXPECT_EQ(files.CopyFileA("C:\\ip.txt", "C:\\bt\\bt", false), NO_ERROR);
    EXPECT_EQ(home.Read("c-drive/bt/bt"), "1.2");
    EXPECT_EQ(files.CopyFileA("C:\\missing", "C:\\bt\\copy", true), ERROR_FILE_NOT_FOUND);

    // A non-empty folder stays; delete, then remove.
    EXPECT_EQ(files.RemoveDirectoryA("C:\\bt\\"), ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(files.DeleteFileA("C:\\bt\\bt"), NO_ERROR);
    EXPECT_EQ(files.DeleteFileA("C:\\bt\\bt"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(files.RemoveDirectoryA("C:\\bt\\"), NO_ERROR);
    EXPECT_FALSE(files.PathFileExistsA("C:\\bt"));
    EXPECT_EQ(files.RemoveDirectoryA("C:\\"), ERROR_ACCESS_DENIED);
}

TEST(FileService, LinksInTheCFolderAreNotFollowedByWrites) {
    TempHome home;
    PlatformFiles files(OptionsIn(home));
    home.Write("outside.txt", "keep");
    std::filesystem::create_directories(home.path() + "/c-drive");
    ASSERT_EQ(
        symlink((home.path() + "/outside.txt").c_str(), (home.path() + "/c-drive/ip.txt").c_str()),
        0);
    EXPECT_NE(files.WriteFile("C:\\ip.txt", "overwritten"), NO_ERROR);
    EXPECT_EQ(home.Read("outside.txt"), "keep");
}

TEST(FileService, FakeFilesCheckPathsAsTheRealOnes) {
    FakeFiles files;
    EXPECT_EQ(files.WriteFile("\\\\10.0.0.5\\HDD_a\\.codepages\\codepage.950", "abc"), NO_ERROR);
    EXPECT_TRUE(files.PathFileExistsA("\\\\10.0.0.5\\hdd_a/.CODEPAGES\\codepage.950"));
    EXPECT_EQ(files.WriteFile("\\\\10.0.0.5\\HDD_a\\..\\x", "abc"), ERROR_INVALID_NAME);
    EXPECT_EQ(files.WriteFile("C:\\bt\\bt", ""), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(files.CreateDirectoryA("C:\\bt\\"), NO_ERROR);
    EXPECT_EQ(files.WriteFile("C:\\bt\\bt", "x"), NO_ERROR);
    EXPECT_EQ(files.CopyFileA("C:\\bt\\bt", "\\\\h\\s\\bt", true), NO_ERROR);
    EXPECT_EQ(files.CopyFileA("C:\\bt\\bt", "\\\\h\\s\\bt", true), ERROR_FILE_EXISTS);
    EXPECT_EQ(files.RemoveDirectoryA("C:\\bt"), ERROR_DIR_NOT_EMPTY);
    files.failingPrefixes.insert("\\\\h\\s");
    EXPECT_EQ(files.WriteFile("\\\\h\\S\\other", "x"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(files.writes,
              (std::vector<std::string>{"\\\\10.0.0.5\\hdd_a\\.codepages\\codepage.950",
                                        "c:\\bt\\bt", "\\\\h\\s\\bt"}));
}
