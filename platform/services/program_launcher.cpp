#include "platform/services/program_launcher.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include "platform/services/ascii_text.h"

extern char** environ;

namespace ostrel::platform {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> words;
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    while (i < n) {
        while (i < n && (commandLine[i] == ' ' || commandLine[i] == '\t')) {
            ++i;
        }
        if (i >= n) {
            break;
        }
        std::string word;
        bool quoted = false;
        while (i < n && (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t'))) {
            if (commandLine[i] == '\\') {
                std::size_t slashes = 0;
                while (i < n && commandLine[i] == '\\') {
                    ++slashes;
                    ++i;
                }
                if (i < n && commandLine[i] == '"') {
                    word.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        word.push_back('"');
                        ++i;
                    }
                } else {
                    word.append(slashes, '\\');
                }
            } else if (commandLine[i] == '"') {
                quoted = !quoted;
                ++i;
            } else {
                word.push_back(commandLine[i++]);
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

namespace {

bool IsExplorer(const std::string& program) {
    const std::string base = Lower(program.substr(program.find_last_of("\\/") + 1));
    return base == "explorer" || base == "explorer.exe";
}

// Where a program name leads: the file to run, or the start code that says
// why there is none.
struct ProgramLookup {
    std::string path;
    std::uint32_t failure = 0;
};

std::uint32_t CheckProgramFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            const auto slash = path.find_last_of('/');
            const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
            struct stat folderInfo {};
            return stat(folder.c_str(), &folderInfo) == 0 ? 2 : 3;
        }
        return errno == ENOTDIR ? 3 : 2;
    }
    if (!S_ISREG(info.st_mode) || access(path.c_str(), X_OK) != 0) {
        return 11;
    }
    return 0;
}

ProgramLookup FindProgram(const std::string& program) {
    if (program.empty()) {
        return {{}, 2};
    }
    // A Windows folder path cannot lead anywhere here.
    if (program.find('\\') != std::string::npos || (program.size() >= 2 && program[1] == ':')) {
        return {{}, 3};
    }
    if (program.find('/') != std::string::npos) {
        const std::uint32_t failure = CheckProgramFile(program);
        return {failure == 0 ? program : std::string(), failure};
    }
    const char* pathVariable = std::getenv("PATH");
    const std::string searchPath = pathVariable != nullptr ? pathVariable : "/usr/bin:/bin";
    std::uint32_t failure = 2;
    std::size_t start = 0;
    for (;;) {
        const auto colon = searchPath.find(':', start);
        std::string folder = searchPath.substr(start, colon - start);
        if (folder.empty()) {
            folder = ".";
        }
        const std::string candidate = folder + "/" + program;
        const std::uint32_t found = CheckProgramFile(candidate);
        if (found == 0) {
            return {candidate, 0};
        }
        if (found == 11) {
            failure = 11;  // remember it, but a later folder may hold a runnable one
        }
        if (colon == std::string::npos) {
            break;
        }
        start = colon + 1;
    }
    return {{}, failure};
}

}  // namespace

std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text(*entry);
        const std::string_view name = text.substr(0, text.find('='));
        bool secret = false;
        for (const char* variable : kSecretVariables) {
            secret = secret || name == variable;
        }
        if (!secret) {
            entries.emplace_back(text);
        }
    }
    return entries;
}

std::vector<char*> EnvironmentPointers(std::vector<std::string>& entries) {
    std::vector<char*> pointers;
    pointers.reserve(entries.size() + 1);
    for (std::string& entry : entries) {
        pointers.push_back(entry.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

namespace {

// Starts the program detached from our input; a thread reaps it when it ends
// so no zombie is left behind. 0 on success, else the errno of the start.
int Spawn(const std::string& path, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    std::vector<std::string> environment = ChildEnvironment();
    const int error = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(),
                                  EnvironmentPointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    if (error == 0) {
        std::thread([pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    return error;
}

std::uint32_t StartCode(int spawnError) {
    switch (spawnError) {
        case 0:
            return kWinExecSucceeded;
        case ENOENT:
            return 2;
        case ENOTDIR:
            return 3;
        case ENOEXEC:
        case EACCES:
        case EPERM:
            return 11;
        default:
            return 0;
    }
}

bool LooksLikeUrl(const std::string& text) {
    const auto colon = text.find("://");
    return colon != std::string::npos && colon > 0 &&
           std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon),
                       [](unsigned char c) { return std::isalnum(c) || c == '+' || c == '-'; });
}

}  // namespace

XdgProgramLauncher::XdgProgramLauncher(std::string opener) : opener_(std::move(opener)) {}

std::uint32_t XdgProgramLauncher::WinExec(const char* commandLine, int /*showCommand*/) {
    std::vector<std::string> words = SplitCommandLine(commandLine != nullptr ? commandLine : "");
    if (words.empty()) {
        return 2;
    }
    if (IsExplorer(words.front())) {
        words.front() = opener_;
    }
    const ProgramLookup program = FindProgram(words.front());
    if (program.failure != 0) {
        return program.failure;
    }
    return StartCode(Spawn(program.path, words));
}

std::intptr_t XdgProgramLauncher::ShellExecuteA(const char* verb, const char* file,
                                                const char* /*parameters*/, const char* directory,
                                                int /*showCommand*/) {
    // Only "open" (the default verb) is known to the desktop's opener.
    if (verb != nullptr && verb[0] != '\0' && std::string(verb) != "open") {
        return SE_ERR_NOASSOC;
    }
    std::string target = file != nullptr ? file : "";
    if (target.empty()) {
        return SE_ERR_FNF;
    }
    if (!LooksLikeUrl(target)) {
        if (target.front() != '/') {
            std::string base;
            if (directory != nullptr && directory[0] != '\0') {
                base = directory;
            } else if (char* current = getcwd(nullptr, 0); current != nullptr) {
                base = current;
                std::free(current);
            }
            target = base + "/" + target;
        }
        struct stat info {};
        if (stat(target.c_str(), &info) != 0) {
            return errno == ENOTDIR ? SE_ERR_PNF : SE_ERR_FNF;
        }
        if (access(target.c_str(), R_OK) != 0) {
            return SE_ERR_ACCESSDENIED;
        }
    }
    const ProgramLookup program = FindProgram(opener_);
    if (program.failure != 0) {
        return SE_ERR_NOASSOC;
    }
    return Spawn(program.path, {opener_, target}) == 0 ? kShellExecuteSucceeded : SE_ERR_NOASSOC;
}

std::uint32_t FakeProgramLauncher::WinExec(const char* commandLine, int /*showCommand*/) {
    commandLines.emplace_back(commandLine != nullptr ? commandLine : "");
    if (winExecResults.empty()) {
        return kWinExecSucceeded;
    }
    return winExecResults[std::min(commandLines.size(), winExecResults.size()) - 1];
}

std::intptr_t FakeProgramLauncher::ShellExecuteA(const char* /*verb*/, const char* file,
                                                 const char* /*parameters*/,
                                                 const char* /*directory*/, int /*showCommand*/) {
    openedFiles.emplace_back(file != nullptr ? file : "");
    if (shellExecuteResults.empty()) {
        return kShellExecuteSucceeded;
    }
    return shellExecuteResults[std::min(openedFiles.size(), shellExecuteResults.size()) - 1];
}

}  // namespace ostrel::platform
