#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "cli/format.h"

// Which recorder of the search a --device selector names.
namespace cli {

enum class SelectOutcome { Found, NoMatch, Ambiguous };

struct Selection {
    SelectOutcome outcome = SelectOutcome::NoMatch;
    std::size_t index = 0;  // valid when found
};

// A selector is a device key, an IP address of any LAN port, or a name
// (exact). A key names one recorder; an address or a name that several
// recorders share is ambiguous rather than silently the first.
Selection SelectDevice(const std::vector<DeviceSummary>& devices, std::string_view selector);

}  // namespace cli
