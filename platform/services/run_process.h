#pragma once

#include <chrono>
#include <string>
#include <vector>

// Runs a helper program to its end with a time limit.
namespace ostrel::platform {

struct ProcessOutcome {
    bool started = false;
    bool timedOut = false;
    int exitCode = -1;   // -1 when it did not exit normally
    std::string output;  // standard output and standard error together
};

// Starts argv[0] (looked up on PATH), writes `input` to its standard input and
// closes it, collects its output and waits for it at most `limit`; a helper
// still running then is killed (only that process, by its id).
ProcessOutcome RunProcess(const std::vector<std::string>& argv, const std::string& input,
                          std::chrono::milliseconds limit);

// True when the program can be found on PATH.
bool ProgramOnPath(const std::string& name);

}  // namespace ostrel::platform
