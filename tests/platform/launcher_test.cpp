#include <chrono>
#include <cstdlib>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/services/http_probe.h"
#include "platform/services/program_launcher.h"
#include "platform/services/registry.h"
#include "platform/services/run_process.h"
#include "platform/services/win_codes.h"
#include "test_support.h"

using namespace ostrel::platform;

namespace {

// Puts a stand-in opener on PATH that writes its arguments, one a line, to
// a file, and waits (at most a few seconds) for what it wrote.
class StandInOpener {
public:
    explicit StandInOpener(const TempHome& home) : home_(home) {
        home.Write("bin/xdg-open",
                   "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" + home.path() +
                       "/opened.tmp\"\nmv \"" + home.path() + "/opened.tmp\" \"" + home.path() +
                       "/opened\"\n",
                   0755);
        setenv("PATH", (home.path() + "/bin:/usr/bin:/bin").c_str(), 1);
    }
    std::string Arguments() const {
        for (int i = 0; i < 500 && !home_.Exists("opened"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return home_.Read("opened");
    }

private:
    const TempHome& home_;
};

}  // namespace

TEST(ProgramLauncher, CommandLinesSplitByTheWindowsRules) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine("explorer http://10.0.0.1"), (Words{"explorer", "http://10.0.0.1"}));
    EXPECT_EQ(SplitCommandLine("  a   b\tc "), (Words{"a", "b", "c"}));
    EXPECT_EQ(SplitCommandLine("\"/opt/My Browser/run\" -x http://h"),
              (Words{"/opt/My Browser/run", "-x", "http://h"}));
    EXPECT_EQ(SplitCommandLine("a\\\\b \"c\\\"d\" e\\\\\\\"f"),
              (Words{"a\\\\b", "c\"d", "e\\\"f"}));
    EXPECT_EQ(SplitCommandLine("\"\" x"), (Words{"", "x"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(ProgramLauncher, ExplorerOpensTheUrlWithTheDesktopOpener) {
    TempHome home;
    StandInOpener opener(home);
    XdgProgramLauncher launcher;
    EXPECT_GT(launcher.WinExec("explorer http://10.201.1.11", SW_HIDE), 31u);
    EXPECT_EQ(opener.Arguments(), "http://10.201.1.11\n");
}

TEST(ProgramLauncher, StartedProgramsDoNotSeeTheProductsSecrets) {
    TempHome home;
    home.Write("bin/xdg-open",
               "#!/bin/sh\nenv > \"" + home.path() + "/env.tmp\"\nmv \"" + home.path() +
                   "/env.tmp\" \"" + home.path() + "/env\"\n",
               0755);
    setenv("PATH", (home.path() + "/bin:/usr/bin:/bin").c_str(), 1);
    setenv("OSTREL_PASSWORD", "s3cret-pw", 1);
    setenv("OSTREL_TEST_MARK", "kept", 1);
    XdgProgramLauncher launcher;
    EXPECT_GT(launcher.WinExec("explorer http://10.201.1.11", SW_HIDE), 31u);
    for (int i = 0; i < 500 && !home.Exists("env"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string browserSees = home.Read("env");
    const std::string helperSees =
        RunProcess({"sh", "-c", "env"}, "", std::chrono::milliseconds(5000)).output;
    unsetenv("OSTREL_PASSWORD");
    unsetenv("OSTREL_TEST_MARK");
    for (const std::string& seen : {browserSees, helperSees}) {
        EXPECT_NE(seen.find("OSTREL_TEST_MARK=kept\n"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("s3cret-pw"), std::string::npos) << seen;
    }
}

TEST(ProgramLauncher, RegisteredCommandsRunAsGiven) {
    TempHome home;
    StandInOpener opener(home);
    XdgProgramLauncher launcher;
    // "<registered command> http://..." with the opener as the browser's command.
    EXPECT_GT(launcher.WinExec("\"xdg-open\" http://10.201.2.31", SW_HIDE), 31u);
    EXPECT_EQ(opener.Arguments(), "http://10.201.2.31\n");
}

TEST(ProgramLauncher, FailuresGiveTheCodesThatTriggerTheFallback) {
    TempHome home;
    setenv("PATH", (home.path() + "/bin").c_str(), 1);
    home.Write("bin/not-a-program", "data", 0644);
    XdgProgramLauncher launcher;
    // An empty registered command leaves the URL as the program: its "folder"
    // "http:" does not exist.
    EXPECT_EQ(launcher.WinExec(" http://10.0.0.1", SW_HIDE), 3u);
    EXPECT_EQ(launcher.WinExec("no-such-browser http://10.0.0.1", SW_HIDE), 2u);
    EXPECT_EQ(launcher.WinExec("/no/such/folder/browser http://x", SW_HIDE), 3u);
    EXPECT_EQ(launcher.WinExec((home.path() + "/bin/missing http://x").c_str(), SW_HIDE), 2u);
    EXPECT_EQ(launcher.WinExec("\"C:\\Program Files\\IE\\iexplore.exe\" http://x", SW_HIDE), 3u);
    EXPECT_EQ(launcher.WinExec("not-a-program http://x", SW_HIDE), 11u);
    // No opener at all: explorer cannot run either.
    EXPECT_EQ(launcher.WinExec("explorer http://10.0.0.1", SW_HIDE), 2u);
    EXPECT_EQ(launcher.ShellExecuteA("open", "http://10.0.0.1", nullptr, nullptr, SW_SHOW),
              SE_ERR_NOASSOC);
}

TEST(ProgramLauncher, OpeningAFileNeedsTheFile) {
    TempHome home;
    StandInOpener opener(home);
    XdgProgramLauncher launcher;
    EXPECT_EQ(
        launcher.ShellExecuteA("open", "Missing.widget", nullptr, home.path().c_str(), SW_SHOW),
        SE_ERR_FNF);
    home.Write("widgets/OSTRELEu_HSV520_Widget.widget", "w");
    EXPECT_EQ(launcher.ShellExecuteA("print", "OSTRELEu_HSV520_Widget.widget", nullptr,
                                     (home.path() + "/widgets").c_str(), SW_SHOW),
              SE_ERR_NOASSOC);
    EXPECT_GT(launcher.ShellExecuteA("open", "OSTRELEu_HSV520_Widget.widget", nullptr,
                                     (home.path() + "/widgets").c_str(), SW_SHOW),
              32);
    EXPECT_EQ(opener.Arguments(), home.path() + "/widgets/OSTRELEu_HSV520_Widget.widget\n");
}

TEST(Registry, DefaultBrowserComesFromTheFreedesktopSetting) {
    TempHome home;
    FreedesktopRegistry registry;
    const auto root = RegistryRoot::HKEY_LOCAL_MACHINE;
    EXPECT_EQ(registry.ReadRegistryString(root, kStartMenuInternetKey, ""), "");

    // The system-wide setting names a browser that is not installed; the
    // user's own setting wins anyway.
    home.Write("etc-xdg/mimeapps.list",
               "[Default Applications]\nx-scheme-handler/http=gone.desktop;\n");
    home.Write("usr-share/applications/webby.desktop",
               "[Desktop Entry]\nName=Webby\nExec=/opt/webby/bin/webby --new-window %u\n"
               "[Desktop Action private]\nExec=/opt/webby/bin/webby --private %u\n");
    home.Write("config/mimeapps.list",
               "[Added Associations]\nx-scheme-handler/http=other.desktop\n"
               "[Default Applications]\ntext/html=x.desktop\n"
               "x-scheme-handler/http=missing.desktop;webby.desktop;\n");
    EXPECT_EQ(registry.ReadRegistryString(root, "software\\clients\\StartMenuInternet", ""),
              "webby");
    EXPECT_EQ(registry.ReadRegistryString(
                  root, "Software\\Clients\\StartMenuInternet\\webby\\shell\\open\\command", ""),
              "/opt/webby/bin/webby --new-window");
    // Whatever else is asked is missing.
    EXPECT_EQ(registry.ReadRegistryString(root, kStartMenuInternetKey, "other"), "");
    EXPECT_EQ(
        registry.ReadRegistryString(RegistryRoot::HKEY_CURRENT_USER, kStartMenuInternetKey, ""),
        "");
    EXPECT_EQ(registry.ReadRegistryString(
                  root, "Software\\Clients\\StartMenuInternet\\nothing\\shell\\open\\command", ""),
              "");
}

TEST(ReachabilityProbe, UrlsNameHostAndPort) {
    auto endpoint = ParseUrlEndpoint("http://10.201.1.11");
    ASSERT_TRUE(endpoint);
    EXPECT_EQ(endpoint->host, "10.201.1.11");
    EXPECT_EQ(endpoint->port, 80);
    endpoint = ParseUrlEndpoint("HTTPS://nvr.local:8443/index.html?x=1");
    ASSERT_TRUE(endpoint);
    EXPECT_EQ(endpoint->host, "nvr.local");
    EXPECT_EQ(endpoint->port, 8443);
    EXPECT_EQ(ParseUrlEndpoint("https://[::1]/")->port, 443);
    EXPECT_FALSE(ParseUrlEndpoint("ftp://h"));
    EXPECT_FALSE(ParseUrlEndpoint("http://"));
    EXPECT_FALSE(ParseUrlEndpoint("http://h:99999"));
    EXPECT_FALSE(ParseUrlEndpoint("http://h:8x"));
    EXPECT_FALSE(ParseUrlEndpoint("10.0.0.1"));
}

TEST(ReachabilityProbe, AcceptedAndRefusedConnections) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";

    TcpHttpProbe probe;
    EXPECT_TRUE(probe.InternetCheckConnectionA(url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0));
    close(listener);  // now the port refuses
    EXPECT_FALSE(probe.InternetCheckConnectionA(url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_FALSE(probe.InternetCheckConnectionA("not a url", FLAG_ICC_FORCE_CONNECTION, 0));
    EXPECT_FALSE(probe.InternetCheckConnectionA(nullptr, FLAG_ICC_FORCE_CONNECTION, 0));
}

TEST(RunProcess, FeedsInputAndKillsWhatOverstaysItsLimit) {
    using std::chrono::milliseconds;
    const auto swapped = RunProcess({"sh", "-c", "read a; read b; echo \"$b $a\""}, "one\ntwo\n",
                                    milliseconds(5000));
    EXPECT_TRUE(swapped.started);
    EXPECT_EQ(swapped.exitCode, 0);
    EXPECT_EQ(swapped.output, "two one\n");
    // A helper that leaves without reading its input does not take us along.
    const auto early =
        RunProcess({"sh", "-c", "exit 3"}, std::string(1 << 20, 'x'), milliseconds(5000));
    EXPECT_EQ(early.exitCode, 3);
    const auto slow = RunProcess({"sleep", "30"}, "", milliseconds(200));
    EXPECT_TRUE(slow.timedOut);
    EXPECT_FALSE(RunProcess({"no-such-helper-anywhere"}, "", milliseconds(1000)).started);
}
