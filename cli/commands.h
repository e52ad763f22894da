#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/format.h"

namespace ostrel::platform {
struct PlatformServices;
}

// The commands of ostrel-nvr on the protocol library. Each run starts the
// network layer, runs discovery so that the device table knows on which
// local address each recorder answered, runs the command, and shuts the
// network layer down again.
namespace cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitRecorderFailed = 1,  // the recorder refused or did not answer
    kExitUsage = 2,           // usage or validation error
    kExitNoMatch = 3,         // no recorder matches the selector
};

// Reads a password from the user, prompting for it; nothing when the input
// ended or failed.
using PasswordPrompt = std::optional<std::string> (*)();

// Runs one command line (the arguments after the program name). Output goes
// to out, one error line (prefixed "ostrel-nvr: ") to err. environmentPassword
// is the value of OSTREL_PASSWORD, or null when it is unset. With
// --password-stdin, a prompt (given when standard input is a terminal) reads
// the password instead of in.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const char* environmentPassword, PasswordPrompt prompt = nullptr);
// The same with the platform services (network drives, probe, launcher) of
// console, drives, map and unmap; null takes the system's own.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const char* environmentPassword,
           ostrel::platform::PlatformServices* services);
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const char* environmentPassword, PasswordPrompt prompt,
           ostrel::platform::PlatformServices* services);

// Writes one error line, prefixed "ostrel-nvr: ", and returns the code.
int ReportError(std::ostream& err, int code, const std::string& message);

// Every IPv4 address of this computer, searched or left out.
std::vector<std::string> LocalIpv4Addresses();

// The recorders of the device table as the search shows them.
std::vector<DeviceSummary> SummarizeDeviceTable();

}  // namespace cli
