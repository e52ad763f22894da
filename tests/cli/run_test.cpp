#include <memory>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
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
        for (const sim::Reply& reply : recorder.Handle(bytes, net.Now())) {
            net.Deliver(interfaceIndex, reply.bytes, reply.delay);
        }
    }
    sim::Recorder recorder;
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
        const int code = RunCli(args, in, out, err, password);
        return {code, out.str(), err.str()};
    }

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

}  // namespace
}  // namespace cli
