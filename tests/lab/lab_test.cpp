#include <algorithm>
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "protocol/device_table.h"
#include "protocol/globals.h"
#include "protocol/local_addresses.h"
#include "protocol/network.h"
#include "protocol/operations.h"
#include "protocol/session_id.h"
#include "tests/lab/lab_support.h"
#include "tests/lab/require_lab.h"

// Black-box tests of the product on real sockets: ostrel-nvr and the protocol
// library in the lab's client namespace, simulated recorders behind two
// subnets, smbd sharing their volumes.
namespace {

lab::ProcessResult Cli(std::vector<std::string> args, const std::string& password = "") {
    args.insert(args.begin(), OSTREL_NVR_PATH);
    if (password.empty()) {
        return lab::RunProcess(args);
    }
    args.push_back("--password-stdin");
    return lab::RunProcess(args, password + "\n");
}

nlohmann::json Search() {
    const lab::ProcessResult r = Cli({"search", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const nlohmann::json json = nlohmann::json::parse(r.out, nullptr, false);
    EXPECT_TRUE(json.is_array()) << r.out;
    return json.is_array() ? json : nlohmann::json::array();
}

std::vector<nlohmann::json> EntriesWithId(const nlohmann::json& search, const std::string& id) {
    std::vector<nlohmann::json> found;
    for (const auto& entry : search) {
        if (entry.value("id", "") == id) {
            found.push_back(entry);
        }
    }
    return found;
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// The mutable recorder back at its address, whatever a failed test left.
void RestoreAddress(const lab::Recorder& recorder) {
    Cli({"static", "--device", recorder.id, "--ip", recorder.ip, "--netmask", recorder.netmask,
         "--gateway", recorder.gateway},
        recorder.password);
}

TEST(LabSearch, FindsEachSupportedRecorderOnceWithItsInterface) {
    REQUIRE_LAB();
    const nlohmann::json search = Search();
    std::size_t supported = 0;
    for (const lab::Recorder& recorder : info.recorders) {
        const auto entries = EntriesWithId(search, recorder.id);
        if (!recorder.supported) {
            EXPECT_TRUE(entries.empty())
                << recorder.name << " (" << recorder.model << ") must not be listed";
            continue;
        }
        ++supported;
        ASSERT_EQ(entries.size(), 1u) << recorder.name << " must be listed exactly once";
        EXPECT_EQ(entries[0]["name"], recorder.name);
        EXPECT_EQ(entries[0]["model"], recorder.model);
        EXPECT_EQ(entries[0]["interface"], recorder.interfaceAddress) << recorder.name;
        if (recorder.role != "mutable") {
            EXPECT_EQ(entries[0]["ip"], recorder.ip);
            EXPECT_EQ(entries[0]["netmask"], recorder.netmask);
            EXPECT_EQ(entries[0]["gateway"], recorder.gateway);
            EXPECT_EQ(entries[0]["dhcp"], false);
        }
    }
    EXPECT_EQ(search.size(), supported) << search.dump(1);
    EXPECT_GE(info.clientAddresses.size(), 2u);

    const lab::ProcessResult text = Cli({"search"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(Lines(text.out), static_cast<int>(supported)) << text.out;
}

TEST(LabLogin, RightPasswordSucceedsAndWrongOneFails) {
    REQUIRE_LAB();
    const lab::Recorder* plain = info.ByKey("r2");
    const lab::Recorder* dual = info.ByRole("dual-port");
    ASSERT_TRUE(plain && dual);
    {
        const lab::ProcessResult r = Cli({"login", "--device", plain->name}, plain->password);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("succeeded"), std::string::npos);
    }
    {
        const lab::ProcessResult r = Cli({"login", "--device", plain->name}, plain->password + "x");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(Lines(r.err), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    {
        // Selected by the address of its second LAN port; password from the environment.
        ASSERT_GE(dual->ports.size(), 2u);
        lab::ProcessResult r =
            lab::RunProcess({OSTREL_NVR_PATH, "login", "--device", dual->ports[1]}, "",
                            {"OSTREL_PASSWORD=" + dual->password});
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }
    EXPECT_EQ(Cli({"login", "--device", "10.201.9.9"}, "x").exitCode, 3);
}

TEST(LabVolumes, ListsTheRecordersVolumes) {
    REQUIRE_LAB();
    for (const lab::Recorder& recorder : info.recorders) {
        if (!recorder.supported || recorder.role == "silent" || recorder.role == "mutable") {
            continue;
        }
        const lab::ProcessResult r =
            Cli({"volumes", "--device", recorder.id, "--json"}, recorder.password);
        ASSERT_EQ(r.exitCode, 0) << recorder.name << ": " << r.err;
        EXPECT_EQ(nlohmann::json::parse(r.out), nlohmann::json(recorder.volumes)) << recorder.name;
    }
    const lab::Recorder* r3 = info.ByKey("r3");
    ASSERT_TRUE(r3);
    const lab::ProcessResult wrong = Cli({"volumes", "--device", r3->name}, "not-the-password");
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.out.empty());
}

TEST(LabLan, StaticChangeMovesTheRecorderAndItsConsole) {
    REQUIRE_LAB();
    const lab::Recorder* recorder = info.ByRole("mutable");
    ASSERT_TRUE(recorder);
    const std::string moved = recorder->ip.substr(0, recorder->ip.rfind('.')) + ".52";
    ASSERT_NE(moved, recorder->ip);

    const lab::ProcessResult r =
        Cli({"static", "--device", recorder->name, "--ip", moved, "--netmask", recorder->netmask,
             "--gateway", recorder->gateway},
            recorder->password);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    {
        const auto entries = EntriesWithId(Search(), recorder->id);
        ASSERT_EQ(entries.size(), 1u) << "the recorder must answer at its new address";
        EXPECT_EQ(entries[0]["ip"], moved);
        EXPECT_EQ(entries[0]["dhcp"], false);
        const std::string page = lab::HttpGet(moved);
        EXPECT_NE(page.find("200 OK"), std::string::npos) << page;
        EXPECT_NE(page.find(recorder->name), std::string::npos);
        EXPECT_TRUE(lab::HttpGet(recorder->ip, 80, std::chrono::milliseconds(1000)).empty())
            << "the old address must be gone";
    }
    // Back again, addressed by its new address this time.
    const lab::ProcessResult back =
        Cli({"static", "--device", moved, "--ip", recorder->ip, "--netmask", recorder->netmask,
             "--gateway", recorder->gateway},
            recorder->password);
    EXPECT_EQ(back.exitCode, 0) << back.err;
    const auto entries = EntriesWithId(Search(), recorder->id);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["ip"], recorder->ip);
    if (::testing::Test::HasFailure()) {
        RestoreAddress(*recorder);
    }
}

TEST(LabLan, StaticChangeRefusedByTheRulesSendsNothing) {
    REQUIRE_LAB();
    const lab::Recorder* recorder = info.ByRole("mutable");
    ASSERT_TRUE(recorder);
    const lab::ProcessResult r = Cli({"static", "--device", recorder->name, "--ip", "127.0.0.5",
                                      "--netmask", "255.0.0.0", "--gateway", "127.0.0.1"},
                                     recorder->password);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "ostrel-nvr: IP address input error. Please try again.\n");
}

TEST(LabLan, DhcpSwitchTakesAnAddressFromThePool) {
    REQUIRE_LAB();
    const lab::Recorder* recorder = info.ByRole("mutable");
    ASSERT_TRUE(recorder);
    const lab::ProcessResult r = Cli({"dhcp", "--device", recorder->name}, recorder->password);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "DHCP client enabled.\n");
    {
        const auto entries = EntriesWithId(Search(), recorder->id);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0]["dhcp"], true);
        const std::string leased = entries[0].value("ip", "");
        EXPECT_NE(leased, recorder->ip);
        EXPECT_NE(lab::HttpGet(leased).find(recorder->name), std::string::npos)
            << "console at " << leased;
    }
    RestoreAddress(*recorder);
    const auto entries = EntriesWithId(Search(), recorder->id);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["ip"], recorder->ip);
    EXPECT_EQ(entries[0]["dhcp"], false);
}

TEST(LabSilent, OperationsFailAgainstARecorderThatDoesNotAnswer) {
    REQUIRE_LAB();
    const lab::Recorder* silent = info.ByRole("silent");
    ASSERT_TRUE(silent);
    const lab::ProcessResult login = Cli({"login", "--device", silent->name}, silent->password);
    EXPECT_EQ(login.exitCode, 1) << login.out;
    EXPECT_EQ(Lines(login.err), 1);
    const lab::ProcessResult volumes = Cli({"volumes", "--device", silent->id}, silent->password);
    EXPECT_EQ(volumes.exitCode, 1);
    EXPECT_TRUE(volumes.out.empty());
}

// A phantom recorder known on slot A only, and forged "accepted" replies for
// it sent to the group from a namespace on subnet A or on subnet B. The
// receive socket of slot A must take the first and never the second.
class LabInterfaces : public ::testing::Test {
protected:
    static constexpr DeviceId kPhantom = {0x00, 0x1A, 0x2B, 0xEE, 0xEE, 0xEE, 0x00, 0x99};

    int LoginWhileForging(const lab::Recorder& sender) {
        ResetProtocolGlobals();
        InitNetwork();
        int slotA = -1;
        for (std::size_t i = 0; i < LocalAddressTable.size(); ++i) {
            if (LocalAddressTable[i].address == lab::CurrentLab()->clientAddresses[0]) {
                slotA = static_cast<int>(i);
            }
        }
        EXPECT_GE(slotA, 0);
        DeviceRecord phantom;
        phantom.deviceId = kPhantom;
        phantom.interfaceIndex = slotA;
        DeviceTable.push_back(phantom);
        CurrentTargetId = kPhantom;
        LoginUser = "admin";
        LoginPassword = "whatever";

        // The forgeries start after the 1 s drain and last through the polling.
        lab::GroupSender::Plan plan;
        plan.netns = sender.netns;
        plan.localAddress = sender.ip;
        plan.datagram = lab::ForgedReply(OP_LOGIN, 1, SessionId, kPhantom);
        plan.startAfter = std::chrono::milliseconds(1200);
        plan.duration = std::chrono::milliseconds(2000);
        plan.perSecond = 200;
        lab::GroupSender forger(plan);
        const int result = Login();
        forger.Stop();
        EXPECT_TRUE(forger.Error().empty()) << forger.Error();
        EXPECT_GT(forger.Sent(), 0);
        ClearDeviceTable();
        ShutdownNetwork();
        return result;
    }
};

TEST_F(LabInterfaces, AReplyArrivingOnInterfaceBIsNeverTakenBySlotA) {
    REQUIRE_LAB();
    const lab::Recorder* onA = info.ByKey("r2");
    const lab::Recorder* onB = info.ByKey("r3");
    ASSERT_TRUE(onA && onB);
    ASSERT_EQ(onA->interfaceAddress, info.clientAddresses[0]);
    ASSERT_EQ(onB->interfaceAddress, info.clientAddresses[1]);
    EXPECT_EQ(LoginWhileForging(*onB), 0) << "slot A took a datagram that arrived on interface B";
    // The same forgery arriving on interface A is taken: the check above can fail.
    EXPECT_EQ(LoginWhileForging(*onA), 1);
}

// The client's interface without carrier (scripts/lab idle-link), present for
// the life of the object.
class IdleInterface {
public:
    explicit IdleInterface(const lab::Info& info) : prefix_("OSTREL_LAB_PREFIX=" + info.prefix) {
        std::ifstream file(std::string(OSTREL_SOURCE_DIR) + "/scripts/lab.json");
        const auto idle = nlohmann::json::parse(file, nullptr, false)["client"]["idle_interface"];
        name = idle.value("name", "");
        address = idle.value("ip", "");
        added = Script("add").exitCode == 0;
    }
    ~IdleInterface() { Script("remove"); }
    IdleInterface(const IdleInterface&) = delete;
    IdleInterface& operator=(const IdleInterface&) = delete;

    // Packets the interface sent or dropped on sending so far; -1 when unknown.
    long long TxPackets() const {
        const lab::ProcessResult r =
            lab::RunProcess({"ip", "-s", "-j", "link", "show", "dev", name});
        const auto json = nlohmann::json::parse(r.out, nullptr, false);
        if (!json.is_array() || json.empty()) {
            return -1;
        }
        const auto& tx = json[0]["stats64"]["tx"];
        return tx.value("packets", 0LL) + tx.value("dropped", 0LL);
    }

    std::string name;
    std::string address;
    bool added = false;

private:
    lab::ProcessResult Script(const std::string& action) const {
        return lab::RunProcess(
            {std::string(OSTREL_SOURCE_DIR) + "/scripts/lab", "idle-link", action}, "", {prefix_});
    }
    std::string prefix_;
};

// An interface that is up but has no carrier (an idle container bridge)
// cannot carry a reply: it is left out, named as such, and nothing is sent
// through it, while every recorder is still found.
TEST(LabIdleInterface, AnInterfaceWithoutCarrierIsLeftOutAndNamed) {
    REQUIRE_LAB();
    IdleInterface idle(info);
    ASSERT_TRUE(idle.added) << "scripts/lab idle-link add failed";
    ASSERT_FALSE(idle.name.empty());
    const long long txBefore = idle.TxPackets();
    ASSERT_GE(txBefore, 0);

    const lab::ProcessResult r = Cli({"search", "--json", "--verbose"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const nlohmann::json json = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_TRUE(json.is_object()) << r.out;
    std::size_t supported = 0;
    for (const lab::Recorder& recorder : info.recorders) {
        if (recorder.supported) {
            ++supported;
            EXPECT_EQ(EntriesWithId(json["recorders"], recorder.id).size(), 1u) << recorder.name;
        }
    }
    EXPECT_EQ(json["recorders"].size(), supported);
    std::vector<std::string> searched;
    for (const auto& entry : json["searched"]) {
        searched.push_back(entry.value("address", ""));
    }
    EXPECT_EQ(searched, info.clientAddresses) << "the client's interfaces with carrier, in order";
    nlohmann::json leftOut = nlohmann::json::array();  // loopback aside
    for (const auto& entry : json["left_out"]) {
        if (entry.value("reason", "") != "loopback") {
            leftOut.push_back(entry);
        }
    }
    EXPECT_EQ(leftOut,
              nlohmann::json::parse(R"([{"interface": ")" + idle.name + R"(", "address": ")" +
                                    idle.address + R"(", "reason": "no carrier"}])"))
        << json["left_out"].dump();

    const lab::ProcessResult text = Cli({"search", "--verbose"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(Lines(text.out), static_cast<int>(supported));
    EXPECT_NE(text.err.find("left out " + idle.address + " (" + idle.name + "): no carrier\n"),
              std::string::npos)
        << text.err;
    EXPECT_EQ(idle.TxPackets(), txBefore) << "a datagram went out through " << idle.name;
}

TEST(LabSmb, ShareAcceptsTheAdministratorAndRefusesOthers) {
    REQUIRE_LAB();
    const lab::Recorder* recorder = info.ByKey("r3");
    ASSERT_TRUE(recorder && recorder->smb && !recorder->volumes.empty());
    const std::string share = "//" + recorder->ip + "/" + recorder->volumes[0];
    const std::string marker = "lab-smb-" + std::to_string(getpid());
    {
        const lab::ProcessResult r = lab::RunProcess(
            {"smbclient", share, "-U", "admin%" + recorder->password, "-c", "mkdir " + marker});
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_EQ(
            access((recorder->shareRoot + "/" + recorder->volumes[0] + "/" + marker).c_str(), F_OK),
            0)
            << "the folder written through the share is in the volume's folder";
        lab::RunProcess(
            {"smbclient", share, "-U", "admin%" + recorder->password, "-c", "rmdir " + marker});
    }
    {
        const lab::ProcessResult r = lab::RunProcess(
            {"smbclient", share, "-U", "admin%" + recorder->password + "x", "-c", "ls"});
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE((r.out + r.err).find("NT_STATUS_LOGON_FAILURE"), std::string::npos)
            << r.out << r.err;
    }
    {
        const lab::ProcessResult r =
            lab::RunProcess({"smbclient", "//" + recorder->ip + "/NoSuchVolume", "-U",
                             "admin%" + recorder->password, "-c", "ls"});
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE((r.out + r.err).find("NT_STATUS_BAD_NETWORK_NAME"), std::string::npos)
            << r.out << r.err;
    }
    {
        const lab::ProcessResult r = lab::RunProcess({"smbclient", "-N", share, "-c", "ls"});
        EXPECT_NE(r.exitCode, 0) << "anonymous access must be refused";
    }
}

}  // namespace
