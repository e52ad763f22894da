#pragma once

#include <atomic>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/format.h"

// "ostrel-nvr watch": searches again and again and prints one line per
// change between two searches.
namespace cli {

// A recorder is reported gone only after this many searches in a row
// without it, so one lost reply is not a disappearance.
inline constexpr int kMissedSearchesForGone = 2;

struct WatchEvent {
    enum class Kind { Appeared, Changed, Disappeared } kind;
    std::string key;  // DeviceKey
    DeviceSummary device;
    std::string field;  // Changed: which one
    std::string before;
    std::string after;
};

// What the watch remembers between searches.
struct WatchState {
    std::map<std::string, DeviceSummary> known;  // by key
    std::map<std::string, int> missed;           // searches in a row without it
};

// The events of one more search; updates the state.
std::vector<WatchEvent> NextSearch(WatchState& state, const std::vector<DeviceSummary>& found);

// "appeared NAME KEY ip ...", "changed NAME KEY FIELD: OLD -> NEW",
// "disappeared NAME KEY"; or one JSON object per line.
std::string FormatWatchEvent(const WatchEvent& event, bool json);

// Set by SIGINT and SIGTERM while a watch runs.
extern std::atomic<bool> WatchStopRequested;

// Searches every interval until a stop is asked for (or `rounds` searches,
// when positive: tests), then gives 0; gives 1 at once when the output
// cannot be written. The search itself is a function so tests can run it
// on the virtual network.
int RunWatch(const Options& options, const std::function<std::vector<DeviceSummary>()>& search,
             std::ostream& out, int rounds = 0);

}  // namespace cli
