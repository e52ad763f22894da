#include "cli/format.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/select.h"

namespace cli {
namespace {

constexpr DeviceIdBytes kId = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x70};

DeviceSummary Device(std::string name, std::uint8_t last, std::vector<std::string> ips) {
    DeviceSummary device;
    device.name = std::move(name);
    device.id = kId;
    device.id[7] = last;
    device.model = "KVR-620";
    device.ip = ips.front();
    device.netmask = "255.255.255.0";
    device.gateway = "10.0.0.1";
    device.portIps = std::move(ips);
    device.interfaceAddress = "10.0.0.2";
    return device;
}

TEST(CliFormat, SearchLinesAndJson) {
    DeviceSummary device = Device("Lobby\x1b[2J", 0x70, {"10.0.0.5"});
    device.dhcp = true;
    EXPECT_EQ(FormatSearchText({device}),
              "Lobby?[2J\t0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70\tKVR-620\t10.0.0.5\t255.255.255."
              "0\t10.0.0.1\t"
              "dhcp\t10.0.0.2\n");

    device.name = "caf\xe9";  // not UTF-8: replaced, never thrown
    const auto json =
        nlohmann::json::parse(FormatSearchJson({device, Device("B", 1, {"10.0.0.6"})}));
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[0]["name"], "caf\xef\xbf\xbd");
    EXPECT_EQ(json[0]["id"], "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x70");
    EXPECT_EQ(json[0]["dhcp"], true);
    EXPECT_EQ(json[1]["dhcp"], false);
    EXPECT_EQ(json[1]["interface"], "10.0.0.2");
    for (const char* field :
         {"name", "id", "model", "ip", "netmask", "gateway", "dhcp", "interface"}) {
        EXPECT_TRUE(json[1].contains(field)) << field;
    }
    EXPECT_EQ(FormatSearchJson({}), "[]\n");
}

TEST(CliFormat, LocalAddressesSearchedAndLeftOut) {
    std::vector<LocalAddressVerdict> verdicts = {
        {"nic-a", "10.201.1.1", std::nullopt},
        {"nic-idle", "10.201.3.1", LeftOutReason::NoCarrier},
        {"tun0", "10.8.0.2", LeftOutReason::NotMulticast},
        {"", "10.0.0.2", std::nullopt},  // a NetIo that names no interfaces
    };
    EXPECT_EQ(FormatLocalAddressesText(verdicts),
              "searched 10.201.1.1 (nic-a)\n"
              "left out 10.201.3.1 (nic-idle): no carrier\n"
              "left out 10.8.0.2 (tun0): not multicast-capable\n"
              "searched 10.0.0.2\n");
    EXPECT_EQ(OverLimitText(verdicts), "");

    const auto json =
        nlohmann::json::parse(FormatSearchJson({Device("NVR-1", 1, {"10.201.1.11"})}, verdicts));
    ASSERT_TRUE(json.is_object());
    ASSERT_EQ(json["recorders"].size(), 1u);
    EXPECT_EQ(json["recorders"][0]["name"], "NVR-1");
    EXPECT_EQ(json["searched"], nlohmann::json::parse(R"([
        {"interface": "nic-a", "address": "10.201.1.1"},
        {"interface": "", "address": "10.0.0.2"}])"));
    EXPECT_EQ(json["left_out"], nlohmann::json::parse(R"([
        {"interface": "nic-idle", "address": "10.201.3.1", "reason": "no carrier"},
        {"interface": "tun0", "address": "10.8.0.2", "reason": "not multicast-capable"}])"));

    verdicts.push_back({"eth9", "10.0.9.2", LeftOutReason::OverLimit});
    verdicts.push_back({"eth\x1b", "10.0.10.2", LeftOutReason::OverLimit});
    EXPECT_EQ(OverLimitText(verdicts),
              "searched the first 8 local addresses only; left out: 10.0.9.2 (eth9), 10.0.10.2 "
              "(eth?)");
    EXPECT_NE(
        FormatLocalAddressesText(verdicts).find("left out 10.0.9.2 (eth9): over the limit of 8\n"),
        std::string::npos);
}

TEST(CliFormat, VolumesAndIdentity) {
    EXPECT_EQ(FormatVolumesText({"Volume_1", "Vol\n2"}), "Volume_1\nVol?2\n");
    EXPECT_EQ(nlohmann::json::parse(FormatVolumesJson({"Volume_1", "Volume_2"})),
              nlohmann::json({"Volume_1", "Volume_2"}));
    EXPECT_EQ(FormatIdentityText("N", "", "L"), "name: N\nshort: \nlong: L\n");
}

TEST(CliSelect, ByKeyAddressOrName) {
    const std::vector<DeviceSummary> devices = {
        Device("Front", 1, {"10.0.0.5", "10.0.1.5"}),
        Device("Back", 2, {"10.0.0.6"}),
        Device("Back", 3, {"10.0.0.7"}),
    };
    EXPECT_EQ(SelectDevice(devices, "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x02").index, 1u);
    EXPECT_EQ(SelectDevice(devices, "10.0.1.5").index, 0u);  // second LAN port
    EXPECT_EQ(SelectDevice(devices, "Front").outcome, SelectOutcome::Found);
    EXPECT_EQ(SelectDevice(devices, "Back").outcome, SelectOutcome::Ambiguous);
    EXPECT_EQ(SelectDevice(devices, "front").outcome, SelectOutcome::NoMatch);
    EXPECT_EQ(SelectDevice(devices, "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x6F,0x09").outcome,
              SelectOutcome::NoMatch);
    EXPECT_EQ(SelectDevice({}, "Front").outcome, SelectOutcome::NoMatch);

    std::vector<DeviceSummary> sameAddress = {Device("A", 1, {"192.168.1.100"}),
                                              Device("B", 2, {"192.168.1.100"})};
    EXPECT_EQ(SelectDevice(sameAddress, "192.168.1.100").outcome, SelectOutcome::Ambiguous);
    EXPECT_EQ(SelectDevice(sameAddress, "B").index, 1u);
}

}  // namespace
}  // namespace cli
