// Which host addresses become slots of the local address table, and why the
// others are left out.
#include "protocol/local_address_filter.h"

#include <gtest/gtest.h>

#include "protocol/local_addresses.h"

namespace {

struct Flags {
    bool up = true;
    bool running = true;
    bool loopback = false;
    bool multicast = true;
};

InterfaceAddressEntry Entry(std::string name, std::string address, Flags flags = {}) {
    InterfaceAddressEntry entry;
    entry.interfaceName = std::move(name);
    entry.address = std::move(address);
    entry.up = flags.up;
    entry.running = flags.running;
    entry.loopback = flags.loopback;
    entry.multicast = flags.multicast;
    return entry;
}

// "name address" for a searched verdict, "name address: reason" otherwise.
std::vector<std::string> Lines(const std::vector<LocalAddressVerdict>& verdicts) {
    static const char* const kReasons[] = {"loopback", "down", "no carrier", "not multicast",
                                           "over limit"};
    std::vector<std::string> lines;
    for (const auto& verdict : verdicts) {
        std::string line = verdict.interfaceName + " " + verdict.address;
        if (verdict.leftOut) {
            line += std::string(": ") + kReasons[static_cast<int>(*verdict.leftOut)];
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(LocalAddressFilterTest, SearchesInterfacesUpWithCarrierAndSaysWhyOthersAreLeftOut) {
    const std::vector<InterfaceAddressEntry> entries = {
        Entry("lo", "127.0.0.1", {.loopback = true, .multicast = false}),
        Entry("eth1", "10.0.0.2"),
        Entry("docker0", "172.17.0.1", {.running = false}),  // an idle container bridge
        Entry("eth0", "192.168.0.2"),
        Entry("down0", "172.16.0.2", {.up = false, .running = false}),
        Entry("tun0", "10.8.0.2", {.multicast = false}),
        Entry("eth0", "192.168.0.3"),  // a second address on one interface
        Entry("nocarrier0", "172.18.0.1", {.running = false, .multicast = false}),
        Entry("lo", "127.0.0.2", {.loopback = true}),  // loopback even when it says multicast
        Entry("eth2", ""),                             // no address: not listed at all
    };
    const auto verdicts = JudgeLocalAddresses(entries, kMaxLocalAddresses);
    EXPECT_EQ(Lines(verdicts), (std::vector<std::string>{
                                   "lo 127.0.0.1: loopback",
                                   "eth1 10.0.0.2",
                                   "docker0 172.17.0.1: no carrier",
                                   "eth0 192.168.0.2",
                                   "down0 172.16.0.2: down",
                                   "tun0 10.8.0.2: not multicast",
                                   "eth0 192.168.0.3",
                                   "nocarrier0 172.18.0.1: no carrier",
                                   "lo 127.0.0.2: loopback",
                               }));
    // The searched ones, in the kernel's order.
    EXPECT_EQ(SearchedAddresses(verdicts),
              (std::vector<std::string>{"10.0.0.2", "192.168.0.2", "192.168.0.3"}));
}

TEST(LocalAddressFilterTest, AtMostEightTheRestLeftOutAsOverTheLimit) {
    std::vector<InterfaceAddressEntry> entries;
    for (int i = 1; i <= 11; ++i) {
        entries.push_back(Entry("eth" + std::to_string(i), "10.0." + std::to_string(i) + ".2"));
    }
    // Interfaces without carrier take no slot: the eighth real one still gets in.
    entries.insert(entries.begin() + 2, Entry("br0", "10.9.0.1", {.running = false}));
    entries.insert(entries.begin() + 5, Entry("br1", "10.9.1.1", {.running = false}));
    const auto verdicts = JudgeLocalAddresses(entries, kMaxLocalAddresses);
    const auto searched = SearchedAddresses(verdicts);
    ASSERT_EQ(searched.size(), 8u);
    EXPECT_EQ(searched.front(), "10.0.1.2");
    EXPECT_EQ(searched.back(), "10.0.8.2");
    std::vector<std::string> leftOut;
    for (const auto& line : Lines(verdicts)) {
        if (line.find(':') != std::string::npos) {
            leftOut.push_back(line);
        }
    }
    EXPECT_EQ(leftOut,
              (std::vector<std::string>{"br0 10.9.0.1: no carrier", "br1 10.9.1.1: no carrier",
                                        "eth9 10.0.9.2: over limit", "eth10 10.0.10.2: over limit",
                                        "eth11 10.0.11.2: over limit"}));
    EXPECT_TRUE(JudgeLocalAddresses({}, kMaxLocalAddresses).empty());
    EXPECT_EQ(SearchedAddresses(JudgeLocalAddresses(entries, 0)).size(), 0u);
}

}  // namespace
