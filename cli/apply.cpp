#include "cli/apply.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "cli/commands.h"
#include "protocol/discovery.h"
#include "protocol/globals.h"
#include "protocol/operations.h"

namespace cli {
namespace {

std::string Where(const Options& options, int line) {
    return PrintableText(options.planPath) + (line > 0 ? " line " + std::to_string(line) : "") +
           ": ";
}

// Whether the failed request was answered (a refusal) or not (silence), as
// the exchange recorded it: no further request is needed to tell them apart.
ApplyResult Failure() {
    return LastOperationAnswered == 1 ? ApplyResult::Refused : ApplyResult::NoAnswer;
}

bool ShowsChange(const DeviceSummary& device, const CheckedLine& line) {
    if (line.plan.dhcp) {
        return device.dhcp;
    }
    return device.ip == line.texts.ip;
}

// Logs in and sends the line's change. Nothing when the recorder took it
// (it is verified later, with the others), else why it did not.
std::optional<ApplyResult> SendLine(const CheckedLine& line, const DeviceSummary& before) {
    CurrentTargetId = before.id;
    CurrentDeviceAddress = before.ip;
    LoginUser = line.plan.user;
    LoginPassword = line.plan.password;
    if (Login() != 1) {
        return Failure();
    }
    LanModeText = "LAN1";
    int sent = 0;
    if (line.plan.dhcp) {
        sent = SetLanDhcp();
    } else {
        StaticIpText = line.texts.ip;
        StaticNetmaskText = line.texts.netmask;
        StaticGatewayText = line.texts.gateway;
        sent = SetLanStatic();
    }
    if (sent != 1) {
        return Failure();
    }
    return std::nullopt;
}

// A line whose change the recorder took, waiting to be seen.
struct SentLine {
    const CheckedLine* line;
    DeviceIdBytes id;
    std::optional<ApplyResult>* result;
};

// Searches, at most kVerifySearches times and no more once every sent line
// was seen, and gives each line `ok` when its recorder showed the new
// settings in one of them, else `not found after the change`.
void VerifyTogether(std::vector<SentLine> waiting) {
    for (int search = 0; search < kVerifySearches && !waiting.empty(); ++search) {
        DiscoverDevices();
        const std::vector<DeviceSummary> found = SummarizeDeviceTable();
        std::erase_if(waiting, [&](const SentLine& sent) {
            for (const DeviceSummary& device : found) {
                if (device.id == sent.id && ShowsChange(device, *sent.line)) {
                    *sent.result = ApplyResult::Ok;
                    return true;
                }
            }
            return false;
        });
    }
    for (const SentLine& sent : waiting) {
        *sent.result = ApplyResult::NotFoundAfterChange;
    }
}

}  // namespace

std::optional<Plan> LoadPlan(const Options& options, std::istream& in,
                             const char* environmentPassword, std::ostream& err, int& code) {
    const PlanFile file = ReadPlanFile(options.planPath);
    if (!file.text) {
        code = ReportError(err, kExitUsage, Where(options, 0) + file.error);
        return std::nullopt;
    }
    const std::string& text = *file.text;
    std::optional<std::string> fallback;
    if (options.passwordStdin || environmentPassword != nullptr) {
        const PasswordResult read = ReadPassword(options.passwordStdin, in, environmentPassword);
        if (!read.password) {
            code = ReportError(err, kExitUsage, read.error);
            return std::nullopt;
        }
        fallback = read.password;
    }
    Plan plan = ReadPlan(
        text, [](const std::string& name) { return std::getenv(name.c_str()); }, fallback);
    if (plan.error) {
        code = ReportError(err, kExitUsage, Where(options, plan.error->line) + plan.error->message);
        return std::nullopt;
    }
    return plan;
}

int RunApply(const Options& options, const Plan& plan, std::ostream& out, std::ostream& err) {
    const std::vector<DeviceSummary> devices = SummarizeDeviceTable();
    const PlanCheck check = CheckPlan(plan.lines, devices, LocalIpv4Addresses());
    if (check.error) {
        return ReportError(err, kExitUsage,
                           Where(options, check.error->line) + check.error->message);
    }
    // Every line is sent first; the searches that verify them then serve all
    // of them at once, instead of a search of its own after each line.
    std::vector<ApplyRow> rows;
    rows.reserve(check.lines.size());
    std::vector<SentLine> sent;
    for (const CheckedLine& line : check.lines) {
        const DeviceSummary& before = devices[line.device];
        ApplyRow& row = rows.emplace_back();
        row.line = line.plan.line;
        row.device = PrintableText(before.name) + " (" + before.ip + ")";
        row.change = ChangeText(line);
        if (!options.dryRun) {
            row.result = SendLine(line, before);
            if (!row.result) {
                sent.push_back({&line, before.id, &row.result});
            }
        }
    }
    VerifyTogether(std::move(sent));
    const bool allOk = std::all_of(rows.begin(), rows.end(), [](const ApplyRow& row) {
        return !row.result || *row.result == ApplyResult::Ok;
    });
    out << (options.json ? FormatApplyJson(rows) : FormatApplyText(rows));
    return allOk ? kExitOk : kExitRecorderFailed;
}

}  // namespace cli
