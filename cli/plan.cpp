#include "cli/plan.h"

#include <algorithm>
#include <cerrno>
#include <map>

#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include "cli/json_text.h"
#include "cli/select.h"
#include "protocol/device_key.h"

namespace cli {
namespace {

constexpr std::string_view kColumns[] = {"device", "ip",       "netmask",     "gateway",
                                         "user",   "password", "password_env"};

struct Record {
    int line = 0;
    std::vector<std::string> fields;
};

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return "";
    }
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// Splits the text into records. Quoted fields may span lines; the record
// keeps the number of the line it starts on.
std::optional<PlanError> SplitRecords(std::string_view text, std::vector<Record>& records) {
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        Record record;
        record.line = line;
        std::string field;
        bool quoted = false;     // inside quotes
        bool wasQuoted = false;  // this field was quoted
        bool lineEnded = false;
        bool firstQuoted = false;  // the record's first field was quoted
        while (i < text.size() && !lineEnded) {
            const char c = text[i++];
            if (quoted) {
                if (c == '"' && i < text.size() && text[i] == '"') {
                    field += '"';
                    ++i;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    if (c == '\n') {
                        ++line;
                    }
                    field += c;
                }
            } else if (c == '"' && Trimmed(field).empty() && !wasQuoted) {
                quoted = true;
                wasQuoted = true;
                field.clear();
            } else if (c == ',') {
                firstQuoted = record.fields.empty() ? wasQuoted : firstQuoted;
                record.fields.push_back(wasQuoted ? field : Trimmed(field));
                field.clear();
                wasQuoted = false;
            } else if (c == '\n') {
                ++line;
                lineEnded = true;
            } else if (c != '\r') {
                if (wasQuoted && c != ' ' && c != '\t') {
                    return PlanError{line, "text after a closing quote"};
                }
                if (!wasQuoted) {
                    field += c;
                }
            }
        }
        if (quoted) {
            return PlanError{record.line, "a quote is not closed"};
        }
        firstQuoted = record.fields.empty() ? wasQuoted : firstQuoted;
        record.fields.push_back(wasQuoted ? field : Trimmed(field));
        const bool blank = record.fields.size() == 1 && record.fields[0].empty() && !firstQuoted;
        const bool comment = !firstQuoted && record.fields[0].starts_with('#');
        if (!blank && !comment) {
            records.push_back(std::move(record));
        }
    }
    return std::nullopt;
}

std::optional<std::string> Field(const Record& record, const std::map<std::string, std::size_t>& at,
                                 const char* column) {
    const auto it = at.find(column);
    if (it == at.end() || it->second >= record.fields.size() || record.fields[it->second].empty()) {
        return std::nullopt;
    }
    return record.fields[it->second];
}

bool IsDhcp(std::string_view text) {
    return text.size() == 4 && (text[0] | 0x20) == 'd' && (text[1] | 0x20) == 'h' &&
           (text[2] | 0x20) == 'c' && (text[3] | 0x20) == 'p';
}

}  // namespace

PlanFile ReadPlanFile(const std::string& path) {
    PlanFile file;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        file.error = "cannot be read";
        if (fd >= 0) {
            close(fd);
        }
        return file;
    }
    std::string text;
    char chunk[8192];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            close(fd);
            file.error = "cannot be read";
            return file;
        }
        if (got == 0) {
            break;
        }
        text.append(chunk, static_cast<std::size_t>(got));
        if (text.size() > kMaxPlanBytes) {
            close(fd);
            file.error = "is larger than 1 MiB; a plan is a short list of recorders";
            return file;
        }
    }
    close(fd);
    file.text = std::move(text);
    return file;
}
static_assert(kMaxPlanBytes == 1024 * 1024, "the message and the help name 1 MiB");

Plan ReadPlan(std::string_view text, const EnvironmentLookup& environment,
              const std::optional<std::string>& fallbackPassword) {
    Plan plan;
    // A spreadsheet's "CSV UTF-8" starts with a byte-order mark.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    // A NUL would silently cut the field it is in.
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
        const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(nul), '\n');
        plan.error = PlanError{static_cast<int>(line), "holds a NUL byte; a plan is text"};
        return plan;
    }
    std::vector<Record> records;
    if (auto error = SplitRecords(text, records)) {
        plan.error = std::move(error);
        return plan;
    }
    if (records.empty()) {
        plan.error = PlanError{0, "the plan is empty"};
        return plan;
    }
    std::map<std::string, std::size_t> at;
    const Record& header = records.front();
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string& name = header.fields[i];
        if (std::find(std::begin(kColumns), std::end(kColumns), name) == std::end(kColumns)) {
            plan.error = PlanError{header.line, "unknown column \"" + PrintableText(name) +
                                                    "\" (columns: device, ip, netmask, gateway, "
                                                    "user, password, password_env)"};
            return plan;
        }
        if (!at.emplace(name, i).second) {
            plan.error = PlanError{header.line, "column \"" + name + "\" appears twice"};
            return plan;
        }
    }
    if (!at.contains("device") || !at.contains("ip")) {
        plan.error = PlanError{header.line, "the header must name the columns device and ip"};
        return plan;
    }
    if (records.size() == 1) {
        plan.error = PlanError{header.line, "the plan names no recorder"};
        return plan;
    }

    for (std::size_t r = 1; r < records.size(); ++r) {
        const Record& record = records[r];
        const auto fail = [&](std::string message) {
            plan.error = PlanError{record.line, std::move(message)};
            return plan;
        };
        if (record.fields.size() > header.fields.size()) {
            return fail("more fields than the header names");
        }
        PlanLine line;
        line.line = record.line;
        const auto device = Field(record, at, "device");
        if (!device) {
            return fail("no device given");
        }
        line.device = *device;
        const auto ip = Field(record, at, "ip");
        if (!ip) {
            return fail("no ip given (an address, or dhcp)");
        }
        line.dhcp = IsDhcp(*ip);
        line.netmask = Field(record, at, "netmask");
        line.gateway = Field(record, at, "gateway");
        if (line.dhcp && (line.netmask || line.gateway)) {
            return fail("a dhcp line takes no netmask or gateway");
        }
        if (!line.dhcp) {
            line.ip = *ip;
        }
        if (const auto user = Field(record, at, "user")) {
            line.user = *user;
        }
        const auto password = Field(record, at, "password");
        const auto variable = Field(record, at, "password_env");
        if (password && variable) {
            return fail("give either password or password_env, not both");
        }
        if (variable) {
            const char* value = environment ? environment(*variable) : nullptr;
            if (value == nullptr) {
                return fail("the environment variable " + PrintableText(*variable) +
                            " named for the password is not set");
            }
            line.password = value;
        } else if (password) {
            line.password = *password;
        } else if (fallbackPassword) {
            line.password = *fallbackPassword;
        } else {
            return fail(
                "no password: give a password or password_env column, or "
                "--password-stdin or OSTREL_PASSWORD");
        }
        plan.lines.push_back(std::move(line));
    }
    return plan;
}

PlanCheck CheckPlan(const std::vector<PlanLine>& lines, const std::vector<DeviceSummary>& devices,
                    const std::vector<std::string>& localAddresses) {
    PlanCheck check;
    std::map<std::size_t, int> deviceLine;   // recorder → the line that names it
    std::map<std::string, int> addressLine;  // new address → the line that gives it
    for (const PlanLine& line : lines) {
        const auto fail = [&](std::string message) {
            check.error = PlanError{line.line, std::move(message)};
            check.lines.clear();
            return check;
        };
        CheckedLine checked;
        checked.plan = line;
        if (!line.dhcp) {
            const StaticCheck rules =
                CheckStaticInput(line.ip, line.netmask, line.gateway, FieldNaming::PlanColumns);
            if (!rules.texts) {
                return fail(rules.message);
            }
            checked.texts = *rules.texts;
        }
        const Selection selection = SelectDevice(devices, line.device);
        if (selection.outcome == SelectOutcome::NoMatch) {
            return fail("no recorder matches \"" + PrintableText(line.device) + "\"");
        }
        if (selection.outcome == SelectOutcome::Ambiguous) {
            return fail("several recorders match \"" + PrintableText(line.device) +
                        "\"; select one by its device key");
        }
        checked.device = selection.index;
        const DeviceSummary& device = devices[selection.index];
        if (const auto it = deviceLine.find(selection.index); it != deviceLine.end()) {
            return fail(PrintableText(device.name) + " is already changed on line " +
                        std::to_string(it->second));
        }
        deviceLine.emplace(selection.index, line.line);
        if (!line.dhcp) {
            if (auto problem = TargetProblem(checked.texts, device, localAddresses)) {
                return fail(std::move(*problem));
            }
            const std::string& address = checked.texts.ip;
            if (const auto it = addressLine.find(address); it != addressLine.end()) {
                return fail("the address " + address + " is also given on line " +
                            std::to_string(it->second));
            }
            addressLine.emplace(address, line.line);
            for (std::size_t other = 0; other < devices.size(); ++other) {
                if (other == selection.index) {
                    continue;
                }
                for (const std::string& used : devices[other].portIps) {
                    if (used == address) {
                        return fail("the address " + address + " is already used by " +
                                    PrintableText(devices[other].name) + " (" +
                                    DeviceKey(devices[other].id) + ")");
                    }
                }
            }
        }
        check.lines.push_back(std::move(checked));
    }
    return check;
}

std::string ChangeText(const CheckedLine& line) {
    if (line.plan.dhcp) {
        return "dhcp";
    }
    return line.texts.ip + "/" + line.texts.netmask + " gw " +
           (line.texts.gateway.empty() ? "(none)" : line.texts.gateway);
}

std::string_view ApplyResultText(ApplyResult result) {
    switch (result) {
        case ApplyResult::Ok:
            return "ok";
        case ApplyResult::Refused:
            return "refused";
        case ApplyResult::NoAnswer:
            return "no answer";
        case ApplyResult::NotFoundAfterChange:
            return "not found after the change";
    }
    return "";
}

std::string FormatApplyText(const std::vector<ApplyRow>& rows) {
    std::string text;
    for (const ApplyRow& row : rows) {
        text += "line " + std::to_string(row.line) + '\t' + row.device + '\t' + row.change + '\t' +
                (row.result ? std::string(ApplyResultText(*row.result)) : "would be sent") + '\n';
    }
    return text;
}

std::string FormatApplyJson(const std::vector<ApplyRow>& rows) {
    nlohmann::json array = nlohmann::json::array();
    for (const ApplyRow& row : rows) {
        nlohmann::json entry{{"line", row.line}, {"device", row.device}, {"change", row.change}};
        entry["result"] = row.result ? nlohmann::json(std::string(ApplyResultText(*row.result)))
                                     : nlohmann::json("dry run");
        array.push_back(std::move(entry));
    }
    return JsonText(array, 2);
}

}  // namespace cli
