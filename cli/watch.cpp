#include "cli/watch.h"

#include <chrono>
#include <csignal>
#include <ostream>
#include <thread>

#include "cli/json_text.h"
#include "protocol/device_key.h"
#include "protocol/ipv4_text.h"

namespace cli {

std::atomic<bool> WatchStopRequested{false};

namespace {

struct FieldOf {
    const char* name;
    std::string (*read)(const DeviceSummary&);
};

constexpr FieldOf kFields[] = {
    {"name", [](const DeviceSummary& d) { return PrintableText(d.name); }},
    {"model", [](const DeviceSummary& d) { return PrintableText(d.model); }},
    {"ip", [](const DeviceSummary& d) { return AddressText(d.ip); }},
    {"netmask", [](const DeviceSummary& d) { return d.netmask; }},
    {"gateway", [](const DeviceSummary& d) { return d.gateway; }},
    {"dhcp", [](const DeviceSummary& d) { return std::string(d.dhcp ? "dhcp" : "static"); }},
    {"interface", [](const DeviceSummary& d) { return d.interfaceAddress; }},
};

extern "C" void OnStopSignal(int) {
    WatchStopRequested.store(true);
}

// Installs the stop handlers for the life of a watch and restores the
// previous ones after it.
class StopSignals {
public:
    StopSignals() {
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

}  // namespace

std::vector<WatchEvent> NextSearch(WatchState& state, const std::vector<DeviceSummary>& found) {
    std::vector<WatchEvent> events;
    std::map<std::string, const DeviceSummary*> now;
    for (const DeviceSummary& device : found) {
        now.emplace(DeviceKey(device.id), &device);
    }
    for (const auto& [key, device] : now) {
        state.missed.erase(key);
        const auto it = state.known.find(key);
        if (it == state.known.end()) {
            events.push_back({WatchEvent::Kind::Appeared, key, *device, "", "", ""});
        } else {
            for (const FieldOf& field : kFields) {
                const std::string before = field.read(it->second);
                const std::string after = field.read(*device);
                if (before != after) {
                    events.push_back(
                        {WatchEvent::Kind::Changed, key, *device, field.name, before, after});
                }
            }
        }
        state.known[key] = *device;
    }
    for (auto it = state.known.begin(); it != state.known.end();) {
        if (now.contains(it->first)) {
            ++it;
            continue;
        }
        if (++state.missed[it->first] >= kMissedSearchesForGone) {
            events.push_back({WatchEvent::Kind::Disappeared, it->first, it->second, "", "", ""});
            state.missed.erase(it->first);
            it = state.known.erase(it);
        } else {
            ++it;
        }
    }
    return events;
}

std::string FormatWatchEvent(const WatchEvent& event, bool json) {
    const DeviceSummary& d = event.device;
    const char* kind = event.kind == WatchEvent::Kind::Appeared  ? "appeared"
                       : event.kind == WatchEvent::Kind::Changed ? "changed"
                                                                 : "disappeared";
    if (json) {
        nlohmann::json object{{"event", kind}, {"id", event.key}, {"name", PrintableText(d.name)}};
        if (event.kind == WatchEvent::Kind::Appeared) {
            object["model"] = PrintableText(d.model);
            object["ip"] = d.ip;
            object["ip_valid"] = IsDottedDecimalIpv4(d.ip);
            object["netmask"] = d.netmask;
            object["gateway"] = d.gateway;
            object["dhcp"] = d.dhcp;
            object["interface"] = d.interfaceAddress;
        } else if (event.kind == WatchEvent::Kind::Changed) {
            object["field"] = event.field;
            object["old"] = event.before;
            object["new"] = event.after;
        }
        return JsonText(object);
    }
    std::string line = std::string(kind) + '\t' + PrintableText(d.name) + '\t' + event.key;
    if (event.kind == WatchEvent::Kind::Appeared) {
        line += '\t' + AddressText(d.ip) + '\t' + d.netmask + '\t' + d.gateway + '\t' +
                (d.dhcp ? "dhcp" : "static") + '\t' + d.interfaceAddress;
    } else if (event.kind == WatchEvent::Kind::Changed) {
        line += '\t' + event.field + ": " + event.before + " -> " + event.after;
    }
    return line + '\n';
}

int RunWatch(const Options& options, const std::function<std::vector<DeviceSummary>()>& search,
             std::ostream& out, int rounds) {
    WatchStopRequested.store(false);
    const StopSignals signals;
    WatchState state;
    for (int round = 0; !WatchStopRequested.load() && (rounds <= 0 || round < rounds); ++round) {
        for (const WatchEvent& event : NextSearch(state, search())) {
            out << FormatWatchEvent(event, options.json);
        }
        out.flush();
        // Output nobody receives (a full disk, a closed pipe) ends the watch
        // at once; the caller reports it.
        if (out.fail()) {
            return 1;
        }
        if (rounds > 0) {
            continue;
        }
        // Short steps, so a stop is answered within a tenth of a second.
        const auto until = std::chrono::steady_clock::now() +
                           std::chrono::milliseconds(options.intervalMilliseconds);
        while (!WatchStopRequested.load() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    return 0;
}

}  // namespace cli
