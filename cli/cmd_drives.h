#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/format.h"
#include "platform/services/platform_services.h"

// The commands the command line shares with the main window's buttons:
// console (Configure), drives (the drive-letter list), map and unmap. The
// rules and the texts are the window's own, from app/shared and
// app/drive_letters.
namespace cli {

// One letter of the drive-letter list, as the window's list shows it: the
// letters Z down to C that are not local drives.
struct DriveLetterRow {
    std::string letter;        // "Z:"
    std::string remote;        // "\\host\share", empty when the letter is free
    bool preselected = false;  // the highest free letter, the window's choice
    bool free() const { return remote.empty(); }
};

std::vector<DriveLetterRow> ListDriveLetters(ostrel::platform::NetworkDrives& drives);

// One tab-separated line per letter: letter, \\host\share (or "-"), "free"
// or "in use"; or a JSON array of objects with letter, remote (null when
// free) and free.
std::string FormatDrivesText(const std::vector<DriveLetterRow>& rows);
std::string FormatDrivesJson(const std::vector<DriveLetterRow>& rows);

// One warning line per line of the connection table that is no connection:
// the user learns that it is ignored, and that rewrites keep it.
void WarnOfUnreadTableLines(const std::string& tablePath, std::ostream& err);

int RunDrives(const Options& options, ostrel::platform::PlatformServices& services,
              std::ostream& out, std::ostream& err);
int RunUnmap(const Options& options, ostrel::platform::PlatformServices& services,
             std::ostream& out, std::ostream& err);
// The recorder is the one the selector picked from the search.
int RunConsole(const Options& options, const DeviceSummary& device,
               ostrel::platform::PlatformServices& services, std::ostream& out, std::ostream& err);
// The command line's answer to the system's credentials prompt, which a
// map on a system of the "Vista" kind raises when the first attempt fails:
// the user name and password given for the recorder.
class PromptAnswer final : public ostrel::platform::CredentialPrompt {
public:
    PromptAnswer(std::string userName, std::string password)
        : answer_{std::move(userName), std::move(password)} {}
    std::optional<ostrel::platform::PromptedCredentials> AskCredentials(
        const std::string&, const std::string&) override {
        return answer_;
    }

private:
    ostrel::platform::PromptedCredentials answer_;
};

// After the login: the recorder's volumes are read to check the name.
int RunMap(const Options& options, const DeviceSummary& device, const std::string& password,
           ostrel::platform::PlatformServices& services, std::ostream& out, std::ostream& err);

}  // namespace cli
