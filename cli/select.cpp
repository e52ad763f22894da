#include "cli/select.h"

#include <algorithm>

#include "protocol/device_key.h"

namespace cli {
namespace {

template <typename Match>
Selection SelectBy(const std::vector<DeviceSummary>& devices, Match match) {
    Selection selection;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (!match(devices[i])) {
            continue;
        }
        if (selection.outcome == SelectOutcome::Found) {
            selection.outcome = SelectOutcome::Ambiguous;
            return selection;
        }
        selection.outcome = SelectOutcome::Found;
        selection.index = i;
    }
    return selection;
}

}  // namespace

Selection SelectDevice(const std::vector<DeviceSummary>& devices, std::string_view selector) {
    if (DeviceId id{}; ReadDeviceKey(selector, DeviceKeyStrictness::Exact, id) != 0) {
        // The table holds each id once; the first match is the one.
        const auto found =
            std::find_if(devices.begin(), devices.end(),
                         [&](const DeviceSummary& device) { return device.id == id; });
        if (found == devices.end()) {
            return {};
        }
        return {SelectOutcome::Found, static_cast<std::size_t>(found - devices.begin())};
    }
    Selection byAddress = SelectBy(devices, [&](const DeviceSummary& device) {
        return device.ip == selector || std::find(device.portIps.begin(), device.portIps.end(),
                                                  selector) != device.portIps.end();
    });
    if (byAddress.outcome != SelectOutcome::NoMatch) {
        return byAddress;
    }
    return SelectBy(devices, [&](const DeviceSummary& device) { return device.name == selector; });
}

}  // namespace cli
