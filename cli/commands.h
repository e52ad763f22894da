#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/format.h"

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

// Runs one command line (the arguments after the program name). Output goes
// to out, one error line (prefixed "ostrel-nvr: ") to err. environmentPassword
// is the value of OSTREL_PASSWORD, or null when it is unset.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const char* environmentPassword);

// The recorders of the device table as the search shows them.
std::vector<DeviceSummary> SummarizeDeviceTable();

}  // namespace cli
