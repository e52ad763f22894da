// The lab's topology (scripts/lab.json) is the one source of its recorders:
// the README's table, the roles the lab support knows, and the description
// scripts/lab writes (read back by the lab support) must all say the same.
// Needs neither root nor the lab.
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "protocol/device_key.h"
#include "tests/lab/lab_support.h"

namespace {

const std::string kSource = OSTREL_SOURCE_DIR;

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

nlohmann::json Topology() {
    return nlohmann::json::parse(ReadFile(kSource + "/scripts/lab.json"));
}

// The recorders a lab may run: the topology's, then the slow one of --slow.
std::vector<nlohmann::json> AllRecorders(const nlohmann::json& topology) {
    std::vector<nlohmann::json> all(topology["recorders"].begin(), topology["recorders"].end());
    all.push_back(topology["slow_recorder"]);
    return all;
}

std::string Trim(std::string text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// "a, b (a note)" -> {"a", "b"}
std::vector<std::string> List(std::string cell) {
    if (const auto note = cell.find(" ("); note != std::string::npos) {
        cell.resize(note);
    }
    std::vector<std::string> items;
    std::istringstream in(cell);
    for (std::string item; std::getline(in, item, ',');) {
        items.push_back(Trim(item));
    }
    return items;
}

std::vector<std::string> Strings(const nlohmann::json& array) {
    return array.get<std::vector<std::string>>();
}

std::vector<std::string> PortIps(const nlohmann::json& recorder) {
    std::vector<std::string> ips;
    for (const auto& port : recorder["ports"]) {
        ips.push_back(port["ip"]);
    }
    return ips;
}

TEST(LabTopology, TheReadmeTableShowsEveryRecorderAsTheTopologyHasIt) {
    const nlohmann::json topology = Topology();
    std::map<std::string, std::vector<std::string>> rows;  // key -> cells
    std::istringstream readme(ReadFile(kSource + "/tests/lab/README.md"));
    for (std::string line; std::getline(readme, line);) {
        if (!line.starts_with("| r")) {
            continue;
        }
        std::vector<std::string> cells;
        std::istringstream in(line.substr(1));
        for (std::string cell; std::getline(in, cell, '|');) {
            cells.push_back(Trim(cell));
        }
        ASSERT_EQ(cells.size(), 8u) << line;
        rows[cells[0]] = cells;
    }
    const auto recorders = AllRecorders(topology);
    EXPECT_EQ(rows.size(), recorders.size()) << "one row per recorder, no more";
    for (const auto& recorder : recorders) {
        const std::string key = recorder["key"];
        SCOPED_TRACE(key);
        ASSERT_TRUE(rows.contains(key));
        const auto& cells = rows[key];
        EXPECT_EQ(cells[1], "`<p>-" + key + "`");
        EXPECT_EQ(cells[2], recorder["name"]);
        EXPECT_EQ(List(cells[3]), std::vector<std::string>{recorder["model"]});
        EXPECT_EQ(List(cells[4]), PortIps(recorder));
        EXPECT_EQ(cells[5], recorder["password"]);
        EXPECT_EQ(List(cells[6]), Strings(recorder["volumes"]));
        EXPECT_EQ(cells[7], recorder["role"]);
    }
    const std::string text = ReadFile(kSource + "/tests/lab/README.md");
    for (const auto& iface : topology["client"]["interfaces"]) {
        EXPECT_NE(text.find(iface["ip"].get<std::string>()), std::string::npos)
            << "the README names the client address " << iface["ip"];
    }
}

TEST(LabTopology, EveryRoleIsOneTheLabSupportKnowsAndEachIsGiven) {
    const nlohmann::json topology = Topology();
    std::set<std::string> given;
    std::set<std::string> keys;
    for (const auto& recorder : AllRecorders(topology)) {
        const std::string role = recorder["role"];
        EXPECT_NE(std::find(lab::kRoles.begin(), lab::kRoles.end(), role), lab::kRoles.end())
            << recorder["key"] << " has the unknown role " << role;
        given.insert(role);
        EXPECT_TRUE(keys.insert(recorder["key"]).second) << "key " << recorder["key"] << " twice";
    }
    for (const std::string_view role : lab::kRoles) {
        EXPECT_TRUE(given.contains(std::string(role))) << "no recorder has the role " << role;
    }
}

// What "scripts/lab plan" prints is the info file an up would write.
TEST(LabTopology, TheLabsDescriptionIsTheTopologyAsTheLabSupportReadsIt) {
    if (lab::RunProcess({"jq", "--version"}).exitCode != 0) {
        GTEST_SKIP() << "jq is not installed";
    }
    const nlohmann::json topology = Topology();
    const lab::ProcessResult plan = lab::RunProcess(
        {kSource + "/scripts/lab", "plan", "--slow", "250", "--burst", "3", "--no-smb"}, "",
        {"OSTREL_LAB_PREFIX=topo"});
    ASSERT_EQ(plan.exitCode, 0) << plan.err;
    std::string why;
    const std::optional<lab::Info> info = lab::ParseInfo(plan.out, "from scripts/lab plan", why);
    ASSERT_TRUE(info) << why;

    EXPECT_EQ(info->prefix, "topo");
    EXPECT_EQ(info->clientNetns, "topo-cli");
    std::vector<std::string> clientIps;
    for (const auto& iface : topology["client"]["interfaces"]) {
        clientIps.push_back(iface["ip"]);
    }
    EXPECT_EQ(info->clientAddresses, clientIps);

    const auto recorders = AllRecorders(topology);
    ASSERT_EQ(info->recorders.size(), recorders.size());
    const auto supported = Strings(topology["supported_models"]);
    for (std::size_t i = 0; i < recorders.size(); ++i) {
        const nlohmann::json& want = recorders[i];
        const lab::Recorder& got = info->recorders[i];
        SCOPED_TRACE(got.key);
        EXPECT_EQ(got.key, want["key"]);
        EXPECT_EQ(got.netns, "topo-" + got.key);
        EXPECT_EQ(got.name, want["name"]);
        EXPECT_EQ(got.model, want["model"]);
        EXPECT_EQ(got.supported,
                  std::find(supported.begin(), supported.end(), got.model) != supported.end());
        // The id as the product writes its device key.
        DeviceId id{};
        ASSERT_EQ(ReadDeviceKey(want["id"].get<std::string>(), DeviceKeyStrictness::Exact, id), 8);
        EXPECT_EQ(got.id, DeviceKey(id));
        EXPECT_EQ(got.user, topology["user"]);
        EXPECT_EQ(got.password, want["password"]);
        EXPECT_EQ(got.ports, PortIps(want));
        EXPECT_EQ(got.ip, got.ports.front());
        EXPECT_EQ(got.netmask, topology["netmask"]);
        EXPECT_EQ(got.gateway, got.ip.substr(0, got.ip.rfind('.')) + ".1");
        const std::string subnet = want["ports"][0]["subnet"];
        for (const auto& iface : topology["client"]["interfaces"]) {
            if (iface["subnet"] == subnet) {
                EXPECT_EQ(got.interfaceAddress, iface["ip"]);
            }
        }
        EXPECT_EQ(got.volumes, Strings(want["volumes"]));
        EXPECT_EQ(got.role, want["role"]);
        EXPECT_EQ(got.applyAddresses, want["apply_addresses"].get<bool>());
        EXPECT_FALSE(got.smb);
    }
    EXPECT_EQ(info->burstCount, 3);
    EXPECT_EQ(
        info->burstFirstIp,
        topology["subnets"][topology["burst"]["subnet"].get<std::string>()].get<std::string>() +
            "." + std::to_string(topology["burst"]["first_host"].get<int>()));
    EXPECT_EQ(info->burstPassword, topology["burst"]["password"]);
}

// "scripts/lab plan" with the given options, read by the lab support.
std::optional<lab::Info> Plan(std::vector<std::string> options, std::string& why) {
    options.insert(options.begin(), {kSource + "/scripts/lab", "plan", "--no-smb"});
    const lab::ProcessResult plan = lab::RunProcess(options, "", {"OSTREL_LAB_PREFIX=topo"});
    if (plan.exitCode != 0) {
        why = plan.err;
        return std::nullopt;
    }
    return lab::ParseInfo(plan.out, "from scripts/lab plan", why);
}

// A batch re-addressing across both interfaces needs, on each of them, a
// recorder whose address really moves; every other lab test keeps its own.
TEST(LabTopology, TheNormalLabCanMoveARecorderOnEachInterface) {
    if (lab::RunProcess({"jq", "--version"}).exitCode != 0) {
        GTEST_SKIP() << "jq is not installed";
    }
    std::string why;
    const std::optional<lab::Info> info = Plan({}, why);
    ASSERT_TRUE(info) << why;
    for (const std::string& address : info->clientAddresses) {
        const auto movable = info->Movable();
        EXPECT_TRUE(std::any_of(
            movable.begin(), movable.end(),
            [&](const lab::Recorder* r) { return r->interfaceAddress == address && r->supported; }))
            << "no re-addressable recorder behind " << address;
    }
}

// "up --movable N" adds N re-addressable recorders that clash with nothing
// else the lab can run, spread over both interfaces; with the normal lab's
// own, --movable 8 gives the ten the apply benchmark moves.
TEST(LabTopology, MovableRecordersAreUniqueAndSpreadOverBothInterfaces) {
    if (lab::RunProcess({"jq", "--version"}).exitCode != 0) {
        GTEST_SKIP() << "jq is not installed";
    }
    std::string why;
    const std::optional<lab::Info> base = Plan({"--slow", "0"}, why);
    ASSERT_TRUE(base) << why;
    const std::optional<lab::Info> full = Plan({"--slow", "0", "--movable", "10"}, why);
    ASSERT_TRUE(full) << why;
    ASSERT_EQ(full->recorders.size(), base->recorders.size() + 10);

    const nlohmann::json topology = Topology();
    std::set<std::string> keys;
    std::set<std::string> ids;
    // Every address a recorder holds or may be given by its DHCP pool.
    std::set<std::string> addresses(full->clientAddresses.begin(), full->clientAddresses.end());
    for (const auto& recorder : AllRecorders(topology)) {
        if (const auto pool = recorder["sim"].find("dhcpPool"); pool != recorder["sim"].end()) {
            for (const auto& ip : (*pool)["addresses"]) {
                addresses.insert(ip.get<std::string>());
            }
        }
    }
    std::map<std::string, int> perInterface;
    for (std::size_t i = 0; i < full->recorders.size(); ++i) {
        const lab::Recorder& r = full->recorders[i];
        SCOPED_TRACE(r.key);
        EXPECT_TRUE(keys.insert(r.key).second);
        EXPECT_TRUE(ids.insert(r.id).second);
        for (const std::string& ip : r.ports) {
            EXPECT_TRUE(addresses.insert(ip).second) << ip << " twice";
        }
        if (i < base->recorders.size()) {
            EXPECT_EQ(r.key, base->recorders[i].key) << "the normal recorders stay as they are";
            EXPECT_EQ(r.ip, base->recorders[i].ip);
            continue;
        }
        EXPECT_TRUE(r.applyAddresses);
        EXPECT_TRUE(r.supported);
        EXPECT_NE(std::find(lab::kRoles.begin(), lab::kRoles.end(), r.role), lab::kRoles.end());
        EXPECT_EQ(r.netns, "topo-" + r.key);
        ++perInterface[r.interfaceAddress];
        // Below the burst recorders' range, which may share the lab.
        const int host = std::stoi(r.ip.substr(r.ip.rfind('.') + 1));
        EXPECT_LT(host, topology["burst"]["first_host"].get<int>());
    }
    ASSERT_EQ(perInterface.size(), full->clientAddresses.size());
    for (const auto& [address, count] : perInterface) {
        EXPECT_EQ(count, 5) << address;
    }

    const std::optional<lab::Info> bench = Plan({"--movable", "8"}, why);
    ASSERT_TRUE(bench) << why;
    EXPECT_EQ(bench->Movable().size(), 10u);
    EXPECT_FALSE(Plan({"--movable", "11"}, why));
    EXPECT_NE(why.find("--movable takes 0 to 10"), std::string::npos) << why;
}

}  // namespace
