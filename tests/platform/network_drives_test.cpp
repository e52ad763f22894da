#include <cerrno>
#include <filesystem>

#include <sys/file.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/services/connection_table.h"
#include "platform/services/desktop_places.h"
#include "platform/services/fake_network_drives.h"
#include "platform/services/smb_network_drives.h"
#include "platform/services/tcp_connect.h"
#include "platform/services/win_codes.h"
#include "test_support.h"

using namespace ostrel::platform;

namespace {

SmbNetworkDrives::Options OptionsIn(const TempHome& home) {
    SmbNetworkDrives::Options options;
    options.tableFile = home.path() + "/config/ostrel-nvr/network-drives";
    options.desktop.bookmarksFile = home.path() + "/config/gtk-3.0/bookmarks";
    options.desktop.addedFile = home.path() + "/config/ostrel-nvr/bookmarks-added";
    options.desktop.useGvfs = false;
    options.limits.reach = std::chrono::milliseconds(1500);
    return options;
}

NetResource Disk(const std::string& local, const std::string& remote) {
    return NetResource{RESOURCETYPE_DISK, local, remote};
}

}  // namespace

TEST(NetworkDrives, RefusesNamesBeforeTouchingTheNetwork) {
    TempHome home;
    SmbNetworkDrives drives(OptionsIn(home));
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z", "\\\\h\\s"), "", "", 0), ERROR_BAD_DEVICE);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("ZZ:", "\\\\h\\s"), "", "", 0), ERROR_BAD_DEVICE);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("1:", "\\\\h\\s"), "", "", 0), ERROR_BAD_DEVICE);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "h\\s"), "", "", 0), ERROR_NO_NET_OR_BAD_PATH);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "\\\\hostonly"), "", "", 0),
              ERROR_BAD_NET_NAME);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "\\\\h\\s\\..\\t"), "", "", 0),
              ERROR_BAD_NET_NAME);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "\\\\h:445\\s"), "", "", 0),
              ERROR_BAD_NET_NAME);
    // C: is the local disk that C: paths go to.
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("c:", "\\\\h\\s"), "", "", 0),
              ERROR_ALREADY_ASSIGNED);
    EXPECT_FALSE(home.Exists("config/ostrel-nvr/network-drives"));
}

TEST(NetworkDrives, UnreachableServerIsABadNetworkPath) {
    if (TryTcpConnect("127.0.0.1", 445, std::chrono::milliseconds(500)) ==
        TcpConnectOutcome::kAccepted) {
        GTEST_SKIP() << "an SMB server listens on this machine's loopback address";
    }
    TempHome home;
    SmbNetworkDrives drives(OptionsIn(home));
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "\\\\127.0.0.1\\HDD_1"), "pw", "admin",
                                         CONNECT_UPDATE_PROFILE),
              ERROR_BAD_NETPATH);
    std::string remote;
    EXPECT_EQ(drives.WNetGetConnectionA("Z:", remote), ERROR_NOT_CONNECTED);
}

TEST(NetworkDrives, ProfileConnectionsAreSharedThroughTheUsersTable) {
    TempHome home;
    const auto options = OptionsIn(home);
    // Another instance of the program made a persistent connection.
    ConnectionTable(options.tableFile).Put('Y', {"\\\\10.201.1.11\\Volume_1", "admin"});
    SmbNetworkDrives drives(options);

    std::string remote;
    EXPECT_EQ(drives.WNetGetConnectionA("y:", remote), NO_ERROR);
    EXPECT_EQ(remote, "\\\\10.201.1.11\\Volume_1");
    std::string user;
    EXPECT_EQ(drives.WNetGetUserA("Y:", user), NO_ERROR);
    EXPECT_EQ(user, "admin");
    EXPECT_EQ(drives.GetDriveTypeA("Y:"), DRIVE_REMOTE);
    EXPECT_EQ(drives.GetDriveTypeA("Y:\\"), DRIVE_REMOTE);
    EXPECT_EQ(drives.GetDriveTypeA("X:"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(drives.GetDriveTypeA("C:\\"), DRIVE_FIXED);
    EXPECT_EQ(drives.GetDriveTypeA("nonsense"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(drives.WNetGetConnectionA("X:", remote), ERROR_NOT_CONNECTED);
    EXPECT_EQ(drives.WNetGetConnectionA("X", remote), ERROR_BAD_DEVICE);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Y:", "\\\\10.201.1.11\\Volume_2"), "", "", 0),
              ERROR_ALREADY_ASSIGNED);

    // Ending it for this run only keeps it in the profile for the next start.
    EXPECT_EQ(drives.WNetCancelConnection2A("Y:", 0, false), NO_ERROR);
    EXPECT_EQ(drives.WNetGetConnectionA("Y:", remote), ERROR_NOT_CONNECTED);
    EXPECT_EQ(SmbNetworkDrives(options).WNetGetConnectionA("Y:", remote), NO_ERROR);

    // With the profile flag it is gone for everyone, and a second cancel fails.
    SmbNetworkDrives next(options);
    EXPECT_EQ(next.WNetCancelConnection2A("Y:", CONNECT_UPDATE_PROFILE, true), NO_ERROR);
    EXPECT_EQ(SmbNetworkDrives(options).WNetGetConnectionA("Y:", remote), ERROR_NOT_CONNECTED);
    EXPECT_EQ(next.WNetCancelConnection2A("Y:", CONNECT_UPDATE_PROFILE, true), ERROR_NOT_CONNECTED);
    EXPECT_EQ(next.WNetCancelConnection2A("", CONNECT_UPDATE_PROFILE, true), ERROR_NOT_CONNECTED);
}

TEST(NetworkDrives, TableKeepsTheLinesItDoesNotUnderstandByteForByte) {
    TempHome home;
    const std::string path = home.path() + "/config/ostrel-nvr/network-drives";
    // Connections among lines the table cannot read: no user field, spaces
    // for tabs, a second line for Z, a lower-case letter, binary bytes, a
    // name that is no UNC name, a line with CRLF, and a last line cut short.
    const std::string before =
        "# comment\n"
        "Z:\t\\\\a\\b\tuser\n"
        "Y:\t\\\\n\\o\n"
        "V: \\\\s\\p user\n"
        "Z:\t\\\\dup\\z\tother\n"
        "u:\t\\\\l\\c\tu\n"
        "T:\t\\\\b\x01n\\x\tu\n"
        "Q:\tnot-unc\tu\n"
        "X:\t\\\\c\\d\\deeper\tDOM\\me\r\n"
        "S:\t\\\\cut";
    home.Write("config/ostrel-nvr/network-drives", before);
    ConnectionTable table(path);
    const auto loaded = table.Load();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded.at('Z').remoteName, "\\\\a\\b");  // the first line of a letter counts
    EXPECT_EQ(loaded.at('X').remoteName, "\\\\c\\d\\deeper");
    EXPECT_EQ(loaded.at('X').userName, "DOM\\me");  // no '\r' from the CRLF
    const auto unread = table.UnreadLines();
    ASSERT_EQ(unread.size(), 7u);
    EXPECT_EQ(unread[0].number, 3);
    EXPECT_EQ(unread[0].text, "Y:\t\\\\n\\o");
    EXPECT_EQ(unread[6].number, 10);
    EXPECT_EQ(unread[6].text, "S:\t\\\\cut");

    // Changes touch only their own lines; a new one comes last, after the
    // cut line gets its line end.
    EXPECT_EQ(table.Put('X', {"\\\\c\\e", "me"}), TableChange::kDone);
    EXPECT_EQ(table.Remove('Z'), TableChange::kDone);
    // The second Z line, kept, now stands for the letter.
    EXPECT_EQ(table.Find('Z')->remoteName, "\\\\dup\\z");
    EXPECT_EQ(table.Put('W', {"\\\\e\\f", "DOM\\u"}), TableChange::kDone);
    EXPECT_EQ(table.Put('V', {"\\\\e\\f\nZ:\t\\\\evil\\x", "u"}),
              TableChange::kNotWritten);  // no line injection
    std::string expected = before;
    expected.replace(expected.find("Z:\t\\\\a\\b\tuser\n"), 14, "");
    expected.replace(expected.find("X:\t\\\\c\\d\\deeper\tDOM\\me"), 22, "X:\t\\\\c\\e\tme");
    expected += "\nW:\t\\\\e\\f\tDOM\\u\n";
    EXPECT_EQ(home.Read("config/ostrel-nvr/network-drives"), expected);
    EXPECT_EQ(table.UnreadLines().size(), 6u);
}

TEST(NetworkDrives, TheTableIsWrittenForTheUserAlone) {
    TempHome home;
    const std::string folder = home.path() + "/config/ostrel-nvr";
    const std::string path = folder + "/network-drives";
    const auto modeOf = [](const std::string& file) {
        struct stat info {};
        EXPECT_EQ(lstat(file.c_str(), &info), 0) << file;
        return info.st_mode & 07777;
    };
    // A table and folder others may read are made private by the next write.
    home.Write("config/ostrel-nvr/network-drives", "Z:\t\\\\a\\b\tuser\n", 0644);
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(ConnectionTable(path).Put('Y', {"\\\\c\\d", "u"}), TableChange::kDone);
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(modeOf(folder), 0700u);
    // A symbolic link to a readable file is replaced by a private file; the
    // file it pointed to stays as it was.
    home.Write("elsewhere", "Z:\t\\\\a\\b\tuser\n", 0644);
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(symlink((home.path() + "/elsewhere").c_str(), path.c_str()), 0);
    EXPECT_EQ(ConnectionTable(path).Remove('Z'), TableChange::kDone);
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_TRUE(S_ISREG([&] {
        struct stat info {};
        lstat(path.c_str(), &info);
        return info.st_mode;
    }()));
    EXPECT_EQ(home.Read("elsewhere"), "Z:\t\\\\a\\b\tuser\n");
    EXPECT_EQ(modeOf(home.path() + "/elsewhere"), 0644u);
}

TEST(NetworkDrives, AHeldTableLockEndsTheWaitAsInUse) {
    TempHome home;
    auto options = OptionsIn(home);
    options.tableLockWait = std::chrono::milliseconds(100);
    ConnectionTable table(options.tableFile, options.tableLockWait);
    ASSERT_EQ(table.Put('Y', {"\\\\10.201.1.11\\Volume_1", "admin"}), TableChange::kDone);
    // Another program holds the table's lock and does not let go.
    const int holder = open((options.tableFile + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    EXPECT_EQ(table.Put('X', {"\\\\10.201.1.12\\Volume_1", "admin"}), TableChange::kInUse);
    EXPECT_EQ(table.Remove('Y'), TableChange::kInUse);
    SmbNetworkDrives drives(options);
    EXPECT_EQ(drives.WNetCancelConnection2A("Y:", CONNECT_UPDATE_PROFILE, true), ERROR_BUSY);
    close(holder);
    EXPECT_EQ(table.Find('Y')->remoteName, "\\\\10.201.1.11\\Volume_1");
    EXPECT_EQ(table.Remove('Y'), TableChange::kDone);
    EXPECT_EQ(table.Remove('Y'), TableChange::kNotThere);
}

TEST(NetworkDrives, BookmarksAreAddedAndRemovedWithoutTouchingOtherLines) {
    TempHome home;
    DesktopPlaces::Options options;
    options.bookmarksFile = home.path() + "/bookmarks";
    options.addedFile = home.path() + "/added";
    options.useGvfs = false;
    const DesktopPlaces places(options);
    const UncPath volume{"10.201.1.11", "Volume 1", {}};
    EXPECT_EQ(DesktopPlaces::BookmarkLine('Z', volume), "smb://10.201.1.11/Volume%201 Z: Volume 1");

    // No file yet: it is made.
    EXPECT_TRUE(places.AddBookmark('Z', volume));
    EXPECT_EQ(home.Read("bookmarks"), "smb://10.201.1.11/Volume%201 Z: Volume 1\n");
    EXPECT_TRUE(places.RemoveBookmark('Z', volume));
    EXPECT_EQ(home.Read("bookmarks"), "");

    // The user's own lines stay, in order; adding twice keeps one line.
    home.Write("bookmarks", "file:///home/u/Music\nsmb://nas/x Z: mine\nfile:///tmp tmp", 0640);
    EXPECT_TRUE(places.AddBookmark('Z', volume));
    EXPECT_TRUE(places.AddBookmark('Z', volume));
    const UncPath other{"10.201.2.31", "Archive", {"sub"}};
    EXPECT_TRUE(places.AddBookmark('Y', other));
    EXPECT_EQ(home.Read("bookmarks"),
              "file:///home/u/Music\nsmb://nas/x Z: mine\nfile:///tmp tmp\n"
              "smb://10.201.1.11/Volume%201 Z: Volume 1\n"
              "smb://10.201.2.31/Archive/sub Y: Archive/sub\n");
    EXPECT_TRUE(places.RemoveBookmark('Z', volume));
    EXPECT_TRUE(places.RemoveBookmark('Z', volume));
    EXPECT_EQ(home.Read("bookmarks"),
              "file:///home/u/Music\nsmb://nas/x Z: mine\nfile:///tmp tmp\n"
              "smb://10.201.2.31/Archive/sub Y: Archive/sub\n");
    // Its permissions survive the replacement.
    EXPECT_EQ(std::filesystem::status(home.path() + "/bookmarks").permissions(),
              std::filesystem::perms(0640));
    EXPECT_FALSE(places.GvfsAvailable());
}

TEST(NetworkDrives, AUsersOwnBookmarkIdenticalToTheProgramsIsKept) {
    TempHome home;
    DesktopPlaces::Options options;
    options.bookmarksFile = home.path() + "/bookmarks";
    options.addedFile = home.path() + "/added";
    options.useGvfs = false;
    const DesktopPlaces places(options);
    const UncPath volume{"10.201.1.11", "Volume 1", {}};
    const std::string line = DesktopPlaces::BookmarkLine('Z', volume) + "\n";

    // The user wrote the very line the program would: a map adds nothing, an
    // unmap takes nothing away.
    home.Write("bookmarks", "file:///home/u/Music\n" + line, 0640);
    EXPECT_TRUE(places.AddBookmark('Z', volume));
    EXPECT_TRUE(places.RemoveBookmark('Z', volume));
    EXPECT_EQ(home.Read("bookmarks"), "file:///home/u/Music\n" + line);

    // A line the program added goes at the unmap, even after the user copied
    // it: one copy stays.
    home.Write("bookmarks", "file:///home/u/Music\n", 0640);
    EXPECT_TRUE(places.AddBookmark('Z', volume));
    home.Write("bookmarks", home.Read("bookmarks") + line, 0640);
    EXPECT_TRUE(places.RemoveBookmark('Z', volume));
    EXPECT_EQ(home.Read("bookmarks"), "file:///home/u/Music\n" + line);
    EXPECT_TRUE(places.RemoveBookmark('Z', volume));
    EXPECT_EQ(home.Read("bookmarks"), "file:///home/u/Music\n" + line) << "the record was spent";
    // The record is the program's own, private file.
    EXPECT_EQ(std::filesystem::status(home.path() + "/added").permissions(),
              std::filesystem::perms(0600));
}

TEST(NetworkDrives, LibraryErrorsBecomeTheWindowsCodes) {
    EXPECT_EQ(ConnectionErrorFromErrno(0), NO_ERROR);
    EXPECT_EQ(ConnectionErrorFromErrno(EACCES), ERROR_LOGON_FAILURE);
    EXPECT_EQ(ConnectionErrorFromErrno(EPERM), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ConnectionErrorFromErrno(ENOENT), ERROR_BAD_NET_NAME);
    EXPECT_EQ(ConnectionErrorFromErrno(ENODEV), ERROR_BAD_NET_NAME);
    EXPECT_EQ(ConnectionErrorFromErrno(EHOSTUNREACH), ERROR_BAD_NETPATH);
    EXPECT_EQ(ConnectionErrorFromErrno(ETIMEDOUT), ERROR_BAD_NETPATH);
    EXPECT_EQ(ConnectionErrorFromErrno(ECONNREFUSED), ERROR_BAD_NETPATH);
    EXPECT_EQ(ConnectionErrorFromErrno(EIO), ERROR_UNEXP_NET_ERR);
    EXPECT_EQ(FileErrorFromErrno(ENOENT), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FileErrorFromErrno(EEXIST), ERROR_FILE_EXISTS);
    EXPECT_EQ(FileErrorFromErrno(ENOSPC), ERROR_DISK_FULL);
    EXPECT_EQ(FileErrorFromErrno(EACCES), ERROR_ACCESS_DENIED);
    EXPECT_EQ(FileErrorFromErrno(EHOSTUNREACH), ERROR_BAD_NETPATH);
}

TEST(NetworkDrives, FakeChecksCredentialsAndRecordsCalls) {
    FakeNetworkDrives drives;
    drives.AddShare("\\\\10.0.0.5\\HDD_1", "admin", "pw");
    drives.SetLocalDrive('D', DRIVE_CDROM);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "\\\\10.0.0.5\\hdd_1"), "bad", "admin",
                                         CONNECT_UPDATE_PROFILE),
              ERROR_LOGON_FAILURE);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "\\\\10.0.0.5\\HDD_1"), "", "", 9),
              ERROR_CANCELLED);
    drives.interactiveAnswer = PromptedCredentials{"admin", "pw"};
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "\\\\10.0.0.5\\HDD_1"), "", "", 9), NO_ERROR);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("D:", "\\\\10.0.0.5\\HDD_1"), "pw", "admin", 1),
              ERROR_ALREADY_ASSIGNED);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Y:", "\\\\10.0.0.5\\nope"), "pw", "admin", 1),
              ERROR_BAD_NET_NAME);
    EXPECT_EQ(drives.GetDriveTypeA("Z:"), DRIVE_REMOTE);
    EXPECT_EQ(drives.GetDriveTypeA("D:"), DRIVE_CDROM);
    drives.scriptedAddResults = {ERROR_BAD_NETPATH};
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("X:", "\\\\10.0.0.5\\HDD_1"), "pw", "admin", 1),
              ERROR_BAD_NETPATH);
    ASSERT_EQ(drives.addCalls.size(), 6u);
    EXPECT_EQ(drives.addCalls[1].userName, std::string());
    EXPECT_EQ(drives.addCalls[1].flags, 9u);
    EXPECT_EQ(drives.WNetCancelConnection2A("Z:", CONNECT_UPDATE_PROFILE, true), NO_ERROR);
    EXPECT_EQ(drives.GetDriveTypeA("Z:"), DRIVE_NO_ROOT_DIR);
    EXPECT_TRUE(drives.cancelCalls.back().force);
}
