#include "cli/args.h"

#include <sstream>

#include <gtest/gtest.h>

namespace cli {
namespace {

ParseResult Parse(std::initializer_list<const char*> words) {
    std::vector<std::string> args;
    for (const char* word : words) {
        args.emplace_back(word);
    }
    return ParseArgs(args);
}

TEST(CliArgs, CommandsAndTheirOptions) {
    {
        const ParseResult r = Parse({"search", "--json"});
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.options->command, Command::Search);
        EXPECT_TRUE(r.options->json);
        EXPECT_FALSE(r.options->verbose);
        EXPECT_TRUE(Parse({"search", "--verbose", "--json"}).options->verbose);
    }
    {
        const ParseResult r =
            Parse({"static", "--device", "NVR-1", "--ip=10.0.0.5", "--netmask", "255.0.0.0",
                   "--gateway", "10.0.0.1", "--lan-mode", "LAN2", "--password-stdin"});
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.options->command, Command::Static);
        EXPECT_EQ(r.options->device, "NVR-1");
        EXPECT_EQ(r.options->ip, "10.0.0.5");
        EXPECT_EQ(r.options->netmask, "255.0.0.0");
        EXPECT_EQ(r.options->gateway, "10.0.0.1");
        EXPECT_EQ(r.options->lanMode, "LAN2");
        EXPECT_TRUE(r.options->passwordStdin);
        EXPECT_EQ(r.options->user, "admin");
    }
    {
        const ParseResult r = Parse({"dhcp", "--device", "10.0.0.5", "--user", "operator"});
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.options->lanMode, "LAN1");
        EXPECT_EQ(r.options->user, "operator");
    }
    {
        const ParseResult r = Parse({"identity", "--device", "x", "--set-short", ""});
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_TRUE(r.options->setsIdentity());
        EXPECT_EQ(r.options->setShort, "");
        EXPECT_FALSE(r.options->setName);
    }
    EXPECT_EQ(Parse({"help"}).options->command, Command::Help);
    EXPECT_EQ(Parse({"volumes", "--help"}).options->command, Command::Help);
}

TEST(CliArgs, InstallerCommandsAndTheirOptions) {
    {
        const ParseResult r = Parse({"watch", "--interval", "0.5", "--json"});
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.options->intervalMilliseconds, 500);
        EXPECT_TRUE(r.options->json);
        for (const char* bad : {"0", "0.05", "x", "3601", "1s", ""}) {
            EXPECT_FALSE(Parse({"watch", "--interval", bad}).options) << bad;
        }
    }
    {
        const ParseResult r = Parse({"apply", "site.csv", "--dry-run", "--password-stdin"});
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.options->planPath, "site.csv");
        EXPECT_TRUE(r.options->dryRun);
        EXPECT_FALSE(Parse({"apply", "--dry-run"}).options);
        EXPECT_FALSE(Parse({"apply", "a.csv", "b.csv"}).options);
    }
    {
        const ParseResult r = Parse({"map", "--device", "NVR-1", "--volume", "Volume_1", "--letter",
                                     "q", "--force", "--json"});
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.options->letter, "Q:");
        EXPECT_TRUE(r.options->force);
        EXPECT_FALSE(Parse({"map", "--device", "NVR-1"}).options) << "needs --volume";
        EXPECT_FALSE(Parse({"map", "--device", "N", "--volume", "V", "--letter", "QQ"}).options);
    }
    EXPECT_EQ(Parse({"unmap", "z:"}).options->letter, "Z:");
    EXPECT_FALSE(Parse({"unmap", "Z:", "--device", "N"}).options);
    EXPECT_TRUE(Parse({"console", "--device", "N", "--print-url"}).options->printUrl);
    EXPECT_FALSE(Parse({"console", "--device", "N", "--user", "u"}).options)
        << "the console needs no login";
    EXPECT_TRUE(Parse({"drives", "--json"}).options);
    EXPECT_FALSE(Parse({"drives", "--device", "N"}).options);
    EXPECT_FALSE(Parse({"search", "--force"}).options);
    EXPECT_EQ(Parse({"map", "--help"}).options->command, Command::Help);
    // Each command's help: its own usage lines, then the common notes.
    const std::string map = UsageText(*Parse({"map", "--help"}).options->helpTopic);
    EXPECT_TRUE(map.starts_with("usage: ostrel-nvr map      --device SEL")) << map;
    EXPECT_NE(map.find("[--letter X:] [--force] [--json]\n\n"), std::string::npos) << map;
    EXPECT_EQ(map.find("ostrel-nvr unmap"), std::string::npos) << map;
    EXPECT_NE(map.find("Exit codes:"), std::string::npos);
    EXPECT_TRUE(UsageText(Command::Search).starts_with("usage: ostrel-nvr search [--json]"));
}

TEST(CliArgs, RefusesWhatDoesNotFit) {
    EXPECT_FALSE(Parse({}).options);
    EXPECT_FALSE(Parse({"find"}).options);
    EXPECT_NE(Parse({"login"}).error.find("--device"), std::string::npos);
    EXPECT_NE(Parse({"login", "--device", "x", "--json"}).error.find("unknown option \"--json\""),
              std::string::npos);
    EXPECT_FALSE(Parse({"search", "--device", "x"}).options);
    EXPECT_FALSE(Parse({"volumes", "--device", "x", "--ip", "1.2.3.4"}).options);
    EXPECT_FALSE(Parse({"dhcp", "--device", "x", "--set-name", "y"}).options);
    EXPECT_NE(Parse({"login", "--device"}).error.find("needs a value"), std::string::npos);
    EXPECT_FALSE(Parse({"search", "--json=yes"}).options);
    EXPECT_FALSE(Parse({"search", "--verbose=1"}).options);
    EXPECT_FALSE(Parse({"login", "--device", "x", "--verbose"}).options);
    EXPECT_FALSE(Parse({"login", "--device", "x", "stray"}).options);
    EXPECT_FALSE(Parse({"login", "--device", "x", "--user", ""}).options);
}

TEST(CliArgs, RefusesTextsLongerThanTheirFields) {
    const std::string name31(31, 'n');
    const std::string long511(511, 'l');
    EXPECT_TRUE(Parse({"identity", "--device", "x", "--set-name", name31.c_str(), "--set-short",
                       name31.c_str(), "--set-long", long511.c_str()})
                    .options);
    const std::string name32(32, 'n');
    const std::string long512(512, 'l');
    EXPECT_NE(
        Parse({"identity", "--device", "x", "--set-name", name32.c_str()}).error.find("at most 31"),
        std::string::npos);
    EXPECT_FALSE(Parse({"identity", "--device", "x", "--set-short", name32.c_str()}).options);
    EXPECT_FALSE(Parse({"identity", "--device", "x", "--set-long", long512.c_str()}).options);
    EXPECT_TRUE(Parse({"dhcp", "--device", "x", "--lan-mode", "LAN1+LAN2"}).options);
    EXPECT_FALSE(Parse({"dhcp", "--device", "x", "--lan-mode", "LAN1+LAN2+LAN3"}).options);
}

TEST(CliArgs, NeverTakesAPasswordFromTheCommandLine) {
    for (const ParseResult& r : {Parse({"login", "--device", "x", "--password", "secret"}),
                                 Parse({"login", "--device", "x", "--password=secret"})}) {
        EXPECT_FALSE(r.options);
        EXPECT_NE(r.error.find("--password-stdin"), std::string::npos);
        EXPECT_EQ(r.error.find("secret"), std::string::npos);
    }
}

TEST(CliArgs, ReadsThePasswordFromStdinOrEnvironment) {
    {
        std::istringstream in("s3cret\r\nsecond line\n");
        EXPECT_EQ(ReadPassword(true, in, "from-env").password, "s3cret");
    }
    {
        std::istringstream in("no line end");
        EXPECT_EQ(ReadPassword(true, in, nullptr).password, "no line end");
    }
    {
        std::istringstream in("\n");
        EXPECT_EQ(ReadPassword(true, in, nullptr).password, "");
    }
    {
        std::istringstream in("");
        const PasswordResult r = ReadPassword(true, in, "from-env");
        EXPECT_FALSE(r.password);
        EXPECT_NE(r.error.find("standard input"), std::string::npos);
    }
    std::istringstream unused("ignored\n");
    EXPECT_EQ(ReadPassword(false, unused, "from-env").password, "from-env");
    EXPECT_EQ(ReadPassword(false, unused, "").password, "");
    EXPECT_FALSE(ReadPassword(false, unused, nullptr).password);
}

}  // namespace
}  // namespace cli
