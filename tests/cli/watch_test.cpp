#include "cli/watch.h"

#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

// What watch reports between searches.
namespace cli {
namespace {

DeviceSummary Device(std::string name, std::uint8_t last, std::string ip) {
    DeviceSummary device;
    device.name = std::move(name);
    device.id = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, last};
    device.ip = std::move(ip);
    device.netmask = "255.255.255.0";
    device.gateway = "10.0.0.1";
    device.interfaceAddress = "10.0.0.2";
    return device;
}

std::string Lines(const std::vector<WatchEvent>& events) {
    std::string text;
    for (const WatchEvent& event : events) {
        text += FormatWatchEvent(event, false);
    }
    return text;
}

TEST(Watch, AppearedChangedAndGoneOnlyAfterTwoMissedSearches) {
    WatchState state;
    const DeviceSummary alpha = Device("Alpha", 1, "10.0.0.11");
    const DeviceSummary bravo = Device("Bravo", 2, "10.0.0.21");
    EXPECT_EQ(Lines(NextSearch(state, {alpha, bravo})),
              "appeared\tAlpha\t0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x01\t10.0.0.11\t255.255.255.0"
              "\t10.0.0.1\tstatic\t10.0.0.2\n"
              "appeared\tBravo\t0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x02\t10.0.0.21\t255.255.255.0"
              "\t10.0.0.1\tstatic\t10.0.0.2\n");
    EXPECT_EQ(Lines(NextSearch(state, {alpha, bravo})), "");

    DeviceSummary moved = alpha;
    moved.ip = "10.0.0.60";
    moved.dhcp = true;
    // Bravo missed once: not yet gone.
    EXPECT_EQ(
        Lines(NextSearch(state, {moved})),
        "changed\tAlpha\t0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x01\tip: 10.0.0.11 -> 10.0.0.60\n"
        "changed\tAlpha\t0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x01\tdhcp: static -> dhcp\n");
    // Back after one miss: nothing to report, and the count starts again.
    EXPECT_EQ(Lines(NextSearch(state, {moved, bravo})), "");
    EXPECT_EQ(Lines(NextSearch(state, {moved})), "");
    EXPECT_EQ(Lines(NextSearch(state, {moved})),
              "disappeared\tBravo\t0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x02\n");
    EXPECT_EQ(Lines(NextSearch(state, {moved})), "");
    // Gone, then back: it appears again.
    const auto again = NextSearch(state, {moved, bravo});
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].kind, WatchEvent::Kind::Appeared);
    const auto json = nlohmann::json::parse(FormatWatchEvent(again[0], true));
    EXPECT_EQ(json["event"], "appeared");
    EXPECT_EQ(json["ip"], "10.0.0.21");
}

TEST(Watch, RunsUntilStoppedAndPrintsJsonLines) {
    Options options;
    options.json = true;
    int searches = 0;
    std::ostringstream out;
    EXPECT_EQ(RunWatch(
                  options,
                  [&] {
                      ++searches;
                      return searches == 1 ? std::vector<DeviceSummary>{Device("A", 1, "10.0.0.9")}
                                           : std::vector<DeviceSummary>{};
                  },
                  out, 3),
              0);
    EXPECT_EQ(searches, 3);
    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::string> events;
    while (std::getline(lines, line)) {
        events.push_back(nlohmann::json::parse(line)["event"]);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"appeared", "disappeared"}));
}

}  // namespace
}  // namespace cli
