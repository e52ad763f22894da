#include "cli/plan.h"

#include <map>

#include <gtest/gtest.h>

// The plan of "ostrel-nvr apply": how the CSV is read, and the checks every
// line passes before anything is sent.
namespace cli {
namespace {

const char* NoVariables(const std::string&) {
    return nullptr;
}

DeviceSummary Device(std::string name, std::uint8_t last, std::string ip) {
    DeviceSummary device;
    device.name = std::move(name);
    device.id = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, last};
    device.ip = ip;
    device.netmask = "255.255.255.0";
    device.portIps = {ip};
    return device;
}

TEST(PlanReader, QuotingBlankLinesCommentsAndLineNumbers) {
    const std::map<std::string, std::string> variables{{"PW_B", "from-env"}};
    const Plan plan = ReadPlan(
        "# site plan\r\n"
        "device,ip,netmask,gateway,password,password_env\r\n"
        "\r\n"
        "\"Cam, north\",10.0.0.50,255.255.255.0,10.0.0.1,\"pa\"\"ss,word\",\n"
        "  Bravo  , DHCP ,,,,PW_B\n"
        "\n"
        "\"two\nlines\",dhcp,,,x,\n",
        [&](const std::string& name) -> const char* {
            const auto it = variables.find(name);
            return it == variables.end() ? nullptr : it->second.c_str();
        },
        std::nullopt);
    ASSERT_FALSE(plan.error) << plan.error->line << ": " << plan.error->message;
    ASSERT_EQ(plan.lines.size(), 3u);
    EXPECT_EQ(plan.lines[0].line, 4);
    EXPECT_EQ(plan.lines[0].device, "Cam, north");
    EXPECT_EQ(plan.lines[0].password, "pa\"ss,word");
    EXPECT_EQ(plan.lines[0].ip, "10.0.0.50");
    EXPECT_FALSE(plan.lines[0].dhcp);
    EXPECT_EQ(plan.lines[0].user, "admin");
    EXPECT_EQ(plan.lines[1].line, 5);
    EXPECT_EQ(plan.lines[1].device, "Bravo");
    EXPECT_TRUE(plan.lines[1].dhcp);
    EXPECT_EQ(plan.lines[1].password, "from-env");
    EXPECT_EQ(plan.lines[2].line, 7) << "a record spanning lines keeps its first line";
    EXPECT_EQ(plan.lines[2].device, "two\nlines");
}

TEST(PlanReader, RefusesWithTheLineAndTheReason) {
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"device,ip,password_env\n\nAlpha,dhcp,UNSET_VARIABLE\n", 3,
         "the environment variable UNSET_VARIABLE named for the password is not set"},
        {"device,ip\nAlpha,10.0.0.9\n", 2, "no password"},
        {"device,ip,password,password_env\nAlpha,dhcp,x,Y\n", 2, "not both"},
        {"device,ip,netmask,password\nAlpha,dhcp,255.0.0.0,x\n", 2, "takes no netmask"},
        {"device,address\nAlpha,dhcp\n", 1, "unknown column \"address\""},
        {"device,ip,password\n\"Alpha,dhcp,x\n", 2, "a quote is not closed"},
        {"device,ip,password\nAlpha,dhcp,x,extra\n", 2, "more fields"},
        {"device,ip,password\n,dhcp,x\n", 2, "no device"},
        {"\n# nothing\n", 0, "empty"},
    };
    for (const Case& c : cases) {
        const Plan plan = ReadPlan(c.text, NoVariables, std::nullopt);
        ASSERT_TRUE(plan.error) << c.text;
        EXPECT_EQ(plan.error->line, c.line) << c.text;
        EXPECT_NE(plan.error->message.find(c.message), std::string::npos)
            << c.text << " gave " << plan.error->message;
    }
    // The command's own password stands in for a line without one.
    const Plan fallback = ReadPlan("device,ip\nAlpha,dhcp\n", NoVariables, "given");
    ASSERT_FALSE(fallback.error);
    EXPECT_EQ(fallback.lines[0].password, "given");
}

TEST(PlanCheck, EachRuleStopsAtItsLine) {
    const std::vector<DeviceSummary> devices{Device("Alpha", 1, "10.0.0.11"),
                                             Device("Twin", 2, "10.0.0.21"),
                                             Device("Twin", 3, "10.0.0.31")};
    const auto line = [](int number, std::string device, std::string ip,
                         std::string netmask = "255.255.255.0") {
        PlanLine plan;
        plan.line = number;
        plan.device = std::move(device);
        plan.dhcp = ip == "dhcp";
        if (!plan.dhcp) {
            plan.ip = ip;
            plan.netmask = netmask;
            plan.gateway = "10.0.0.1";
        }
        plan.password = "x";
        return plan;
    };
    struct Case {
        std::vector<PlanLine> lines;
        int line;
        std::string message;
    };
    const std::string badMask =
        CheckStaticInput(std::string("10.0.0.60"), std::string("255.0.255.0"),
                         std::string("10.0.0.1"))
            .message;
    ASSERT_FALSE(badMask.empty());
    const Case cases[] = {
        {{line(2, "Alpha", "10.0.0.50"),
          line(3, "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x02", "10.0.0.50")},
         3,
         "the address 10.0.0.50 is also given on line 2"},
        {{line(2, "Alpha", "10.0.0.31")},
         2,
         "the address 10.0.0.31 is already used by Twin (0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x03)"},
        {{line(2, "Alpha", "dhcp"), line(4, "Alpha", "10.0.0.60", "255.0.255.0")}, 4, badMask},
        {{line(5, "Twin", "dhcp")},
         5,
         "several recorders match \"Twin\"; select one by its device key"},
        {{line(2, "Nobody", "dhcp")}, 2, "no recorder matches \"Nobody\""},
        {{line(2, "Alpha", "dhcp"), line(3, "10.0.0.11", "10.0.0.70")},
         3,
         "Alpha is already changed on line 2"},
    };
    for (const Case& c : cases) {
        const PlanCheck check = CheckPlan(c.lines, devices);
        ASSERT_TRUE(check.error) << c.message;
        EXPECT_EQ(check.error->line, c.line) << c.message;
        EXPECT_EQ(check.error->message, c.message);
        EXPECT_TRUE(check.lines.empty());
    }
    // A recorder keeping its own address, and a line by key: accepted.
    const PlanCheck ok = CheckPlan(
        {line(2, "Alpha", "10.0.0.11"), line(3, "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x02", "dhcp")},
        devices);
    ASSERT_FALSE(ok.error) << ok.error->message;
    ASSERT_EQ(ok.lines.size(), 2u);
    EXPECT_EQ(ok.lines[1].device, 1u);
    EXPECT_EQ(ChangeText(ok.lines[0]), "10.0.0.11/255.255.255.0 gw 10.0.0.1");
    EXPECT_EQ(ChangeText(ok.lines[1]), "dhcp");
}

}  // namespace
}  // namespace cli
