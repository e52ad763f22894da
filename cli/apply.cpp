#include "cli/apply.h"

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

ApplyResult ApplyLine(const CheckedLine& line, const DeviceSummary& before) {
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
    for (int search = 0; search < kVerifySearches; ++search) {
        DiscoverDevices();
        for (const DeviceSummary& device : SummarizeDeviceTable()) {
            if (device.id == before.id && ShowsChange(device, line)) {
                return ApplyResult::Ok;
            }
        }
    }
    return ApplyResult::NotFoundAfterChange;
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
    std::vector<ApplyRow> rows;
    bool allOk = true;
    for (const CheckedLine& line : check.lines) {
        const DeviceSummary& before = devices[line.device];
        ApplyRow row;
        row.line = line.plan.line;
        row.device = PrintableText(before.name) + " (" + before.ip + ")";
        row.change = ChangeText(line);
        if (!options.dryRun) {
            row.result = ApplyLine(line, before);
            allOk = allOk && *row.result == ApplyResult::Ok;
        }
        rows.push_back(std::move(row));
    }
    out << (options.json ? FormatApplyJson(rows) : FormatApplyText(rows));
    return allOk ? kExitOk : kExitRecorderFailed;
}

}  // namespace cli
