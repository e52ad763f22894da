// The web console launch through the real main window, with a probe whose
// answer the test gives, pauses that return at once, and a recording
// launcher; and the command lines it builds.

#include "app/web_console.h"

#include <QApplication>
#include <system_error>
#include <thread>

#include <gtest/gtest.h>

#include "protocol/globals.h"
#include "protocol/packet_format.h"
#include "res/templates/control_ids.h"
#include "tests/app/commands_harness.h"

using namespace res;
using ostrel::platform::RegistryRoot;

namespace {

constexpr const char* kBrowserKey = "Software\\Clients\\StartMenuInternet";

void RegisterBrowser(ostrel::platform::FakeRegistry& registry, const std::string& name,
                     const std::string& command) {
    registry.Set(RegistryRoot::HKEY_LOCAL_MACHINE, kBrowserKey, "", name);
    registry.Set(RegistryRoot::HKEY_LOCAL_MACHINE,
                 std::string(kBrowserKey) + "\\" + name + "\\shell\\open\\command", "", command);
}

class WebConsole : public ::testing::Test {
protected:
    void SetUp() override {
        one = &h.lab.Add(MakeRecorder(1, "NVR-One"));
        h.lab.Add(MakeRecorder(2, "NVR-Two"));
        RegisterBrowser(h.registry, "Firefox", "\"/usr/bin/firefox\" -osint -url");
        h.launcher.winExecResults = {ostrel::platform::kWinExecSucceeded};
        h.Open();
    }

    // The recorder answers the probe during pause n (0: never).
    void AnswerDuringPause(int n, bool reachable) {
        h.onSleep = [this, n, reachable](int pause) {
            if (pause == n) {
                h.probe.Answer(reachable);
                ASSERT_TRUE(WaitForProbeAnswer());
            }
        };
    }

    void Configure() {
        h.sleeps = 0;
        h.boxes.clear();
        h.Command(IDC_WEB_CONSOLE);
    }

    void ExpectUnreachableReported() {
        ASSERT_EQ(h.boxes.records().size(), 1u);
        EXPECT_EQ(h.boxes.records()[0].text, QString::fromLatin1(kDeviceNoLongerAvailableText));
        EXPECT_EQ(h.boxes.records()[0].caption, QStringLiteral("Warning"));
        EXPECT_EQ(h.boxes.records()[0].icon(), MB_ICONEXCLAMATION);
        EXPECT_TRUE(h.launcher.commandLines.empty()) << "no browser for an unreachable recorder";
        EXPECT_EQ(ProbeResult.load(), kProbePending);
    }

    CommandsHarness h;
    sim::VirtualRecorderPeer* one = nullptr;
};

TEST_F(WebConsole, WithoutASelectedRowNothingIsProbed) {
    Configure();
    ASSERT_EQ(h.boxes.records().size(), 1u);
    EXPECT_EQ(h.boxes.records()[0].text, QString::fromLatin1(kSelectDeviceToConfigureText));
    EXPECT_EQ(h.boxes.records()[0].caption, QStringLiteral("Warning"));
    EXPECT_EQ(h.boxes.records()[0].icon(), MB_ICONEXCLAMATION);
    EXPECT_EQ(h.probe.Checks(), 0);
    EXPECT_EQ(h.sleeps, 0);
    EXPECT_TRUE(h.launcher.commandLines.empty());
}

TEST_F(WebConsole, ASelectedRowScrolledAboveTheViewIsNotFound) {
    for (int n = 3; n <= 14; ++n) {
        h.lab.Add(MakeRecorder(n, "NVR-" + std::to_string(n)));
    }
    h.Command(IDC_SEARCH);
    ASSERT_EQ(h.devices().GetItemCount(), 14);
    h.devices().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    h.devices().EnsureVisible(13);
    QApplication::processEvents();
    ASSERT_GT(h.devices().GetTopIndex(), 0);
    ASSERT_EQ(h.devices().GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);
    Configure();
    ASSERT_EQ(h.boxes.records().size(), 1u);
    EXPECT_EQ(h.boxes.records()[0].text, QString::fromLatin1(kSelectDeviceToConfigureText));
    EXPECT_EQ(h.probe.Checks(), 0);

    // Scrolled back into view, the same row is found.
    h.devices().EnsureVisible(0);
    h.probe.AnswerAtOnce(true);
    h.onSleep = [](int) { ASSERT_TRUE(WaitForProbeAnswer()); };
    Configure();
    EXPECT_TRUE(h.boxes.records().empty());
    EXPECT_EQ(h.launcher.commandLines.size(), 1u);
}

TEST_F(WebConsole, RefusedInTheFirstSecondIsReportedAfterOnePause) {
    ASSERT_TRUE(h.ClickRow(0));
    AnswerDuringPause(1, false);
    h.lab.Add(MakeRecorder(3, "NVR-Three"));
    // A drive connected meanwhile shows up once the drive letters are read again.
    h.drives.Connect('Z', "\\\\nvr-one\\VOLUME_1");
    const int discoveries = VirtualLab::CountHeard(*one, OP_DISCOVER);
    Configure();
    EXPECT_EQ(h.sleeps, 1);
    ExpectUnreachableReported();
    EXPECT_EQ(h.probe.Urls(), (std::vector<std::string>{"http://192.168.10.101"}));
    EXPECT_EQ(CurrentDeviceAddress, "192.168.10.101");

    // The full refresh: a new search lists the recorder that came meanwhile,
    // with nothing selected.
    EXPECT_EQ(VirtualLab::CountHeard(*one, OP_DISCOVER), discoveries + 1);
    EXPECT_EQ(h.devices().GetItemCount(), 3);
    EXPECT_EQ(h.devices().GetSelectedCount(), 0);
    EXPECT_EQ(h.dialog->deviceSelected, 0);
    EXPECT_TRUE(h.field(IDC_IP_ADDRESS).IsBlank());
    CComboBox& letters = *h.dialog->GetDlgItemAs<CComboBox>(IDC_DRIVE_LETTERS);
    EXPECT_EQ(letters.GetLBText(0), QStringLiteral("Z: \\\\nvr-one\\VOLUME_1"));
}

TEST_F(WebConsole, AnAddressThatIsNotPlainDottedDecimalIsNeitherProbedNorOpened) {
    // "localhost/abc" would probe this computer and open a path on it; the
    // leading zero of "0150" is read as octal (10.201.1.104), another host.
    const std::vector<std::string> addresses = {"10.201.1.0150", "localhost/abc"};
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        sim::RecorderState odd = MakeRecorder(9 + static_cast<int>(i), "NVR-Odd");
        odd.lan[0].ip = addresses[i];
        h.lab.Add(odd);
    }
    h.probe.AnswerAtOnce(true);
    h.onSleep = [](int) { ASSERT_TRUE(WaitForProbeAnswer()); };
    for (const std::string& address : addresses) {
        SCOPED_TRACE(address);
        h.Command(IDC_SEARCH);
        int row = 0;
        while (row < h.devices().GetItemCount() &&
               h.devices().GetItemText(row, 1) != QString::fromStdString(address)) {
            ++row;
        }
        ASSERT_LT(row, h.devices().GetItemCount()) << "the list shows the text as it came";
        ASSERT_TRUE(h.ClickRow(row));
        const int discoveries = VirtualLab::CountHeard(*one, OP_DISCOVER);
        Configure();
        EXPECT_EQ(h.sleeps, 0);
        ExpectUnreachableReported();
        EXPECT_EQ(h.probe.Checks(), 0);
        EXPECT_EQ(VirtualLab::CountHeard(*one, OP_DISCOVER), discoveries + 1) << "a full refresh";
    }
}

TEST_F(WebConsole, AProbeThreadThatCannotBeCreatedReportsTheRecorderUnreachable) {
    ASSERT_TRUE(h.ClickRow(0));
    h.dialog->WebConsole().probe.startThread = [](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    Configure();
    EXPECT_EQ(h.sleeps, 0);
    ExpectUnreachableReported();
    EXPECT_TRUE(h.probe.Urls().empty());
    // With threads available again, the next launch probes as usual.
    h.dialog->WebConsole().probe.startThread = ProbeThread::StartStdThread;
    ASSERT_TRUE(h.ClickRow(0));
    AnswerDuringPause(1, true);
    Configure();
    EXPECT_EQ(h.launcher.commandLines.size(), 1u);
}

TEST_F(WebConsole, AProbeStillPendingAfterTwoPausesIsReportedAndTheNextLaunchProbesAfresh) {
    ASSERT_TRUE(h.ClickRow(0));
    AnswerDuringPause(0, false);
    Configure();
    EXPECT_EQ(h.sleeps, 2);
    ExpectUnreachableReported();

    // The probe the window gave up on still stores its answer.
    h.probe.Answer(true);
    ASSERT_TRUE(WaitForProbeAnswer());
    EXPECT_EQ(ProbeResult.load(), kProbeReachable);

    // The next launch starts from pending: the stale "reachable" does not
    // open the browser, its own probe's refusal is reported.
    ASSERT_TRUE(h.ClickRow(1));
    AnswerDuringPause(1, false);
    Configure();
    EXPECT_EQ(h.probe.Checks(), 2);
    EXPECT_EQ(h.probe.Urls()[1], "http://192.168.10.102");
    EXPECT_EQ(h.sleeps, 1);
    ExpectUnreachableReported();
}

TEST_F(WebConsole, TwoLaunchesAfterAnUnreachableRecorderEachProbe) {
    ASSERT_TRUE(h.ClickRow(0));
    AnswerDuringPause(1, false);
    Configure();
    ExpectUnreachableReported();

    ASSERT_TRUE(h.ClickRow(0));
    AnswerDuringPause(2, true);
    Configure();
    EXPECT_EQ(h.probe.Checks(), 2);
    EXPECT_EQ(h.sleeps, 2);
    EXPECT_TRUE(h.boxes.records().empty());
    EXPECT_EQ(h.launcher.commandLines,
              (std::vector<std::string>{"\"/usr/bin/firefox\" -osint -url http://192.168.10.101"}));
}

TEST_F(WebConsole, ReachableDuringEitherPauseOpensTheBrowser) {
    for (int pause : {1, 2}) {
        SCOPED_TRACE(pause);
        h.launcher.commandLines.clear();
        h.ClickRow(1);  // the second time from the cache, without a dialog
        ASSERT_EQ(CurrentDeviceAddress, "192.168.10.102");
        AnswerDuringPause(pause, true);
        Configure();
        EXPECT_EQ(h.sleeps, pause);
        EXPECT_TRUE(h.boxes.records().empty());
        EXPECT_EQ(
            h.launcher.commandLines,
            (std::vector<std::string>{"\"/usr/bin/firefox\" -osint -url http://192.168.10.102"}));
        EXPECT_EQ(ProbeResult.load(), kProbePending);
        EXPECT_EQ(h.dialog->deviceSelected, 1) << "no refresh after a launch";
    }
}

TEST_F(WebConsole, BrowserNamesAndFallbacks) {
    ASSERT_TRUE(h.ClickRow(0));
    h.probe.AnswerAtOnce(true);
    h.onSleep = [](int) { ASSERT_TRUE(WaitForProbeAnswer()); };
    const std::string url = "http://192.168.10.101";
    {
        SCOPED_TRACE("a name with IE opens the URL with Explorer");
        RegisterBrowser(h.registry, "IEXPLORE.EXE", "\"C:\\Program Files\\iexplore.exe\"");
        h.launcher.commandLines.clear();
        Configure();
        EXPECT_EQ(h.launcher.commandLines, (std::vector<std::string>{"explorer " + url}));
    }
    RegisterBrowser(h.registry, "Firefox", "firefox");
    for (std::uint32_t failure : {2u, 3u, 11u}) {
        SCOPED_TRACE(failure);
        h.launcher.commandLines.clear();
        h.launcher.winExecResults = {failure, failure};
        Configure();
        EXPECT_EQ(h.launcher.commandLines,
                  (std::vector<std::string>{"firefox " + url, "explorer " + url}))
            << "one fallback, its result not examined";
    }
    for (std::uint32_t other : {0u, 5u, 33u}) {
        SCOPED_TRACE(other);
        h.launcher.commandLines.clear();
        h.launcher.winExecResults = {other};
        Configure();
        EXPECT_EQ(h.launcher.commandLines, (std::vector<std::string>{"firefox " + url}));
        EXPECT_TRUE(h.boxes.records().empty());
    }
    {
        SCOPED_TRACE("nothing registered: the empty command, then Explorer");
        h.registry = ostrel::platform::FakeRegistry();
        h.launcher.commandLines.clear();
        h.launcher.winExecResults = {3};
        Configure();
        EXPECT_EQ(h.launcher.commandLines,
                  (std::vector<std::string>{" " + url, "explorer " + url}));
    }
}

TEST_F(WebConsole, AProbeRunningWhenTheWindowClosesEndsFirst) {
    ASSERT_TRUE(h.ClickRow(0));
    AnswerDuringPause(0, false);
    Configure();
    ExpectUnreachableReported();
    // The window gave up without waiting for the worker to reach the probe:
    // wait for it to be scheduled (this times nothing).
    for (int i = 0; i < 5000 && h.probe.Checks() == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(h.probe.Checks(), 1);
    // The probe is still out; the tear-down waits for it.
    std::thread answer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        h.probe.Answer(true);
    });
    h.Close();
    EXPECT_EQ(ProbeResult.load(), kProbeReachable) << "stored before the window went";
    answer.join();
}

TEST(BrowserCommandLine, FitsTheBufferOrFallsStraightBackToTheOpener) {
    ostrel::platform::FakeRegistry registry;
    const std::string address = "192.168.10.101";
    const std::string url = "http://" + address;
    // " http://192.168.10.101" takes 22 characters: a 105-character command
    // fills the 127 characters the buffer holds besides its terminator.
    const std::string fits(105, 'a');
    RegisterBrowser(registry, "Browser", fits);
    BrowserLaunch launch = MakeBrowserLaunch(registry, "http", address.c_str());
    EXPECT_EQ(launch.commandLine, fits + " " + url);
    EXPECT_EQ(launch.commandLine.size(), kCommandLineSize - 1);

    RegisterBrowser(registry, "Browser", fits + "a");
    launch = MakeBrowserLaunch(registry, "http", address.c_str());
    EXPECT_EQ(launch.commandLine, "explorer " + url) << "never a cut command";
    EXPECT_EQ(launch.fallbackLine, "explorer " + url);

    // A registry value longer than its buffer is cut there, and then its line
    // is too long as well.
    RegisterBrowser(registry, "Browser", std::string(300, 'b'));
    EXPECT_EQ(MakeBrowserLaunch(registry, "https", address.c_str()).commandLine,
              "explorer https://" + address);

    // The longest address the program holds (63 characters) still fits the opener.
    const std::string longest(63, '9');
    RegisterBrowser(registry, "IE", "");
    EXPECT_EQ(MakeBrowserLaunch(registry, "https", longest.c_str()).commandLine,
              "explorer https://" + longest);
}

TEST(BrowserCommandLine, SchemeFollowsTheSecureWebSetting) {
    EXPECT_STREQ(ConsoleScheme(""), "http");
    EXPECT_STREQ(ConsoleScheme("0"), "http");
    EXPECT_STREQ(ConsoleScheme("x1y"), "https");
    EXPECT_STREQ(ConsoleScheme(nullptr), "http");
    // The name test is case-sensitive: "ie" is another browser.
    ostrel::platform::FakeRegistry registry;
    RegisterBrowser(registry, "opera-ie", "opera");
    EXPECT_EQ(MakeBrowserLaunch(registry, "http", "10.0.0.1").commandLine, "opera http://10.0.0.1");
}

}  // namespace
