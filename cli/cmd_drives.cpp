#include "cli/cmd_drives.h"

#include <ostream>

#include "app/drive_letters/drive_letter_table.h"
#include "app/shared/drive_connect.h"
#include "app/shared/web_console_launch.h"
#include "cli/commands.h"
#include "cli/json_text.h"
#include "platform/services/connection_table.h"
#include "platform/services/win_codes.h"
#include "platform/services/windows_version.h"
#include "protocol/globals.h"
#include "protocol/operations.h"
#include "protocol/unavailable_operations.h"
#include "protocol/volume_list.h"

namespace platform = ostrel::platform;

namespace cli {
namespace {

// Collects what the window's drive-letter list would show.
class CollectedList final : public DriveLetterList {
public:
    void ResetContent() override {
        items.clear();
        selected = -1;
    }
    int AddString(const std::string& text) override {
        items.push_back(text);
        return static_cast<int>(items.size()) - 1;
    }
    void SetCurSel(int index) override { selected = index; }

    std::vector<std::string> items;
    int selected = -1;
};

// What a drive operation's code means, in words, with the code.
std::string DriveFailureText(std::uint32_t code) {
    const char* words = nullptr;
    switch (code) {
        case platform::ERROR_BAD_NETPATH:
            words = "no such host, or it does not answer";
            break;
        case platform::ERROR_UNEXP_NET_ERR:
            words = "the connection to the host failed";
            break;
        case platform::ERROR_BAD_NET_NAME:
            words = "no such share";
            break;
        case platform::ERROR_LOGON_FAILURE:
        case platform::ERROR_ACCESS_DENIED:
        case platform::ERROR_INVALID_PASSWORD:
            words = "wrong user name or password";
            break;
        case platform::ERROR_BAD_PROFILE:
            words = "the configuration folder cannot be written";
            break;
        case platform::ERROR_BUSY:
            words = "the connection table is in use by another program";
            break;
        case platform::ERROR_NOT_CONNECTED:
            words = "the letter is not connected";
            break;
        case platform::ERROR_OPEN_FILES:
            words = "files on the drive are open";
            break;
        case platform::ERROR_ALREADY_ASSIGNED:
            words = "the letter is already connected";
            break;
        case platform::ERROR_CANCELLED:
            words = "cancelled";
            break;
        default:
            break;
    }
    return (words != nullptr ? std::string(words) + " " : std::string()) + "(error " +
           std::to_string(code) + ")";
}

std::string RemoteName(const DeviceSummary& device, const std::string& volume) {
    return "\\\\" + device.ip + "\\" + volume;
}

}  // namespace

std::vector<DriveLetterRow> ListDriveLetters(platform::NetworkDrives& drives) {
    DriveLetterTable table;
    RefreshDriveLetterTable(table, drives);
    CollectedList list;
    FillDriveLetterList(table, drives, list);
    std::vector<DriveLetterRow> rows;
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        const std::string& item = list.items[i];
        DriveLetterRow row;
        row.letter = item.substr(0, 2);
        if (DriveLetterItemInUse(item)) {
            row.remote = item.substr(3);
        }
        row.preselected = static_cast<int>(i) == list.selected;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string FormatDrivesText(const std::vector<DriveLetterRow>& rows) {
    std::string text;
    for (const DriveLetterRow& row : rows) {
        text += row.letter + '\t' + (row.free() ? "-" : PrintableText(row.remote)) + '\t' +
                (row.free() ? "free" : "in use") + '\n';
    }
    return text;
}

std::string FormatDrivesJson(const std::vector<DriveLetterRow>& rows) {
    nlohmann::json array = nlohmann::json::array();
    for (const DriveLetterRow& row : rows) {
        nlohmann::json entry;
        entry["letter"] = row.letter;
        entry["remote"] =
            row.free() ? nlohmann::json(nullptr) : nlohmann::json(PrintableText(row.remote));
        entry["free"] = row.free();
        array.push_back(std::move(entry));
    }
    return JsonText(array, 2);
}

void WarnOfUnreadTableLines(const std::string& tablePath, std::ostream& err) {
    for (const platform::UnreadLine& line : platform::ConnectionTable(tablePath).UnreadLines()) {
        err << "ostrel-nvr: warning: " << PrintableText(tablePath) << " line " << line.number
            << " is not a connection; it is ignored and kept as it is: " << PrintableText(line.text)
            << '\n';
    }
}

int RunDrives(const Options& options, platform::PlatformServices& services, std::ostream& out,
              std::ostream&) {
    const std::vector<DriveLetterRow> rows = ListDriveLetters(*services.drives);
    out << (options.json ? FormatDrivesJson(rows) : FormatDrivesText(rows));
    return kExitOk;
}

int RunUnmap(const Options& options, platform::PlatformServices& services, std::ostream& out,
             std::ostream& err) {
    platform::NetworkDrives& drives = *services.drives;
    std::string remote;
    if (drives.WNetGetConnectionA(options.letter.c_str(), remote) ==
        platform::ERROR_NOT_CONNECTED) {
        return ReportError(err, kExitRecorderFailed, options.letter + " is not connected");
    }
    // What UnmapLetter does for the window, keeping the code to say what failed.
    const std::uint32_t result = drives.WNetCancelConnection2A(
        options.letter.c_str(), platform::CONNECT_UPDATE_PROFILE, true);
    if (result != platform::NO_ERROR) {
        return ReportError(err, kExitRecorderFailed,
                           options.letter + " cannot be disconnected: " + DriveFailureText(result));
    }
    if (options.json) {
        out << JsonText(nlohmann::json{{"letter", options.letter}, {"result", "unmapped"}});
    } else {
        out << kUnmapSucceededText << " (" << options.letter << ")\n";
    }
    return kExitOk;
}

int RunConsole(const Options& options, const DeviceSummary& device,
               platform::PlatformServices& services, std::ostream& out, std::ostream& err) {
    // The window's check: the console's port within about two seconds.
    ProbeThread probe;
    const FixedText<64> address(device.ip);
    probe.Start(*services.probe, address);
    const int answer = AwaitProbe(SleepMilliseconds);
    if (answer != kProbeReachable) {
        // The probe's own limit ends it; the run waits for it so no thread
        // outlives the command.
        probe.Join();
        return ReportError(err, kExitRecorderFailed, kDeviceNoLongerAvailableText);
    }
    probe.Join();
    const std::string url =
        std::string(ConsoleScheme(HttpsSetting.c_str())) + "://" + address.str();
    if (!options.printUrl) {
        LaunchWebConsole(*services.registry, *services.launcher, HttpsSetting.c_str(),
                         address.c_str());
    }
    if (options.json) {
        out << JsonText(nlohmann::json{{"url", url}, {"opened", !options.printUrl}});
    } else if (options.printUrl) {
        out << url << '\n';
    } else {
        out << "opened " << url << '\n';
    }
    return kExitOk;
}

int RunMap(const Options& options, const DeviceSummary& device, const std::string& password,
           platform::PlatformServices& services, std::ostream& out, std::ostream& err) {
    const std::string who = PrintableText(device.name) + " (" + device.ip + ")";
    if (ReadVolumeList() != 1) {
        return ReportError(err, kExitRecorderFailed, who + " did not answer the volume request");
    }
    bool known = false;
    for (const VolumeNameText& volume : VolumeList) {
        known = known || volume.str() == options.volume;
    }
    if (!known) {
        return ReportError(err, kExitNoMatch,
                           who + " has no volume \"" + PrintableText(options.volume) + "\"");
    }

    // The letter: the one given, else the window's choice, the highest free.
    const std::vector<DriveLetterRow> rows = ListDriveLetters(*services.drives);
    const DriveLetterRow* chosen = nullptr;
    for (const DriveLetterRow& row : rows) {
        if (options.letter.empty() ? row.preselected : row.letter == options.letter) {
            chosen = &row;
        }
    }
    if (chosen == nullptr) {
        return ReportError(err, kExitUsage,
                           options.letter.empty()
                               ? "no drive letter is free; give --letter and --force"
                               : options.letter + " cannot take a network drive");
    }
    // --force is the command line's answer to the window's confirmation.
    if (!chosen->free() && !options.force) {
        return ReportError(err, kExitUsage,
                           chosen->letter + " is in use (" + PrintableText(chosen->remote) +
                               "); give --force to replace its connection");
    }

    VolumeMapping mapping;
    mapping.localName = chosen->letter;
    mapping.serverName = device.ip;
    mapping.volumeName = options.volume;
    GetWindowsVersionName(mapping.osName, *services.version);
    mapping.user = options.user;
    mapping.password = password;
    if (mapping.osName.find("NT") == std::string::npos) {
        DomainName.Clear();
        QueryDomainName();
        mapping.domain = DomainName.str();
    }
    const std::uint32_t result = MapVolume(*services.drives, mapping);
    const std::string remote = RemoteName(device, options.volume);
    if (result != platform::NO_ERROR) {
        return ReportError(err, kExitRecorderFailed,
                           std::string(kMapFailedText) + " " + mapping.localName + " " +
                               PrintableText(remote) + ": " + DriveFailureText(result));
    }
    if (options.json) {
        out << JsonText(nlohmann::json{{"letter", mapping.localName},
                                       {"remote", PrintableText(remote)},
                                       {"result", "mapped"}});
    } else {
        out << kMapSucceededText << " " << mapping.localName << " " << PrintableText(remote)
            << '\n';
    }
    return kExitOk;
}

}  // namespace cli
