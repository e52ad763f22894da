#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include <sys/wait.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/shared/drive_connect.h"
#include "app/shared/web_console_launch.h"
#include "cli/apply.h"
#include "cli/commands.h"
#include "cli/watch.h"
#include "platform/services/fake_network_drives.h"
#include "platform/services/platform_services.h"
#include "platform/services/win_codes.h"
#include "platform/services/windows_version.h"
#include "protocol/packet_format.h"
#include "protocol/testing/virtual_net_io.h"
#include "sim/recorder.h"

// Whole ostrel-nvr runs against model recorders on the virtual network: the
// same code path as on real sockets, on a clock that never waits.
namespace cli {
namespace {

class RecorderPeer final : public VirtualPeer {
public:
    explicit RecorderPeer(sim::RecorderState state) : recorder(std::move(state)) {}
    void OnDatagram(int interfaceIndex, std::span<const std::uint8_t> bytes,
                    VirtualNetIo& net) override {
        const bool changed = std::any_of(
            recorder.log().begin(), recorder.log().end(), [](const sim::RequestLogEntry& entry) {
                return entry.opcode == OP_SET_LAN_STATIC || entry.opcode == OP_SET_LAN_DHCP;
            });
        const std::vector<sim::Reply> replies = recorder.Handle(bytes, net.Now());
        if (vanishesAfterAChange && changed && !recorder.log().empty() &&
            recorder.log().back().opcode == OP_DISCOVER) {
            return;
        }
        for (const sim::Reply& reply : replies) {
            net.Deliver(interfaceIndex, reply.bytes, reply.delay);
        }
    }
    sim::Recorder recorder;
    // Takes a change, then answers no search again (it moved out of reach).
    bool vanishesAfterAChange = false;
};

sim::RecorderState State(std::string name, std::uint8_t last, std::string model, std::string ip) {
    sim::RecorderState state;
    state.name = std::move(name);
    state.deviceId = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, last};
    state.model = std::move(model);
    sim::LanPort port;
    port.ip = std::move(ip);
    port.netmask = "255.255.255.0";
    port.gateway = port.ip.substr(0, port.ip.rfind('.')) + ".1";
    port.dns1 = port.gateway;
    state.lan = {port};
    state.adminUser = "admin";
    state.adminPassword = "pw-" + state.name;
    state.volumes = {"Volume_1", "Volume_2"};
    state.identityShort = "short";
    state.identityLong = "long text";
    return state;
}

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

class CliRun : public ::testing::Test {
protected:
    CliRun() : scope_(net_) {
        net_.AddInterface("10.0.0.2");
        net_.AddInterface("10.0.1.2");
        Add(State("Alpha", 1, "KVR-610L", "10.0.0.11"), 0);
        Add(State("Bravo", 2, "KVR-620", "10.0.1.21"), 1);
        Add(State("Unsupported", 3, "KVR-610", "10.0.0.31"), 0);
        sim::RecorderState silent = State("Silent", 4, "KVR-620", "10.0.0.41");
        sim::Script script;
        script.opcodes = {102, 104, 106, 123, 124, 164};
        script.silent = true;
        silent.scripts = {script};
        Add(silent, 0);
    }

    RecorderPeer& Add(sim::RecorderState state, int interfaceIndex) {
        peers_.push_back(std::make_unique<RecorderPeer>(std::move(state)));
        net_.Attach(*peers_.back(), interfaceIndex);
        return *peers_.back();
    }
    sim::Recorder& RecorderNamed(const std::string& name) {
        for (auto& peer : peers_) {
            if (peer->recorder.state().name == name) {
                return peer->recorder;
            }
        }
        throw std::runtime_error("no recorder " + name);
    }

    Outcome Run(std::vector<std::string> args, const char* password = nullptr,
                std::string input = "") {
        std::istringstream in(input);
        std::ostringstream out;
        std::ostringstream err;
        const int code = RunCli(args, in, out, err, password, &services_);
        return {code, out.str(), err.str()};
    }

    // The window's services, in memory: the drives, probe and launcher the
    // console, drives, map and unmap commands use.
    ostrel::platform::FakeNetworkDrives drives_;
    ostrel::platform::FakeHttpProbe probe_;
    ostrel::platform::FakeProgramLauncher launcher_;
    ostrel::platform::FakeRegistry registry_;
    ostrel::platform::FakeVersionSource version_{2, 6, 2, 9200};
    ostrel::platform::PlatformServices services_{.drives = &drives_,
                                                 .launcher = &launcher_,
                                                 .registry = &registry_,
                                                 .probe = &probe_,
                                                 .version = &version_};

    VirtualNetIo net_;
    ScopedActiveNetIo scope_;
    std::vector<std::unique_ptr<RecorderPeer>> peers_;
};

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(CliRun, SearchListsSupportedRecordersWithTheirInterface) {
    const Outcome r = Run({"search", "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    ASSERT_EQ(json.size(), 3u) << r.out;
    EXPECT_EQ(json[0]["name"], "Alpha");
    EXPECT_EQ(json[0]["interface"], "10.0.0.2");
    EXPECT_EQ(json[0]["id"], "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x01");
    EXPECT_EQ(json[0]["ip"], "10.0.0.11");
    EXPECT_EQ(json[0]["gateway"], "10.0.0.1");
    EXPECT_EQ(json[1]["name"], "Silent");
    EXPECT_EQ(json[2]["name"], "Bravo");
    EXPECT_EQ(json[2]["interface"], "10.0.1.2");
    EXPECT_EQ(r.out.find("Unsupported"), std::string::npos);

    const Outcome text = Run({"search"});
    EXPECT_EQ(Lines(text.out), 3);
    EXPECT_EQ(text.err, "");

    // --verbose reports the local addresses searched, apart from the list.
    const Outcome verbose = Run({"search", "--verbose"});
    EXPECT_EQ(verbose.out, text.out);
    EXPECT_EQ(verbose.err, "searched 10.0.0.2\nsearched 10.0.1.2\n");
    const auto object = nlohmann::json::parse(Run({"search", "--json", "--verbose"}).out);
    EXPECT_EQ(object["recorders"], json);
    EXPECT_EQ(object["searched"].size(), 2u);
    EXPECT_EQ(object["searched"][1]["address"], "10.0.1.2");
    EXPECT_TRUE(object["left_out"].empty());
}

TEST_F(CliRun, LoginAnswersWithExitCodes) {
    {
        const Outcome r = Run({"login", "--device", "Alpha"}, "pw-Alpha");
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_NE(r.out.find("succeeded"), std::string::npos);
    }
    {
        const Outcome r =
            Run({"login", "--device", "10.0.1.21", "--password-stdin"}, "wrong", "pw-Bravo\n");
        EXPECT_EQ(r.code, kExitOk) << r.err;
    }
    {
        const Outcome r = Run({"login", "--device", "Alpha"}, "wrong");
        EXPECT_EQ(r.code, kExitRecorderFailed);
        EXPECT_EQ(Lines(r.err), 1);
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(Run({"login", "--device", "Alpha", "--user", "root"}, "pw-Alpha").code,
              kExitRecorderFailed);
    EXPECT_EQ(Run({"login", "--device", "Silent"}, "pw-Silent").code, kExitRecorderFailed);
    EXPECT_EQ(Run({"login", "--device", "Unsupported"}, "pw-Unsupported").code, kExitNoMatch);
    EXPECT_EQ(Run({"login", "--device", "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x09"}, "x").code,
              kExitNoMatch);
    EXPECT_EQ(Run({"login", "--device", "Alpha"}).code, kExitUsage);  // no password at all
    EXPECT_EQ(Run({"login", "--device", "Alpha", "--password", "pw-Alpha"}).code, kExitUsage);
}

TEST_F(CliRun, VolumesNeedTheRightPassword) {
    {
        const Outcome r = Run({"volumes", "--device", "Bravo"}, "pw-Bravo");
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, "Volume_1\nVolume_2\n");
    }
    {
        const Outcome r = Run({"volumes", "--device", "Bravo", "--json"}, "pw-Bravo");
        EXPECT_EQ(nlohmann::json::parse(r.out), nlohmann::json({"Volume_1", "Volume_2"}));
    }
    const Outcome wrong = Run({"volumes", "--device", "Bravo"}, "nope");
    EXPECT_EQ(wrong.code, kExitRecorderFailed);
    EXPECT_TRUE(wrong.out.empty());
}

TEST_F(CliRun, StaticIsCheckedBeforeAnythingIsSent) {
    const Outcome r =
        Run({"static", "--device", "Alpha", "--ip", "192.168.0.10", "--netmask", "255.255.255.0"},
            "pw-Alpha");
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.err, "ostrel-nvr: You enter incorrect TCP/IP configuration. Please try again.\n");
    EXPECT_TRUE(net_.Sent().empty());
    EXPECT_EQ(RecorderNamed("Alpha").state().lan[0].ip, "10.0.0.11");
}

TEST_F(CliRun, LanChangesReachTheRecorder) {
    {
        const Outcome r = Run({"static", "--device", "Alpha", "--ip", "10.0.0.99", "--netmask",
                               "255.255.255.0", "--gateway", "10.0.0.1"},
                              "pw-Alpha");
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(RecorderNamed("Alpha").state().lan[0].ip, "10.0.0.99");
    }
    {
        const Outcome r = Run({"search", "--json"});
        EXPECT_EQ(nlohmann::json::parse(r.out)[0]["ip"], "10.0.0.99");
    }
    {
        const Outcome r = Run({"dhcp", "--device", "10.0.0.99"}, "pw-Alpha");
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, "DHCP client enabled.\n");
        EXPECT_TRUE(RecorderNamed("Alpha").state().lan[0].dhcp);
    }
    {
        const Outcome r = Run({"dhcp", "--device", "Bravo"}, "wrong");
        EXPECT_EQ(r.code, kExitRecorderFailed);
        EXPECT_FALSE(RecorderNamed("Bravo").state().lan[0].dhcp);
    }
}

TEST_F(CliRun, IdentityWritesOnlyWhatIsGiven) {
    {
        const Outcome r = Run({"identity", "--device", "Bravo"}, "pw-Bravo");
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, "name: Bravo\nshort: short\nlong: long text\n");
    }
    {
        const Outcome r =
            Run({"identity", "--device", "Bravo", "--set-name", "Bravo-2"}, "pw-Bravo");
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, "name: Bravo-2\nshort: short\nlong: long text\n");
    }
    EXPECT_EQ(RecorderNamed("Bravo-2").state().identityShort, "short");
    EXPECT_EQ(RecorderNamed("Bravo-2").state().identityLong, "long text");
}

TEST_F(CliRun, FailuresSayWhatHappened) {
    {
        const Outcome refused = Run({"login", "--device", "Alpha"}, "wrong");
        EXPECT_EQ(refused.code, kExitRecorderFailed);
        EXPECT_NE(refused.err.find("refused the user name or password"), std::string::npos)
            << refused.err;
        const Outcome silent = Run({"volumes", "--device", "Silent"}, "pw-Silent");
        EXPECT_EQ(silent.code, kExitRecorderFailed);
        EXPECT_NE(silent.err.find("failed: no answer"), std::string::npos) << silent.err;
    }
    {
        // The DHCP failure names the recorder.
        sim::RecorderState stubborn = State("Stubborn", 5, "KVR-620", "10.0.0.51");
        sim::Script refuse;
        refuse.opcodes = {104};
        refuse.refuse = true;
        stubborn.scripts = {refuse};
        Add(stubborn, 0);
        const Outcome r = Run({"dhcp", "--device", "Stubborn"}, "pw-Stubborn");
        EXPECT_EQ(r.code, kExitRecorderFailed);
        EXPECT_NE(r.err.find("Stubborn (10.0.0.51)"), std::string::npos) << r.err;
    }
}

TEST_F(CliRun, NoUsableInterfaceIsAnErrorNotAnEmptyList) {
    VirtualNetIo bare;
    ScopedActiveNetIo scope(bare);
    const Outcome r = Run({"search"});
    EXPECT_EQ(r.code, kExitRecorderFailed);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(Lines(r.err), 1);
    EXPECT_NE(r.err.find("interface"), std::string::npos);
}

std::optional<std::string> TypedRightPassword() {
    return "pw-Alpha";
}
std::optional<std::string> NothingTyped() {
    return std::nullopt;
}

TEST_F(CliRun, ATerminalPromptReplacesStandardInput) {
    std::istringstream in("wrong\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCli({"login", "--device", "Alpha", "--password-stdin"}, in, out, err, nullptr,
                     TypedRightPassword),
              kExitOk)
        << err.str();
    EXPECT_EQ(RunCli({"login", "--device", "Alpha", "--password-stdin"}, in, out, err, nullptr,
                     NothingTyped),
              kExitUsage);
}

TEST_F(CliRun, DrivesAndUnmapShowAndEndTheWindowsConnections) {
    drives_.Connect('Z', "\\\\10.0.0.11\\Volume_1");
    drives_.SetLocalDrive('D', ostrel::platform::DRIVE_CDROM);
    const auto json = nlohmann::json::parse(Run({"drives", "--json"}).out);
    ASSERT_EQ(json.size(), 23u) << json.dump();  // Z..C without the CD-ROM drive
    EXPECT_EQ(json[0]["letter"], "Z:");
    EXPECT_EQ(json[0]["remote"], "\\\\10.0.0.11\\Volume_1");
    EXPECT_EQ(json[0]["free"], false);
    EXPECT_EQ(json[1]["letter"], "Y:");
    EXPECT_TRUE(json[1]["remote"].is_null());
    EXPECT_EQ(json[22]["letter"], "C:");
    EXPECT_EQ(Run({"drives"}).out.substr(0, 31), "Z:\t\\\\10.0.0.11\\Volume_1\tin use\n");

    const Outcome unmapped = Run({"unmap", "z"});
    EXPECT_EQ(unmapped.code, kExitOk) << unmapped.err;
    EXPECT_EQ(unmapped.out, std::string(kUnmapSucceededText) + " (Z:)\n");
    EXPECT_TRUE(drives_.connections.empty());
    const Outcome again = Run({"unmap", "Z:"});
    EXPECT_EQ(again.code, kExitRecorderFailed);
    EXPECT_EQ(again.err, "ostrel-nvr: Z: is not connected\n");
    EXPECT_EQ(Run({"unmap", "ZZ"}).code, kExitUsage);
    EXPECT_EQ(Run({"unmap"}).code, kExitUsage);
}

TEST_F(CliRun, MapTakesTheHighestFreeLetterAndAsksForForceOnALetterInUse) {
    drives_.AddShare("\\\\10.0.0.11\\Volume_2", "admin", "pw-Alpha");
    drives_.Connect('Z', "\\\\other\\share");
    // The system's prompt, which the command line answers with the recorder's
    // credentials.
    drives_.interactiveAnswer = ostrel::platform::PromptedCredentials{"admin", "pw-Alpha"};
    {
        const Outcome r = Run({"map", "--device", "Alpha", "--volume", "Volume_2"}, "pw-Alpha");
        ASSERT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, std::string(kMapSucceededText) + " Y: \\\\10.0.0.11\\Volume_2\n");
        EXPECT_EQ(drives_.connections.at('Y').first, "\\\\10.0.0.11\\Volume_2");
        EXPECT_EQ(drives_.connections.at('Z').first, "\\\\other\\share");
    }
    {
        // The confirmation the window asks for: without --force nothing is touched.
        drives_.addCalls.clear();
        drives_.cancelCalls.clear();
        const Outcome r =
            Run({"map", "--device", "Alpha", "--volume", "Volume_2", "--letter", "z:", "--json"},
                "pw-Alpha");
        EXPECT_EQ(r.code, kExitUsage);
        EXPECT_NE(r.err.find("Z: is in use (\\\\other\\share); give --force"), std::string::npos);
        EXPECT_TRUE(drives_.addCalls.empty());
        EXPECT_TRUE(drives_.cancelCalls.empty());
        const Outcome forced = Run({"map", "--device", "Alpha", "--volume", "Volume_2", "--letter",
                                    "Z:", "--force", "--json"},
                                   "pw-Alpha");
        ASSERT_EQ(forced.code, kExitOk) << forced.err;
        const auto json = nlohmann::json::parse(forced.out);
        EXPECT_EQ(json["letter"], "Z:");
        EXPECT_EQ(drives_.connections.at('Z').first, "\\\\10.0.0.11\\Volume_2");
    }
    {
        const Outcome r = Run({"map", "--device", "Alpha", "--volume", "Volume_9"}, "pw-Alpha");
        EXPECT_EQ(r.code, kExitNoMatch);
        EXPECT_NE(r.err.find("has no volume \"Volume_9\""), std::string::npos);
    }
    {
        // The share refuses: the window's text, and the window's six attempts
        // with the recorder's credentials on an NT system.
        drives_.addCalls.clear();
        version_.majorVersion = 4;  // Windows NT 4
        version_.minorVersion = 0;
        version_.buildNumber = 1381;
        const Outcome r = Run({"map", "--device", "Alpha", "--volume", "Volume_1"}, "pw-Alpha");
        EXPECT_EQ(r.code, kExitRecorderFailed);
        EXPECT_NE(r.err.find(kMapFailedText), std::string::npos);
        EXPECT_EQ(static_cast<int>(drives_.addCalls.size()), kNtMapAttempts);
        ASSERT_FALSE(drives_.addCalls.empty());
        EXPECT_EQ(drives_.addCalls[0].userName, "admin");
        EXPECT_EQ(drives_.addCalls[0].password, "pw-Alpha");
    }
    // A wrong password is refused by the recorder before any drive is touched.
    drives_.addCalls.clear();
    EXPECT_EQ(Run({"map", "--device", "Alpha", "--volume", "Volume_2"}, "wrong").code,
              kExitRecorderFailed);
    EXPECT_TRUE(drives_.addCalls.empty());
}

TEST_F(CliRun, ConsoleOpensOrPrintsTheUrlOnlyWhenTheConsoleAnswers) {
    probe_.SetReachable("10.0.0.11", true);
    {
        const Outcome r = Run({"console", "--device", "Alpha", "--print-url"});
        ASSERT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out, "http://10.0.0.11\n");
        EXPECT_TRUE(launcher_.commandLines.empty());
    }
    {
        const Outcome r = Run({"console", "--device", "Alpha", "--json"});
        ASSERT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(nlohmann::json::parse(r.out)["url"], "http://10.0.0.11");
        ASSERT_EQ(launcher_.commandLines.size(), 1u);
        EXPECT_NE(launcher_.commandLines[0].find("http://10.0.0.11"), std::string::npos);
    }
    {
        const Outcome r = Run({"console", "--device", "Bravo", "--print-url"});
        EXPECT_EQ(r.code, kExitRecorderFailed);
        EXPECT_EQ(r.err, std::string("ostrel-nvr: ") + kDeviceNoLongerAvailableText + "\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(probe_.Urls().size(), 3u);
}

TEST_F(CliRun, ApplyChecksTheWholePlanThenSendsAndVerifiesEachLine) {
    const auto write = [](const std::string& text) {
        const std::string path = ::testing::TempDir() + "/plan.csv";
        std::ofstream(path) << text;
        return path;
    };
    {
        // Line 3 is invalid: nothing is sent, not even line 2.
        const std::string plan = write(
            "device,ip,netmask,gateway,password\n"
            "Alpha,10.0.0.60,255.255.255.0,10.0.0.1,pw-Alpha\n"
            "Bravo,10.0.0.60,255.255.255.0,10.0.0.1,pw-Bravo\n");
        const Outcome r = Run({"apply", plan});
        EXPECT_EQ(r.code, kExitUsage);
        EXPECT_EQ(r.err, "ostrel-nvr: " + plan +
                             " line 3: the address 10.0.0.60 is also given on line 2\n");
        EXPECT_EQ(RecorderNamed("Alpha").state().lan[0].ip, "10.0.0.11");
    }
    const std::string plan = write(
        "device,ip,netmask,gateway,password\n"
        "Alpha,10.0.0.60,255.255.255.0,10.0.0.1,pw-Alpha\n"
        "Bravo,dhcp,,,pw-Bravo\n");
    {
        const Outcome r = Run({"apply", plan, "--dry-run"});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(r.out,
                  "line 2\tAlpha (10.0.0.11)\t10.0.0.60/255.255.255.0 gw 10.0.0.1\twould be sent\n"
                  "line 3\tBravo (10.0.1.21)\tdhcp\twould be sent\n");
        EXPECT_EQ(RecorderNamed("Alpha").state().lan[0].ip, "10.0.0.11");
        EXPECT_FALSE(RecorderNamed("Bravo").state().lan[0].dhcp);
    }
    {
        const Outcome r = Run({"apply", plan, "--json"});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        const auto json = nlohmann::json::parse(r.out);
        ASSERT_EQ(json.size(), 2u);
        EXPECT_EQ(json[0]["result"], "ok");
        EXPECT_EQ(json[1]["result"], "ok");
        EXPECT_EQ(RecorderNamed("Alpha").state().lan[0].ip, "10.0.0.60");
        EXPECT_TRUE(RecorderNamed("Bravo").state().lan[0].dhcp);
    }
    {
        // A wrong password is refused; the silent recorder does not answer.
        const Outcome r = Run({"apply", write("device,ip,netmask,gateway,password\n"
                                              "Alpha,10.0.0.61,255.255.255.0,10.0.0.1,wrong\n"
                                              "Silent,dhcp,,,pw-Silent\n")});
        EXPECT_EQ(r.code, kExitRecorderFailed);
        EXPECT_NE(r.out.find("line 2\tAlpha (10.0.0.60)\t10.0.0.61/255.255.255.0 gw "
                             "10.0.0.1\trefused\n"),
                  std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("line 3\tSilent (10.0.0.41)\tdhcp\tno answer\n"), std::string::npos)
            << r.out;
        EXPECT_EQ(RecorderNamed("Alpha").state().lan[0].ip, "10.0.0.60");
    }
    EXPECT_EQ(Run({"apply", ::testing::TempDir() + "/missing.csv"}).code, kExitUsage);
}

TEST_F(CliRun, ApplySendsEveryLineBeforeSearchingAndSearchesAtMostSixTimes) {
    Add(State("Ghost", 5, "KVR-620", "10.0.0.51"), 0).vanishesAfterAChange = true;
    const auto write = [](const std::string& text) {
        const std::string path = ::testing::TempDir() + "/plan-together.csv";
        std::ofstream(path) << "device,ip,netmask,gateway,password\n" << text;
        return path;
    };
    // The times of Alpha's requests of one opcode.
    const auto times = [&](std::uint16_t opcode) {
        std::vector<std::chrono::microseconds> at;
        for (const sim::RequestLogEntry& entry : RecorderNamed("Alpha").log()) {
            if (entry.opcode == opcode) {
                at.push_back(entry.at);
            }
        }
        return at;
    };
    const auto changeOf = [&](const std::string& name) {
        for (const sim::RequestLogEntry& entry : RecorderNamed(name).log()) {
            if (entry.opcode == OP_SET_LAN_STATIC || entry.opcode == OP_SET_LAN_DHCP) {
                return entry.at;
            }
        }
        return std::chrono::microseconds::max();
    };
    {
        const Outcome r =
            Run({"apply", write("Alpha,10.0.0.70,255.255.255.0,10.0.0.1,pw-Alpha\n"
                                "Bravo,dhcp,,,pw-Bravo\n"
                                "Ghost,10.0.0.72,255.255.255.0,10.0.0.1,pw-Ghost\n")});
        EXPECT_EQ(r.code, kExitRecorderFailed);
        EXPECT_EQ(r.out,
                  "line 2\tAlpha (10.0.0.11)\t10.0.0.70/255.255.255.0 gw 10.0.0.1\tok\n"
                  "line 3\tBravo (10.0.1.21)\tdhcp\tok\n"
                  "line 4\tGhost (10.0.0.51)\t10.0.0.72/255.255.255.0 gw 10.0.0.1\tnot found "
                  "after the change\n");
        // Every change went out before the first search that verifies them,
        // and the searches ran out at six for the recorder never seen again.
        const auto alphaChanged = changeOf("Alpha");
        const auto lastChange = std::max({alphaChanged, changeOf("Bravo"), changeOf("Ghost")});
        int after = 0;
        for (const auto at : times(OP_DISCOVER)) {
            EXPECT_TRUE(at < alphaChanged || at > lastChange);
            after += at > lastChange ? 1 : 0;
        }
        EXPECT_EQ(after, kVerifySearches);
        EXPECT_EQ(RecorderNamed("Ghost").state().lan[0].ip, "10.0.0.72");
    }
    {
        // When every changed recorder shows up in the first search, it is the only one.
        RecorderNamed("Alpha").ClearLog();
        const Outcome r =
            Run({"apply", write("Alpha,10.0.0.11,255.255.255.0,10.0.0.1,pw-Alpha\n")});
        EXPECT_EQ(r.code, kExitOk) << r.out << r.err;
        const auto changed = changeOf("Alpha");
        const auto searches = times(OP_DISCOVER);
        EXPECT_EQ(
            std::count_if(searches.begin(), searches.end(), [&](auto at) { return at > changed; }),
            1);
    }
}

std::string WriteTemp(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

// What the second bad-input probe found, grouped as its table is.

TEST_F(CliRun, BadInputCrashesNoMore) {
    {
        // A connection table line with a byte that is not UTF-8: JSON output
        // replaces it, as the search does, instead of aborting.
        drives_.Connect('R', "\\\\10.201.1.11\\V\xFF");
        const Outcome r = Run({"drives", "--json"});
        ASSERT_EQ(r.code, kExitOk) << r.err;
        const auto json = nlohmann::json::parse(r.out);
        EXPECT_EQ(json[8]["letter"], "R:");
        EXPECT_EQ(json[8]["remote"], "\\\\10.201.1.11\\V?");
    }
    {
        // A recorder's name that is not UTF-8, in every JSON the runs write.
        Add(State("Odd\xC3", 6, "KVR-620", "10.0.0.61"), 0);
        const std::string plan =
            WriteTemp("odd_plan.csv", "device,ip,password\n10.0.0.61,dhcp,pw-Odd\n");
        const Outcome r = Run({"apply", plan, "--dry-run", "--json"});
        ASSERT_EQ(r.code, kExitOk) << r.err;
        EXPECT_EQ(nlohmann::json::parse(r.out)[0]["device"], "Odd? (10.0.0.61)");
        WatchEvent event{WatchEvent::Kind::Changed, "key", {}, "name", "Odd\xC3", "Odd"};
        event.device.name = "Odd\xC3";
        EXPECT_NO_THROW(nlohmann::json::parse(FormatWatchEvent(event, true)));
    }
    {
        // A plan that is a folder, or that never ends: one line, nothing read
        // past the limit the help names.
        const Outcome folder = Run({"apply", ::testing::TempDir()});
        EXPECT_EQ(folder.code, kExitUsage);
        EXPECT_EQ(folder.err, "ostrel-nvr: " + ::testing::TempDir() + ": cannot be read\n");
        const Outcome endless = Run({"apply", "/dev/zero"});
        EXPECT_EQ(endless.code, kExitUsage);
        EXPECT_NE(endless.err.find("/dev/zero: is larger than 1 MiB"), std::string::npos)
            << endless.err;
        EXPECT_NE(Run({"apply", "--help"}).out.find("at most 1 MiB"), std::string::npos);
    }
}

TEST_F(CliRun, BadInputGivesNoWrongResult) {
    sim::RecorderState twoPorts = State("Delta", 8, "KVR-620", "10.0.0.71");
    twoPorts.lan.push_back(twoPorts.lan[0]);
    twoPorts.lan[1].ip = "10.0.0.72";
    Add(twoPorts, 0);
    {
        // Targets that cannot work are refused before anything is sent: this
        // computer's address, the recorder's other port, the network and
        // broadcast addresses of the new subnet.
        struct Row {
            const char* line;
            const char* error;
        };
        const Row rows[] = {
            {"Delta,10.0.0.2,255.255.255.0,10.0.0.1", "10.0.0.2 is this computer's own"},
            {"Delta,10.0.1.2,255.255.255.0,10.0.1.1", "10.0.1.2 is this computer's own"},
            {"Delta,10.0.0.72,255.255.255.0,10.0.0.1",
             "10.0.0.72 is already used by another port of Delta"},
            {"Delta,10.0.0.64,255.255.255.192,10.0.0.65", "10.0.0.64 is the network address"},
            {"Delta,10.0.0.127,255.255.255.192,10.0.0.65", "10.0.0.127 is the broadcast address"},
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.line);
            const std::string plan =
                WriteTemp("target_plan.csv", std::string("device,ip,netmask,gateway,password\n") +
                                                 row.line + ",pw-Delta\n");
            const std::size_t sentBefore = net_.Sent().size();
            const Outcome r = Run({"apply", plan});
            EXPECT_EQ(r.code, kExitUsage);
            EXPECT_NE(r.err.find(row.error), std::string::npos) << r.err;
            // Only the search went out.
            for (std::size_t i = sentBefore; i < net_.Sent().size(); ++i) {
                EXPECT_EQ(net_.Sent()[i].bytes[2], 101) << "request " << i;
            }
            EXPECT_EQ(RecorderNamed("Delta").state().lan[0].ip, "10.0.0.71");
        }
        const Outcome staticOwn = Run({"static", "--device", "Delta", "--ip", "10.0.0.2",
                                       "--netmask", "255.255.255.0", "--gateway", "10.0.0.1"},
                                      "pw-Delta");
        EXPECT_EQ(staticOwn.code, kExitUsage);
        EXPECT_NE(staticOwn.err.find("this computer's own"), std::string::npos) << staticOwn.err;
        // The control: the first host of the same small subnet.
        const Outcome fine = Run({"apply",
                                  WriteTemp("target_plan.csv",
                                            "device,ip,netmask,gateway,password\n"
                                            "Delta,10.0.0.65,255.255.255.192,10.0.0.66,pw-Delta\n"),
                                  "--dry-run"});
        EXPECT_EQ(fine.code, kExitOk) << fine.err;
    }
    {
        // Addresses a recorder announces in another form are shown as they
        // came, marked, and never turned into a URL, a share or a probe.
        Add(State("Octal", 9, "KVR-620", "10.0.0.0150"), 0);
        Add(State("Pathy", 10, "KVR-620", "localhost/abc"), 0);
        probe_.SetReachable("10.0.0.104", true);
        probe_.SetReachable("localhost", true);
        const Outcome search = Run({"search"});
        EXPECT_NE(search.out.find("\t10.0.0.0150 (invalid)\t"), std::string::npos) << search.out;
        EXPECT_NE(search.out.find("\tlocalhost/abc (invalid)\t"), std::string::npos);
        const auto json = nlohmann::json::parse(Run({"search", "--json"}).out);
        for (const auto& device : json) {
            EXPECT_EQ(device["ip_valid"], device["name"] != "Octal" && device["name"] != "Pathy")
                << device.dump();
        }
        for (const char* name : {"Octal", "Pathy"}) {
            SCOPED_TRACE(name);
            const Outcome console = Run({"console", "--device", name});
            EXPECT_EQ(console.code, kExitRecorderFailed);
            EXPECT_NE(console.err.find("not a dotted-decimal IPv4 address"), std::string::npos)
                << console.err;
            const Outcome map = Run({"map", "--device", name, "--volume", "Volume_1"},
                                    ("pw-" + std::string(name)).c_str());
            EXPECT_EQ(map.code, kExitRecorderFailed);
        }
        EXPECT_TRUE(probe_.Urls().empty());
        EXPECT_TRUE(launcher_.commandLines.empty());
        EXPECT_TRUE(drives_.addCalls.empty());
    }
}

TEST(CliWatch, AFailedWriteEndsTheWatchWithCodeOne) {
    std::ostream lost(nullptr);  // every write fails
    Options options;
    options.command = Command::Watch;
    int searches = 0;
    const auto search = [&] {
        ++searches;
        DeviceSummary device;
        device.name = "Alpha";
        device.ip = "10.0.0.11";
        return std::vector<DeviceSummary>{device};
    };
    EXPECT_EQ(RunWatch(options, search, lost, 5), 1);
    EXPECT_EQ(searches, 1);
}

// A host whose only interface has no carrier.
class CarrierlessNetIo final : public NetIo {
public:
    std::vector<std::string> ListLocalAddresses() override { return {}; }
    std::vector<LocalAddressVerdict> DescribeLocalAddresses() override {
        return {{"eth9", "10.9.9.9", LeftOutReason::NoCarrier}};
    }
    int OpenSendSocket(const std::string&) override { return -1; }
    int OpenReceiveSocket(const std::string&) override { return -1; }
    void CloseSocket(int) override {}
    bool SetMulticastInterface(int, const std::string&) override { return false; }
    bool SendToGroup(int, std::span<const std::uint8_t>) override { return false; }
    WaitResult WaitReadable(int, std::chrono::microseconds) override { return WaitResult::Error; }
    std::ptrdiff_t Receive(int, std::span<std::uint8_t>) override { return -1; }
    void Sleep(std::chrono::microseconds) override {}
    std::chrono::microseconds Now() override { return {}; }
};

TEST_F(CliRun, BadInputGetsAClearMessage) {
    {
        // Drive failures in words, after the window's own text.
        struct Row {
            std::uint32_t code;
            const char* words;
        };
        using namespace ostrel::platform;
        const Row rows[] = {
            {ERROR_BAD_NETPATH, "no such host"},
            {ERROR_BAD_NET_NAME, "no such share"},
            {ERROR_LOGON_FAILURE, "wrong user name or password"},
            {ERROR_BAD_PROFILE, "the configuration folder cannot be written"},
            {ERROR_BUSY, "the connection table is in use by another program"},
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.words);
            drives_.scriptedAddResults.assign(8, row.code);
            const Outcome r = Run({"map", "--device", "Alpha", "--volume", "Volume_1"}, "pw-Alpha");
            EXPECT_EQ(r.code, kExitRecorderFailed);
            EXPECT_NE(r.err.find(kMapFailedText), std::string::npos) << r.err;
            EXPECT_NE(r.err.find(row.words), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("(error " + std::to_string(row.code) + ")\n"), std::string::npos);
        }
        drives_.scriptedAddResults.clear();
        const Outcome never = Run({"unmap", "Q:"});
        EXPECT_EQ(never.code, kExitRecorderFailed);
        EXPECT_EQ(never.err, "ostrel-nvr: Q: is not connected\n");
        drives_.Connect('Q', "\\\\10.0.0.11\\Volume_1");
        drives_.cancelResult = ERROR_BUSY;
        const Outcome busy = Run({"unmap", "Q:"});
        EXPECT_EQ(busy.code, kExitRecorderFailed);
        EXPECT_NE(busy.err.find("Q: cannot be disconnected: the connection table is in use"),
                  std::string::npos)
            << busy.err;
        drives_.cancelResult.reset();
    }
    {
        // An empty letter is no letter.
        drives_.addCalls.clear();
        const Outcome r =
            Run({"map", "--device", "Alpha", "--volume", "Volume_1", "--letter", ""}, "pw-Alpha");
        EXPECT_EQ(r.code, kExitUsage);
        EXPECT_EQ(r.err, "ostrel-nvr: --letter needs a drive letter (X:)\n");
        EXPECT_TRUE(drives_.addCalls.empty());
    }
    {
        // A spreadsheet's byte-order mark is accepted; a NUL byte is refused;
        // errors name the column.
        const Outcome bom = Run({"apply",
                                 WriteTemp("bom_plan.csv",
                                           "\xEF\xBB\xBF"
                                           "device,ip,password\nAlpha,dhcp,pw\n"),
                                 "--dry-run"});
        EXPECT_EQ(bom.code, kExitOk) << bom.err;
        std::string withNul = "device,ip,password\nAlpha,dh";
        withNul += '\0';
        withNul += "cp,pw\n";
        const std::string nulPlan = WriteTemp("nul_plan.csv", withNul);
        const Outcome nul = Run({"apply", nulPlan, "--dry-run"});
        EXPECT_EQ(nul.code, kExitUsage);
        EXPECT_EQ(nul.err,
                  "ostrel-nvr: " + nulPlan + " line 2: holds a NUL byte; a plan is text\n");
        const Outcome column =
            Run({"apply",
                 WriteTemp("column_plan.csv",
                           "device,ip,netmask,password\nAlpha,10.0.0.60,255.255.0.x,pw\n"),
                 "--dry-run"});
        EXPECT_EQ(column.code, kExitUsage);
        EXPECT_NE(column.err.find("\"255.255.0.x\" in column netmask"), std::string::npos)
            << column.err;
    }
    {
        // No usable interface: --verbose still says why each address was left out.
        CarrierlessNetIo carrierless;
        ScopedActiveNetIo scope(carrierless);
        const Outcome r = Run({"search", "--verbose"});
        EXPECT_EQ(r.code, kExitRecorderFailed);
        EXPECT_EQ(r.err.rfind("left out 10.9.9.9 (eth9): no carrier\nostrel-nvr: no usable", 0), 0u)
            << r.err;
    }
}

// Runs the built program with its configuration folder in the test's own
// folder; standard output and error come back from files.
struct ProgramOutcome {
    int code;
    std::string out;
    std::string err;
};
ProgramOutcome RunProgramWithConfig(const std::string& configHome, const std::string& arguments) {
    const std::string outFile = ::testing::TempDir() + "/program_out.txt";
    const std::string errFile = ::testing::TempDir() + "/program_err.txt";
    const std::string command = "XDG_CONFIG_HOME='" + configHome + "' '" + OSTREL_NVR_BINARY +
                                "' " + arguments + " >'" + outFile + "' 2>'" + errFile + "'";
    const int status = std::system(command.c_str());
    const auto read = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read(outFile), read(errFile)};
}

TEST(CliTable, LinesTheTableCannotReadAreNamedOnceAndKept) {
    const std::string home = ::testing::TempDir() + "/table_home";
    std::filesystem::create_directories(home + "/ostrel-nvr");
    const std::string table =
        "R:\t\\\\10.201.1.11\\V\xFF\tadmin\n"
        "Q: \\\\10.201.1.12\\V user\n"
        "P:\t\\\\10.201.1.13\\V\tadmin\r\n";
    WriteTemp("table_home/ostrel-nvr/network-drives", table);
    const ProgramOutcome r = RunProgramWithConfig(home, "drives --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_EQ(json[8]["remote"], "\\\\10.201.1.11\\V?");
    EXPECT_EQ(json[9]["free"], true);
    EXPECT_EQ(json[10]["remote"], "\\\\10.201.1.13\\V");
    EXPECT_EQ(r.err, "ostrel-nvr: warning: " + home +
                         "/ostrel-nvr/network-drives line 2 is not a connection; it is ignored "
                         "and kept as it is: Q: \\\\10.201.1.12\\V user\n");
    std::ifstream file(home + "/ostrel-nvr/network-drives", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), table);
}

}  // namespace
}  // namespace cli
