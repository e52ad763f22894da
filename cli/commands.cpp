#include "cli/commands.h"

#include <istream>
#include <ostream>

#include "cli/apply.h"
#include "cli/args.h"
#include "cli/cmd_drives.h"
#include "cli/select.h"
#include "cli/static_check.h"
#include "cli/watch.h"
#include "platform/services/connection_table.h"
#include "platform/services/smb_network_drives.h"
#include "protocol/address_rules.h"
#include "protocol/device_table.h"
#include "protocol/discovery.h"
#include "protocol/globals.h"
#include "protocol/ipv4_text.h"
#include "protocol/local_addresses.h"
#include "protocol/net_io.h"
#include "protocol/network.h"
#include "protocol/operations.h"
#include "protocol/volume_list.h"

namespace cli {
namespace {

constexpr const char* kProgram = "ostrel-nvr: ";

// Starts the network layer for one run and always stops it again.
class NetworkSession {
public:
    NetworkSession() { InitNetwork(); }
    ~NetworkSession() {
        ClearDeviceTable();
        ClearVolumeList();
        ShutdownNetwork();
    }
    NetworkSession(const NetworkSession&) = delete;
    NetworkSession& operator=(const NetworkSession&) = delete;
};

int Fail(std::ostream& err, int code, const std::string& message) {
    return ReportError(err, code, message);
}

std::vector<DeviceSummary> SearchAgain() {
    DiscoverDevices();
    return SummarizeDeviceTable();
}

int RunDeviceCommand(const Options& options, const std::string& password,
                     const StaticTexts& staticTexts, ostrel::platform::PlatformServices& services,
                     std::ostream& out, std::ostream& err) {
    const std::vector<DeviceSummary> devices = SummarizeDeviceTable();
    const Selection selection = SelectDevice(devices, options.device);
    if (selection.outcome == SelectOutcome::NoMatch) {
        return Fail(err, kExitNoMatch,
                    "no recorder matches \"" + PrintableText(options.device) + "\"");
    }
    if (selection.outcome == SelectOutcome::Ambiguous) {
        return Fail(err, kExitUsage,
                    "several recorders match \"" + PrintableText(options.device) +
                        "\"; select one by its device key");
    }
    const DeviceSummary& device = devices[selection.index];
    const std::string who = PrintableText(device.name) + " (" + device.ip + ")";
    // The address is turned into a URL, a share name or a connection only
    // in its plain form; a recorder that announces another text is not acted on.
    if ((options.command == Command::Console || options.command == Command::Map) &&
        !IsDottedDecimalIpv4(device.ip)) {
        return Fail(err, kExitRecorderFailed,
                    PrintableText(device.name) + " announces the address \"" +
                        PrintableText(device.ip) +
                        "\", which is not a dotted-decimal IPv4 address; nothing was done");
    }
    if (options.command == Command::Console) {
        return RunConsole(options, device, services, out, err);
    }
    if (options.command == Command::Static) {
        if (auto problem = TargetProblem(staticTexts, device, LocalIpv4Addresses())) {
            return Fail(err, kExitUsage, *problem);
        }
    }

    CurrentTargetId = device.id;
    LoginUser = options.user;
    LoginPassword = password;
    CurrentDeviceAddress = device.ip;

    // Every command authenticates first, as the main window's pick does, so a
    // wrong password is reported as such rather than as an empty answer.
    if (Login() != 1) {
        return Fail(
            err, kExitRecorderFailed,
            "login to " + who + " failed: " +
                (LastOperationAnswered == 1 ? "the recorder refused the user name or password"
                                            : "no answer"));
    }

    switch (options.command) {
        case Command::Login:
            out << "login to " << who << " succeeded\n";
            return kExitOk;

        case Command::Volumes: {
            if (ReadVolumeList() != 1) {
                return Fail(err, kExitRecorderFailed, who + " did not answer the volume request");
            }
            std::vector<std::string> names;
            names.reserve(VolumeList.size());
            for (const VolumeNameText& volume : VolumeList) {
                names.push_back(volume.str());
            }
            out << (options.json ? FormatVolumesJson(names) : FormatVolumesText(names));
            return kExitOk;
        }

        case Command::Dhcp:
            LanModeText = options.lanMode;
            if (SetLanDhcp() != 1) {
                return Fail(err, kExitRecorderFailed, who + ": " + std::string(kDhcpFailedText));
            }
            out << kDhcpEnabledText << '\n';
            return kExitOk;

        case Command::Static:
            LanModeText = options.lanMode;
            StaticIpText = staticTexts.ip;
            StaticNetmaskText = staticTexts.netmask;
            StaticGatewayText = staticTexts.gateway;
            if (SetLanStatic() != 1) {
                return Fail(err, kExitRecorderFailed,
                            who + " refused the static configuration or did not answer");
            }
            out << "static configuration sent: ip " << staticTexts.ip << " netmask "
                << staticTexts.netmask << " gateway "
                << (staticTexts.gateway.empty() ? "(none)" : staticTexts.gateway) << '\n';
            return kExitOk;

        case Command::Identity:
            if (ReadIdentity() != 1) {
                return Fail(err, kExitRecorderFailed, who + " did not answer the identity request");
            }
            if (options.setsIdentity()) {
                // Texts not given keep the values just read.
                if (options.setName) {
                    IdentityName = *options.setName;
                }
                if (options.setShort) {
                    IdentityShort = *options.setShort;
                }
                if (options.setLong) {
                    IdentityLong = *options.setLong;
                }
                if (WriteIdentity() != 1) {
                    return Fail(err, kExitRecorderFailed,
                                who + " refused the identity texts or did not answer");
                }
            }
            out << FormatIdentityText(IdentityName.view(), IdentityShort.view(),
                                      IdentityLong.view());
            return kExitOk;

        case Command::Map:
            return RunMap(options, device, password, services, out, err);

        case Command::Search:
        case Command::Console:
        case Command::Drives:
        case Command::Unmap:
        case Command::Apply:
        case Command::Watch:
        case Command::Help:
            break;
    }
    return kExitOk;
}

}  // namespace

int ReportError(std::ostream& err, int code, const std::string& message) {
    // Messages quote what the user typed and what recorders sent.
    err << kProgram << PrintableText(message) << '\n';
    return code;
}

std::vector<std::string> LocalIpv4Addresses() {
    std::vector<std::string> addresses;
    for (const LocalAddressVerdict& verdict : ActiveNetIo().DescribeLocalAddresses()) {
        addresses.push_back(verdict.address);
    }
    for (const LocalAddressSlot& local : LocalAddressTable) {
        addresses.push_back(local.address.str());
    }
    return addresses;
}

std::vector<DeviceSummary> SummarizeDeviceTable() {
    std::vector<DeviceSummary> devices;
    for (const DeviceRecord& record : DeviceTable) {
        DeviceSummary device;
        device.name = record.name.str();
        device.id = record.deviceId;
        device.model = record.model.str();
        const int active = record.activeLan == 1 ? 1 : 0;
        const LanEntry& lan = record.lan[static_cast<std::size_t>(active)];
        device.ip = lan.ip.str();
        device.netmask = lan.netmask.str();
        device.gateway = lan.gateway.str();
        device.dhcp = lan.dhcp.view().starts_with('1');
        for (const LanEntry& port : record.lan) {
            if (!port.ip.empty()) {
                device.portIps.push_back(port.ip.str());
            }
        }
        const int slot = record.interfaceIndex;
        if (slot >= 0 && static_cast<std::size_t>(slot) < LocalAddressTable.size()) {
            device.interfaceAddress =
                LocalAddressTable[static_cast<std::size_t>(slot)].address.str();
        }
        devices.push_back(std::move(device));
    }
    return devices;
}

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const char* environmentPassword, PasswordPrompt prompt) {
    return RunCli(args, in, out, err, environmentPassword, prompt, nullptr);
}

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const char* environmentPassword,
           ostrel::platform::PlatformServices* services) {
    return RunCli(args, in, out, err, environmentPassword, nullptr, services);
}

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const char* environmentPassword, PasswordPrompt prompt,
           ostrel::platform::PlatformServices* services) {
    const ParseResult parsed = ParseArgs(args);
    if (!parsed.options) {
        return Fail(err, kExitUsage, parsed.error);
    }
    const Options& options = *parsed.options;
    if (options.command == Command::Help) {
        out << (options.helpTopic ? UsageText(*options.helpTopic) : UsageText());
        return kExitOk;
    }
    // The system's services are made only for the commands that use them.
    const auto platform = [services]() -> ostrel::platform::PlatformServices& {
        return services != nullptr ? *services : ostrel::platform::SystemServices();
    };
    // The system's connection table: lines it cannot read are named once.
    if (services == nullptr &&
        (options.command == Command::Drives || options.command == Command::Unmap ||
         options.command == Command::Map)) {
        WarnOfUnreadTableLines(ostrel::platform::ConnectionTable::DefaultPath(), err);
    }
    if (options.command == Command::Drives) {
        return RunDrives(options, platform(), out, err);
    }
    if (options.command == Command::Unmap) {
        return RunUnmap(options, platform(), out, err);
    }

    // Everything that can be refused without a recorder is refused before
    // the network layer starts.
    std::string password;
    StaticTexts staticTexts;
    std::optional<Plan> plan;
    if (options.command == Command::Apply) {
        int code = kExitUsage;
        plan = LoadPlan(options, in, environmentPassword, err, code);
        if (!plan) {
            return code;
        }
    }
    if (NeedsPassword(options.command)) {
        if (options.passwordStdin && prompt != nullptr) {
            const std::optional<std::string> typed = prompt();
            if (!typed) {
                return Fail(err, kExitUsage, "no password given");
            }
            password = *typed;
        } else {
            const PasswordResult read =
                ReadPassword(options.passwordStdin, in, environmentPassword);
            if (!read.password) {
                return Fail(err, kExitUsage, read.error);
            }
            password = *read.password;
        }
    }
    if (options.command == Command::Static) {
        const StaticCheck check = CheckStaticInput(options.ip, options.netmask, options.gateway);
        if (!check.texts) {
            return Fail(err, kExitUsage, check.message);
        }
        staticTexts = *check.texts;
    }

    // On the system's drives, the credentials prompt of a map is answered
    // with the recorder's credentials; test services script their own.
    PromptAnswer promptAnswer(options.user, password);
    struct PromptScope {
        ostrel::platform::SmbNetworkDrives* drives = nullptr;
        ostrel::platform::CredentialPrompt* before = nullptr;
        ~PromptScope() {
            if (drives != nullptr) {
                drives->SetPrompt(before);
            }
        }
    } promptScope;
    if (services == nullptr && options.command == Command::Map) {
        promptScope.drives = &ostrel::platform::SystemNetworkDrives();
        promptScope.before = promptScope.drives->Prompt();
        promptScope.drives->SetPrompt(&promptAnswer);
    }

    ResetProtocolGlobals();
    NetworkSession session;
    if (LocalAddressTable.empty()) {
        if (options.command == Command::Search && options.verbose) {
            err << FormatLocalAddressesText(ActiveNetIo().DescribeLocalAddresses());
        }
        return Fail(err, kExitRecorderFailed, kNoUsableInterfaceText);
    }
    DiscoverDevices();
    // No local address is left out silently: those over the limit are always
    // named, every other with --verbose.
    const std::vector<LocalAddressVerdict> verdicts = ActiveNetIo().DescribeLocalAddresses();
    if (!(options.command == Command::Search && options.verbose)) {
        if (const std::string overLimit = OverLimitText(verdicts); !overLimit.empty()) {
            err << kProgram << overLimit << '\n';
        }
    }
    if (options.command == Command::Search) {
        const std::vector<DeviceSummary> devices = SummarizeDeviceTable();
        if (options.json) {
            out << (options.verbose ? FormatSearchJson(devices, verdicts)
                                    : FormatSearchJson(devices));
        } else {
            if (options.verbose) {
                err << FormatLocalAddressesText(verdicts);
            }
            out << FormatSearchText(devices);
        }
        return kExitOk;
    }
    if (options.command == Command::Apply) {
        return RunApply(options, *plan, out, err);
    }
    if (options.command == Command::Watch) {
        return RunWatch(options, SearchAgain, out);
    }
    return RunDeviceCommand(options, password, staticTexts, platform(), out, err);
}

}  // namespace cli
