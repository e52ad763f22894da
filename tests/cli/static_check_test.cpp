#include "cli/static_check.h"

#include <gtest/gtest.h>

#include "protocol/ipv4_text.h"

namespace cli {
namespace {

std::string Refusal(std::optional<std::string> ip, std::optional<std::string> mask,
                    std::optional<std::string> gw) {
    const StaticCheck check = CheckStaticInput(ip, mask, gw);
    return check.texts ? std::string("accepted") : check.message;
}

TEST(CliStaticCheck, ParsesOctetTexts) {
    EXPECT_EQ(ParseOctets("192.168.0.10"), (Octets{192, 168, 0, 10}));
    EXPECT_EQ(ParseOctets("1.300.0.999"), (Octets{1, 300, 0, 999}));
    EXPECT_FALSE(ParseOctets("1.2.3"));
    EXPECT_FALSE(ParseOctets("1.2.3.4.5"));
    EXPECT_FALSE(ParseOctets("1.2.3.0004"));
    EXPECT_FALSE(ParseOctets("1.2.3.-4"));
    EXPECT_FALSE(ParseOctets(" 1.2.3.4"));
    EXPECT_FALSE(ParseOctets(""));
}

TEST(CliStaticCheck, AppliesTheEditorsRulesInOrder) {
    EXPECT_EQ(Refusal(std::nullopt, "255.255.255.0", "10.0.0.1"), "Please input IP address!");
    EXPECT_EQ(Refusal("10.0.0.5", "", "10.0.0.1"), "Please input net mask address!");
    EXPECT_EQ(Refusal("127.0.0.1", "255.0.0.0", "127.0.0.2"),
              "IP address input error. Please try again.");
    EXPECT_EQ(Refusal("0.1.2.3", "255.0.0.0", std::nullopt),
              "Invalid IP address in 1st digit. It should be 1-223.");
    EXPECT_EQ(Refusal("224.0.0.1", "255.0.0.0", std::nullopt),
              "Invalid IP address in 1st digit. It should be 1-223.");
    EXPECT_EQ(Refusal("10.300.0.1", "255.0.0.0", "10.0.0.1"),
              "Invalid IP address in 2nd digit. It should be 0-255.");
    EXPECT_EQ(Refusal("10.0.0.1", "255.255.256.0", "10.0.0.2"),
              "Invalid subnet mask address in 3rd digit. It should be 0-255.");
    EXPECT_EQ(Refusal("192.168.0.10", "255.255.255.0", "0.0.0.5"),
              "Invalid gateway IP address in 1st digit. It should be 1-223.");
    EXPECT_EQ(Refusal("192.168.0.10", "255.0.255.0", "192.168.0.1"),
              "Netmask address input invalid. Please try again.");
    for (const char* gateway : {"", "192.168.0.0", "192.168.0.255", "192.168.1.1"}) {
        EXPECT_EQ(Refusal("192.168.0.10", "255.255.255.0", gateway),
                  "You enter incorrect TCP/IP configuration. Please try again.")
            << gateway;
    }
    EXPECT_NE(Refusal("10.0.0.5", "255.0.0.0", "10.0.0.one"), "accepted");
    EXPECT_NE(Refusal("10.0.0.5", "255.0.0.0", "10.0.0.one").find("--gateway"), std::string::npos);
}

TEST(CliStaticCheck, AcceptedInputGivesTheTextsToSend) {
    {
        const StaticCheck check = CheckStaticInput("192.168.0.10", "255.255.255.0", "192.168.0.1");
        ASSERT_TRUE(check.texts) << check.message;
        EXPECT_EQ(check.texts->ip, "192.168.0.10");
        EXPECT_EQ(check.texts->netmask, "255.255.255.0");
        EXPECT_EQ(check.texts->gateway, "192.168.0.1");
    }
    {
        const StaticCheck check = CheckStaticInput("169.254.7.8", "255.255.0.0", std::nullopt);
        ASSERT_TRUE(check.texts) << check.message;
        EXPECT_EQ(check.texts->gateway, "");
    }
    EXPECT_EQ(Refusal("10.0.0.0", "255.0.0.0", "10.0.0.1"), "accepted");
}

// The only form of a recorder's address that is turned into a URL, a share
// name or a connection.
TEST(CliStaticCheck, DottedDecimalMeansFourPlainOctets) {
    for (const char* text : {"0.0.0.0", "10.201.1.150", "255.255.255.255", "192.168.100.9"}) {
        EXPECT_TRUE(IsDottedDecimalIpv4(text)) << text;
    }
    for (const char* text :
         {"010.201.1.150", "10.201.1.0150", "10.201.1.00", "10.201.1.256", "10.201.1.150/ev",
          "localhost/abc", "10.201.1", "10.201.1.1.", "10.201.1.1.1", " 10.0.0.1", "10.0.0.1 ",
          "+1.0.0.1", "1..0.1", "0x0A.0.0.1", "", "1000.0.0.1", "10.0.0.1\n"}) {
        EXPECT_FALSE(IsDottedDecimalIpv4(text)) << text;
    }
}

}  // namespace
}  // namespace cli
