#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/services/file_service.h"
#include "platform/services/http_probe.h"
#include "platform/services/program_launcher.h"
#include "platform/services/run_process.h"
#include "platform/services/smb_network_drives.h"
#include "platform/services/win_codes.h"
#include "test_support.h"
#include "tests/lab/lab_support.h"

// The platform services against the lab's recorders: their SMB shares
// (smbd, one per recorder) and their HTTP consoles.
using namespace ostrel::platform;

namespace {

#define REQUIRE_SMB_RECORDER()                                                          \
    if (lab::CurrentLab() == nullptr) {                                                 \
        GTEST_SKIP() << "network lab unavailable: " << lab::LabUnavailableReason();     \
    }                                                                                   \
    const lab::Recorder* found = nullptr;                                               \
    for (const auto& candidate : lab::CurrentLab()->recorders) {                        \
        if (candidate.smb && !candidate.volumes.empty() && candidate.role == "plain") { \
            found = &candidate;                                                         \
            break;                                                                      \
        }                                                                               \
    }                                                                                   \
    if (found == nullptr) {                                                             \
        GTEST_SKIP() << "the lab has no recorder with SMB shares";                      \
    }                                                                                   \
    const lab::Recorder& recorder = *found

std::string ThisProgram() {
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

SmbNetworkDrives::Options OptionsIn(const TempHome& home) {
    SmbNetworkDrives::Options options;
    options.tableFile = home.path() + "/config/ostrel-nvr/network-drives";
    options.desktop.bookmarksFile = home.path() + "/config/gtk-3.0/bookmarks";
    options.desktop.useGvfs = false;
    return options;
}

std::string Share(const lab::Recorder& recorder) {
    return "\\\\" + recorder.ip + "\\" + recorder.volumes.front();
}

NetResource Disk(const std::string& local, const std::string& remote) {
    return NetResource{RESOURCETYPE_DISK, local, remote};
}

class AnsweringPrompt final : public CredentialPrompt {
public:
    std::optional<PromptedCredentials> AskCredentials(const std::string& remoteName,
                                                      const std::string& userName) override {
        asked.push_back(remoteName + " as " + userName);
        return answer;
    }
    std::optional<PromptedCredentials> answer;
    std::vector<std::string> asked;
};

}  // namespace

TEST(PlatformLab, ConnectingChecksTheCredentialsEveryTime) {
    REQUIRE_SMB_RECORDER();
    TempHome home;
    SmbNetworkDrives drives(OptionsIn(home));
    const std::string share = Share(recorder);
    const char* user = recorder.user.c_str();
    const char* password = recorder.password.c_str();

    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", share), "wrong", user, CONNECT_UPDATE_PROFILE),
              ERROR_LOGON_FAILURE);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", share), password, "nobody-here",
                                         CONNECT_UPDATE_PROFILE),
              ERROR_LOGON_FAILURE);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", "\\\\" + recorder.ip + "\\NoSuchVolume"),
                                         password, user, CONNECT_UPDATE_PROFILE),
              ERROR_BAD_NET_NAME);
    std::string remote;
    EXPECT_EQ(drives.WNetGetConnectionA("Z:", remote), ERROR_NOT_CONNECTED);

    ASSERT_EQ(drives.WNetAddConnection2A(Disk("Z:", share), password, user, CONNECT_UPDATE_PROFILE),
              NO_ERROR);
    EXPECT_EQ(drives.WNetGetConnectionA("Z:", remote), NO_ERROR);
    EXPECT_EQ(remote, share);
    EXPECT_EQ(drives.GetDriveTypeA("Z:"), DRIVE_REMOTE);
    std::string connectedAs;
    EXPECT_EQ(drives.WNetGetUserA("Z:", connectedAs), NO_ERROR);
    EXPECT_EQ(connectedAs, recorder.user);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", share), password, user, 0),
              ERROR_ALREADY_ASSIGNED);

    // The session of Z: must not let a wrong password through for Y:.
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Y:", share), "wrong", user, CONNECT_UPDATE_PROFILE),
              ERROR_LOGON_FAILURE);
    // The default credentials are those that connected this server before.
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Y:", share), "", "", 0), NO_ERROR);
    EXPECT_EQ(drives.WNetCancelConnection2A("Y:", 0, true), NO_ERROR);

    // A desktop file manager lists the letter among its places.
    EXPECT_NE(home.Read("config/gtk-3.0/bookmarks")
                  .find("smb://" + recorder.ip + "/" + recorder.volumes.front() + " Z: "),
              std::string::npos);

    // It survives this process: a new one reads it from the user's table.
    const auto printed =
        lab::RunProcess({ThisProgram(), "--print-connection", OptionsIn(home).tableFile, "Z:"});
    EXPECT_EQ(printed.out, "0 " + share + "\n") << printed.err;

    EXPECT_EQ(drives.WNetCancelConnection2A("Z:", CONNECT_UPDATE_PROFILE, true), NO_ERROR);
    EXPECT_EQ(drives.WNetGetConnectionA("Z:", remote), ERROR_NOT_CONNECTED);
    EXPECT_EQ(drives.WNetCancelConnection2A("Z:", CONNECT_UPDATE_PROFILE, true),
              ERROR_NOT_CONNECTED);
    EXPECT_EQ(home.Read("config/gtk-3.0/bookmarks"), "");
    const auto after =
        lab::RunProcess({ThisProgram(), "--print-connection", OptionsIn(home).tableFile, "Z:"});
    EXPECT_EQ(after.out, std::to_string(ERROR_NOT_CONNECTED) + " \n");
}

TEST(PlatformLab, InteractiveConnectionAsksOnceWhenRefused) {
    REQUIRE_SMB_RECORDER();
    TempHome home;
    AnsweringPrompt prompt;
    auto options = OptionsIn(home);
    options.prompt = &prompt;
    SmbNetworkDrives drives(options);
    const std::string share = Share(recorder);
    const std::uint32_t interactive = CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE;

    EXPECT_EQ(drives.WNetAddConnection2A(Disk("X:", share), "", "", interactive), ERROR_CANCELLED);
    prompt.answer = PromptedCredentials{recorder.user, "wrong"};
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("X:", share), "", "", interactive),
              ERROR_LOGON_FAILURE);
    prompt.answer = PromptedCredentials{recorder.user, recorder.password};
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("X:", share), "", "", interactive), NO_ERROR);
    EXPECT_EQ(prompt.asked.size(), 3u);
    EXPECT_EQ(prompt.asked.front().rfind(share, 0), 0u) << prompt.asked.front();
    // Connected now: the next attempt needs no prompt.
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("W:", share), "", "", interactive), NO_ERROR);
    EXPECT_EQ(prompt.asked.size(), 3u);
    EXPECT_EQ(drives.WNetCancelConnection2A("W:", CONNECT_UPDATE_PROFILE, false), NO_ERROR);
    EXPECT_EQ(drives.WNetCancelConnection2A("X:", CONNECT_UPDATE_PROFILE, false), NO_ERROR);
}

TEST(PlatformLab, UnreachableServerIsRefusedInBoundedTime) {
    REQUIRE_SMB_RECORDER();
    TempHome home;
    SmbNetworkDrives drives(OptionsIn(home));
    // An address on the recorder's subnet where nothing lives.
    const std::string absent = recorder.ip.substr(0, recorder.ip.rfind('.')) + ".250";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("V:", "\\\\" + absent + "\\Volume_1"),
                                         recorder.password.c_str(), recorder.user.c_str(),
                                         CONNECT_UPDATE_PROFILE),
              ERROR_BAD_NETPATH);
    // A loose bound: the attempt must not hang.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST(PlatformLab, FilesGoToTheShareThroughItsCredentials) {
    REQUIRE_SMB_RECORDER();
    TempHome home;
    auto driveOptions = OptionsIn(home);
    SmbNetworkDrives drives(driveOptions);
    PlatformFiles::Options fileOptions;
    fileOptions.cDriveFolder = home.path() + "/c-drive";
    fileOptions.sessions = drives.sessions();
    fileOptions.drives = &drives;
    PlatformFiles files(fileOptions);
    const std::string share = Share(recorder);
    const std::string folder = share + "\\platform-lab-" + std::to_string(getpid());

    // Nothing connected yet: the share refuses an anonymous write.
    EXPECT_NE(files.WriteFile(share + "\\anonymous.txt", "x"), NO_ERROR);

    // A connection without a letter only authenticates.
    NetResource any{RESOURCETYPE_ANY, "", share};
    ASSERT_EQ(drives.WNetAddConnection2A(any, recorder.password.c_str(), recorder.user.c_str(), 0),
              NO_ERROR);
    EXPECT_EQ(drives.GetDriveTypeA("Z:"), DRIVE_NO_ROOT_DIR);
    // Named by a file below the share, as the installers name it.
    NetResource file{RESOURCETYPE_ANY, "", share + "\\not-yet\\codepage.950"};
    EXPECT_EQ(drives.WNetAddConnection2A(file, "", "", 0), NO_ERROR);

    ASSERT_EQ(files.CreateDirectoryA(folder), NO_ERROR);
    EXPECT_EQ(files.CreateDirectoryA(folder + "\\"), ERROR_ALREADY_EXISTS);
    const std::string bytes("codepage\0\x01\x02 table", 18);
    ASSERT_EQ(files.WriteFile(folder + "\\codepage.950", bytes), NO_ERROR);
    EXPECT_TRUE(files.PathFileExistsA(folder + "\\codepage.950"));
    EXPECT_FALSE(files.PathFileExistsA(folder + "\\missing"));
    EXPECT_NE(files.WriteFile(folder + "\\..\\..\\escape", "x"), NO_ERROR);

    // Read it back with Samba's own client.
    home.Write("auth", "username = " + recorder.user + "\npassword = " + recorder.password + "\n",
               0600);
    const std::string name = folder.substr(share.size() + 1);
    const auto got = lab::RunProcess(
        {"smbclient", "//" + recorder.ip + "/" + recorder.volumes.front(), "-A",
         home.path() + "/auth", "-c", "get " + name + "/codepage.950 " + home.path() + "/got"});
    EXPECT_EQ(got.exitCode, 0) << got.out << got.err;
    EXPECT_EQ(home.Read("got"), bytes);

    // Staged on C:, then moved to the share as the add-on does.
    ASSERT_EQ(files.CreateDirectoryA("C:\\bt\\"), NO_ERROR);
    ASSERT_EQ(files.WriteFile("C:\\bt\\bt", ""), NO_ERROR);
    EXPECT_EQ(files.CopyFileA("C:\\bt\\bt", folder + "\\bt", true), NO_ERROR);
    EXPECT_EQ(files.CopyFileA("C:\\bt\\bt", folder + "\\bt", true), ERROR_FILE_EXISTS);
    EXPECT_EQ(files.CopyFileA("C:\\bt\\bt", folder + "\\codepage.950", true), ERROR_FILE_EXISTS);
    std::string readBack;
    EXPECT_EQ(files.ReadFile(folder + "\\codepage.950", readBack), NO_ERROR);
    EXPECT_EQ(readBack, bytes);

    EXPECT_EQ(files.RemoveDirectoryA(folder), ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(files.DeleteFileA(folder + "\\bt"), NO_ERROR);
    EXPECT_EQ(files.DeleteFileA(folder + "\\codepage.950"), NO_ERROR);
    EXPECT_EQ(files.RemoveDirectoryA(folder), NO_ERROR);
    EXPECT_FALSE(files.PathFileExistsA(folder));
    EXPECT_EQ(drives.WNetCancelConnection2A(share.c_str(), 0, false), NO_ERROR);
}

TEST(PlatformLab, ProbeFindsTheConsoleAndFailsFastOnAClosedPort) {
    REQUIRE_SMB_RECORDER();
    TcpHttpProbe probe;
    EXPECT_TRUE(probe.InternetCheckConnectionA(("http://" + recorder.ip).c_str(),
                                               FLAG_ICC_FORCE_CONNECTION, 0));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(probe.InternetCheckConnectionA(("http://" + recorder.ip + ":81/").c_str(),
                                                FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PlatformLab, ExplorerHandsTheConsoleUrlToTheOpener) {
    REQUIRE_SMB_RECORDER();
    TempHome home;
    // The stand-in opener records its arguments and fetches the page, as a
    // browser would.
    home.Write("bin/xdg-open",
               "#!/bin/bash\nprintf '%s\\n' \"$@\" > \"" + home.path() +
                   "/args\"\n"
                   "exec 3<>/dev/tcp/" +
                   recorder.ip +
                   "/80 && printf 'GET / HTTP/1.0\\r\\n\\r\\n' >&3 "
                   "&& cat <&3 > \"" +
                   home.path() + "/page.tmp\"\nmv \"" + home.path() + "/page.tmp\" \"" +
                   home.path() + "/page\"\n",
               0755);
    setenv("PATH", (home.path() + "/bin:/usr/bin:/bin").c_str(), 1);
    XdgProgramLauncher launcher;
    const std::string command = "explorer http://" + recorder.ip;
    EXPECT_GT(launcher.WinExec(command.c_str(), SW_HIDE), 31u);
    for (int i = 0; i < 500 && !home.Exists("page"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(home.Read("args"), "http://" + recorder.ip + "\n");
    EXPECT_NE(home.Read("page").find(recorder.name), std::string::npos);
}

TEST(PlatformLab, DesktopSessionMountsTheShareThroughGvfs) {
    REQUIRE_SMB_RECORDER();
    if (!ProgramOnPath("gio") || !ProgramOnPath("dbus-daemon")) {
        GTEST_SKIP() << "gio or dbus-daemon is not installed";
    }
    TempHome home;
    const std::string runtime = home.path() + "/run";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    // GVfs's SMB backend needs the system's settings schemas.
    setenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share", 1);
    // A desktop session of our own: a private session bus, on which GVfs starts.
    const auto bus = lab::RunProcess(
        {"dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"}, "", {},
        std::chrono::seconds(10));
    std::istringstream printed(bus.out);
    std::string address;
    long busPid = 0;
    printed >> address >> busPid;
    ASSERT_FALSE(address.empty()) << bus.err;
    ASSERT_GT(busPid, 0);
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);

    auto options = OptionsIn(home);
    options.desktop.useGvfs = true;
    SmbNetworkDrives drives(options);
    const std::string share = Share(recorder);
    EXPECT_EQ(drives.WNetAddConnection2A(Disk("Z:", share), recorder.password.c_str(),
                                         recorder.user.c_str(), CONNECT_UPDATE_PROFILE),
              NO_ERROR);
    const auto mounts = [] {
        const auto listed =
            lab::RunProcess({"gio", "mount", "-l"}, "", {}, std::chrono::seconds(20));
        return listed.out + listed.err;
    };
    std::string volume = recorder.volumes.front();
    for (auto& c : volume) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const std::string uri = "smb://" + recorder.ip + "/" + volume;
    EXPECT_NE(mounts().find(uri), std::string::npos) << mounts();
    EXPECT_EQ(drives.WNetCancelConnection2A("Z:", CONNECT_UPDATE_PROFILE, false), NO_ERROR);
    EXPECT_EQ(mounts().find(uri), std::string::npos);

    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    kill(static_cast<pid_t>(busPid), SIGTERM);
}
