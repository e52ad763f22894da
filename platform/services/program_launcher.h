#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Starting programs and opening documents: the stand-in for the Windows
// program start (command lines) and the shell's "open" verb. On Linux the
// desktop's opener (xdg-open) opens URLs and files with the user's default
// application.
namespace ostrel::platform {

// Result codes of a command-line start, as the callers test them.
inline constexpr std::uint32_t kWinExecSucceeded = 33;  // any value above 31 means success

// Result codes of an "open" (32 or less is a failure).
inline constexpr std::intptr_t SE_ERR_FNF = 2;
inline constexpr std::intptr_t SE_ERR_PNF = 3;
inline constexpr std::intptr_t SE_ERR_ACCESSDENIED = 5;
inline constexpr std::intptr_t SE_ERR_NOASSOC = 31;
inline constexpr std::intptr_t kShellExecuteSucceeded = 42;

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts the command line and does not wait for it. More than 31 on
    // success; 2 (program not found), 3 (its folder not found) or 11 (not a
    // program that can run) otherwise, 0 when no process can be made.
    virtual std::uint32_t WinExec(const char* commandLine, int showCommand) = 0;
    // Opens a file (or a URL) with the default application. More than 32 on
    // success; 2 for a missing file, 31 when nothing can open it.
    virtual std::intptr_t ShellExecuteA(const char* verb, const char* file, const char* parameters,
                                        const char* directory, int showCommand) = 0;
};

// The variables that hold the product's secrets.
inline constexpr const char* kSecretVariables[] = {"OSTREL_PASSWORD"};

// The environment of every program the product starts (a browser, the
// desktop's opener, a helper): this process's own without kSecretVariables,
// which none of them has any business seeing. "NAME=value" entries.
std::vector<std::string> ChildEnvironment();
// The same as the null-terminated array posix_spawn takes; the pointers
// point into `entries`.
std::vector<char*> EnvironmentPointers(std::vector<std::string>& entries);

// Splits a command line into program and arguments by the Windows rules:
// blanks separate, double quotes group, backslashes are literal except before
// a double quote.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The real launcher. "explorer" (any case, with or without ".exe" and a
// Windows folder) stands for the desktop's opener, which gets the rest of the
// command line as its arguments; any other program is looked up on PATH (or
// taken as given when it holds a slash) and started with its arguments.
class XdgProgramLauncher final : public ProgramLauncher {
public:
    explicit XdgProgramLauncher(std::string opener = "xdg-open");
    std::uint32_t WinExec(const char* commandLine, int showCommand) override;
    std::intptr_t ShellExecuteA(const char* verb, const char* file, const char* parameters,
                                const char* directory, int showCommand) override;

private:
    std::string opener_;
};

// Records what it is asked and answers with set results.
class FakeProgramLauncher final : public ProgramLauncher {
public:
    std::uint32_t WinExec(const char* commandLine, int showCommand) override;
    std::intptr_t ShellExecuteA(const char* verb, const char* file, const char* parameters,
                                const char* directory, int showCommand) override;

    // Results by call order; once used up, the last one repeats.
    std::vector<std::uint32_t> winExecResults{kWinExecSucceeded};
    std::vector<std::intptr_t> shellExecuteResults{kShellExecuteSucceeded};
    std::vector<std::string> commandLines;
    std::vector<std::string> openedFiles;
};

}  // namespace ostrel::platform
