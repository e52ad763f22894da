// Which host addresses become slots of the local address table.
#include "protocol/local_address_filter.h"

#include <gtest/gtest.h>

#include "protocol/local_addresses.h"

namespace {

InterfaceAddressEntry Entry(std::string name, std::string address, bool up = true,
                            bool loopback = false, bool multicast = true) {
    return {std::move(name), std::move(address), up, loopback, multicast};
}

TEST(LocalAddressFilterTest, KeepsUpNonLoopbackMulticastInOrder) {
    const std::vector<InterfaceAddressEntry> entries = {
        Entry("lo", "127.0.0.1", true, true, false),
        Entry("eth1", "10.0.0.2"),
        Entry("eth0", "192.168.0.2"),
        Entry("down0", "172.16.0.2", false),
        Entry("tun0", "10.8.0.2", true, false, false),
        Entry("eth0", "192.168.0.3"),  // a second address on one interface
    };
    EXPECT_EQ(SelectMulticastAddresses(entries, kMaxLocalAddresses),
              (std::vector<std::string>{"10.0.0.2", "192.168.0.2", "192.168.0.3"}));
}

TEST(LocalAddressFilterTest, AtMostEight) {
    std::vector<InterfaceAddressEntry> entries;
    for (int i = 1; i <= 10; ++i) {
        entries.push_back(Entry("eth" + std::to_string(i), "10.0." + std::to_string(i) + ".2"));
    }
    const auto kept = SelectMulticastAddresses(entries, kMaxLocalAddresses);
    ASSERT_EQ(kept.size(), 8u);
    EXPECT_EQ(kept.front(), "10.0.1.2");
    EXPECT_EQ(kept.back(), "10.0.8.2");
    EXPECT_TRUE(SelectMulticastAddresses({}, kMaxLocalAddresses).empty());
}

}  // namespace
