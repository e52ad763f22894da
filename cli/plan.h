#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/format.h"
#include "cli/static_check.h"

// The plan of "ostrel-nvr apply": a CSV file with a header line naming its
// columns, one recorder per line after it. Columns: device (a selector, as
// --device takes it), ip ("dhcp" or an address), netmask, gateway, user,
// password, password_env (the name of an environment variable holding the
// password). Blank lines and lines starting with "#" are skipped; a field in
// double quotes may hold commas, and "" stands for one quote.
namespace cli {

struct PlanLine {
    int line = 0;  // in the file, counting from 1
    std::string device;
    bool dhcp = false;
    std::optional<std::string> ip;  // as written; checked by CheckPlan
    std::optional<std::string> netmask;
    std::optional<std::string> gateway;
    std::string user = "admin";
    std::string password;
};

struct PlanError {
    int line = 0;
    std::string message;
};

struct Plan {
    std::vector<PlanLine> lines;
    std::optional<PlanError> error;  // the first line that cannot be read
};

// The largest plan read; a larger file is refused unread (the help names it).
inline constexpr std::size_t kMaxPlanBytes = 1024 * 1024;

// The plan file's bytes, or why they cannot be had: "cannot be read" (a
// missing file, a folder, a read error) or "is larger than 1 MiB" (a device
// that never ends included).
struct PlanFile {
    std::optional<std::string> text;
    std::string error;
};
PlanFile ReadPlanFile(const std::string& path);

// The value of an environment variable, or null when it is unset.
using EnvironmentLookup = std::function<const char*(const std::string& name)>;

// Reads the plan. A line without password columns takes fallbackPassword
// (the command's own, from --password-stdin or OSTREL_PASSWORD) when there is
// one.
Plan ReadPlan(std::string_view text, const EnvironmentLookup& environment,
              const std::optional<std::string>& fallbackPassword);

// One line checked against the search: the recorder it names and the texts
// to send (the address rules' own, for a static line).
struct CheckedLine {
    PlanLine plan;
    std::size_t device = 0;  // index in the search result
    StaticTexts texts;       // empty for a dhcp line
};

struct PlanCheck {
    std::vector<CheckedLine> lines;
    std::optional<PlanError> error;  // the first invalid line; nothing is sent then
};

// Every line in order: the editor's address rules, exactly one recorder found
// for its selector, no recorder named twice, no address given twice, and no
// address that another recorder found already uses.
// A static line's address must also be one that can work (TargetProblem).
PlanCheck CheckPlan(const std::vector<PlanLine>& lines, const std::vector<DeviceSummary>& devices,
                    const std::vector<std::string>& localAddresses = {});

// What a line changes, for the output: "dhcp" or "IP/NETMASK gw GATEWAY".
std::string ChangeText(const CheckedLine& line);

// The outcome of one line of a run.
enum class ApplyResult { Ok, Refused, NoAnswer, NotFoundAfterChange };
std::string_view ApplyResultText(ApplyResult result);

struct ApplyRow {
    int line = 0;
    std::string device;  // name (address) before the change
    std::string change;
    std::optional<ApplyResult> result;  // nothing on a dry run
};
std::string FormatApplyText(const std::vector<ApplyRow>& rows);
std::string FormatApplyJson(const std::vector<ApplyRow>& rows);

}  // namespace cli
