// The rules a static LAN configuration passes before it is sent.
#include "protocol/address_rules.h"

#include <gtest/gtest.h>

namespace {

StaticLanInput Input(Octets ip, Octets mask, Octets gateway, bool gatewayBlank = false) {
    StaticLanInput input;
    input.ip = ip;
    input.netmask = mask;
    input.gateway = gateway;
    input.gatewayBlank = gatewayBlank;
    return input;
}

constexpr Octets kBlank{0, 0, 0, 0};
constexpr Octets kMask24{255, 255, 255, 0};

std::string_view MessageOf(const StaticLanCheck& check) {
    return check.fault ? check.fault->message : std::string_view("accepted");
}

TEST(AddressRulesTest, MissingInputAndLoopback) {
    StaticLanInput input = Input({192, 168, 0, 10}, kMask24, {192, 168, 0, 1});
    input.ipBlank = true;
    input.netmaskBlank = true;
    EXPECT_EQ(MessageOf(CheckStaticLanInput(input)), "Please input IP address!");
    input.ipBlank = false;
    const auto noMask = CheckStaticLanInput(input);
    EXPECT_EQ(MessageOf(noMask), "Please input net mask address!");
    EXPECT_EQ(noMask.fault->kind, AddressMessageKind::Warning);

    const auto loopback = CheckStaticLanInput(Input({127, 0, 0, 1}, kMask24, {127, 0, 0, 2}));
    EXPECT_EQ(MessageOf(loopback), "IP address input error. Please try again.");
    EXPECT_EQ(loopback.fault->kind, AddressMessageKind::Warning);
}

TEST(AddressRulesTest, FirstOctetOfTheIpAddress) {
    for (Octets ip : {Octets{0, 1, 2, 3}, Octets{224, 0, 0, 1}}) {
        const auto check = CheckStaticLanInput(Input(ip, kMask24, kBlank, true));
        ASSERT_TRUE(check.fault);
        EXPECT_EQ(check.fault->message, "Invalid IP address in 1st digit. It should be 1-223.");
        EXPECT_EQ(check.fault->field, AddressField::Ip);
        EXPECT_EQ(check.fault->octet, 0);
        EXPECT_EQ(check.fault->kind, AddressMessageKind::OctetRange);
    }
}

TEST(AddressRulesTest, OctetRulesPerField) {
    {
        const auto fault = ValidateAddressOctets(1, {10, 0, 256, 300});
        ASSERT_TRUE(fault);
        EXPECT_EQ(fault->octet, 2);
        EXPECT_EQ(fault->message, "Invalid IP address in 3rd digit. It should be 0-255.");
    }
    {
        const auto fault = ValidateAddressOctets(2, {255, 255, 255, 256});
        ASSERT_TRUE(fault);
        EXPECT_EQ(fault->field, AddressField::Netmask);
        EXPECT_EQ(fault->octet, 3);
        EXPECT_EQ(fault->message, "Invalid subnet mask address in 4th digit. It should be 0-255.");
        EXPECT_FALSE(ValidateAddressOctets(2, {0, 0, 0, 0}));
    }
    {
        const auto fault = ValidateAddressOctets(3, {10, 256, 0, 1});
        ASSERT_TRUE(fault);
        EXPECT_EQ(fault->message, "Invalid gateway IP address in 2nd digit. It should be 0-255.");
        EXPECT_FALSE(ValidateAddressOctets(3, {0, 0, 0, 0}, /*blank=*/true));
        EXPECT_FALSE(ValidateAddressOctets(4, {0, 0, 0, 0}));
        EXPECT_FALSE(ValidateAddressOctets(0, {999, 0, 0, 0}));
    }
    {
        // Gateway 0.0.0.5 typed in (not blank) with a normal address.
        const auto check = CheckStaticLanInput(Input({192, 168, 0, 10}, kMask24, {0, 0, 0, 5}));
        ASSERT_TRUE(check.fault);
        EXPECT_EQ(check.fault->message,
                  "Invalid gateway IP address in 1st digit. It should be 1-223.");
        EXPECT_EQ(check.fault->field, AddressField::Gateway);
        EXPECT_EQ(check.fault->octet, 0);
    }
}

TEST(AddressRulesTest, GatewayCombinations) {
    const Octets ip{192, 168, 0, 10};
    EXPECT_EQ(MessageOf(CheckStaticLanInput(Input(ip, kMask24, kBlank, true))),
              "You enter incorrect TCP/IP configuration. Please try again.");
    for (Octets gateway :
         {Octets{192, 168, 0, 0}, Octets{192, 168, 0, 255}, Octets{192, 168, 1, 1}}) {
        const auto check = CheckStaticLanInput(Input(ip, kMask24, gateway));
        EXPECT_EQ(MessageOf(check), "You enter incorrect TCP/IP configuration. Please try again.");
        EXPECT_EQ(check.fault->kind, AddressMessageKind::Refused);
    }
    const auto good = CheckStaticLanInput(Input(ip, kMask24, {192, 168, 0, 1}));
    EXPECT_FALSE(good.fault);
    EXPECT_EQ(good.ipText, "192.168.0.10");
    EXPECT_EQ(good.netmaskText, "255.255.255.0");
    EXPECT_EQ(good.gatewayText, "192.168.0.1");

    // The IP itself is never compared with the network address.
    const auto network = CheckStaticLanInput(Input({10, 0, 0, 0}, {255, 0, 0, 0}, {10, 0, 0, 1}));
    EXPECT_FALSE(network.fault);

    // Link-local: any gateway, a blank one too, and the gateway text stays empty.
    const auto linkLocal =
        CheckStaticLanInput(Input({169, 254, 7, 8}, {255, 255, 0, 0}, kBlank, true));
    EXPECT_FALSE(linkLocal.fault);
    EXPECT_EQ(linkLocal.gatewayText, "");
    EXPECT_FALSE(IsBadGatewayCombination({169, 254, 7, 8}, {255, 255, 0, 0}, {8, 8, 8, 8}));
    // Gateway octets are not range-checked for link-local addresses.
    EXPECT_FALSE(
        CheckStaticLanInput(Input({169, 254, 7, 8}, {255, 255, 0, 0}, {0, 0, 0, 5})).fault);
}

TEST(AddressRulesTest, NetmaskContiguity) {
    for (Octets mask :
         {Octets{255, 255, 255, 255}, Octets{255, 255, 255, 0}, Octets{128, 0, 0, 0}}) {
        EXPECT_TRUE(IsContiguousNetmask(mask));
    }
    for (Octets mask : {Octets{0, 0, 0, 0}, Octets{255, 0, 255, 0}, Octets{255, 255, 254, 1},
                        Octets{0, 255, 255, 255}}) {
        EXPECT_FALSE(IsContiguousNetmask(mask));
    }
    // The gateway rules run first, then the mask is refused.
    const auto check =
        CheckStaticLanInput(Input({192, 168, 0, 10}, {255, 0, 255, 0}, kBlank, true));
    EXPECT_EQ(MessageOf(check), "Netmask address input invalid. Please try again.");
    EXPECT_EQ(check.fault->field, AddressField::Netmask);
    EXPECT_EQ(check.fault->kind, AddressMessageKind::Refused);
    const auto gatewayFirst =
        CheckStaticLanInput(Input({192, 168, 0, 10}, {255, 0, 255, 0}, {0, 1, 1, 1}));
    EXPECT_EQ(gatewayFirst.fault->field, AddressField::Gateway);
}

}  // namespace
