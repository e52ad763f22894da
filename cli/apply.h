#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/plan.h"

// "ostrel-nvr apply": the plan is read before the network starts, checked
// against the search, then every line is sent (login, change) and all of
// them are verified together by searching again until each changed recorder
// shows its new settings.
namespace cli {

// Searches made after the changes were sent before a line whose recorder
// was not seen with its new settings gives "not found after the change".
inline constexpr int kVerifySearches = 6;

// Reads the plan file; on error writes it and gives the exit code.
std::optional<Plan> LoadPlan(const Options& options, std::istream& in,
                             const char* environmentPassword, std::ostream& err, int& code);

// Runs the loaded plan on the device table of the search just made.
int RunApply(const Options& options, const Plan& plan, std::ostream& out, std::ostream& err);

}  // namespace cli
