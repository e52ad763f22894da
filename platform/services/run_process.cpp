#include "platform/services/run_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <sys/wait.h>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <unistd.h>

#include "platform/services/program_launcher.h"

namespace ostrel::platform {

bool ProgramOnPath(const std::string& name) {
    const char* pathVariable = std::getenv("PATH");
    const std::string searchPath = pathVariable != nullptr ? pathVariable : "/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const auto colon = searchPath.find(':', start);
        const std::string folder = searchPath.substr(start, colon - start);
        if (!folder.empty() && access((folder + "/" + name).c_str(), X_OK) == 0) {
            return true;
        }
        if (colon == std::string::npos) {
            return false;
        }
        start = colon + 1;
    }
}

ProcessOutcome RunProcess(const std::vector<std::string>& argv, const std::string& input,
                          std::chrono::milliseconds limit) {
    ProcessOutcome outcome;
    if (argv.empty()) {
        return outcome;
    }
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) {
        return outcome;
    }
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        return outcome;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 2);
    std::vector<char*> arguments;
    for (const auto& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    pid_t pid = 0;
    std::vector<std::string> environment = ChildEnvironment();
    const int error = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, arguments.data(),
                                   EnvironmentPointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    if (error != 0) {
        close(toChild[1]);
        close(fromChild[0]);
        return outcome;
    }
    outcome.started = true;

    // The input is small (a few short lines), so a full pipe is not a
    // concern; a helper that exits before reading it must not end us with
    // SIGPIPE. The signal is blocked for this thread only while writing, and
    // one it raised is taken off again.
    sigset_t pipeSignal;
    sigset_t previousMask;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previousMask);
    std::size_t written = 0;
    while (written < input.size()) {
        const ssize_t put = write(toChild[1], input.data() + written, input.size() - written);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            break;
        }
        written += static_cast<std::size_t>(put);
    }
    close(toChild[1]);
    if (written < input.size()) {
        const timespec now{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);

    const auto deadline = std::chrono::steady_clock::now() + limit;
    char chunk[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            outcome.timedOut = true;
            break;
        }
        pollfd waiter{fromChild[0], POLLIN, 0};
        const int ready = poll(&waiter, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;  // the loop head notices the deadline
        }
        const ssize_t got = read(fromChild[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // every writer closed its end
        }
        outcome.output.append(chunk, static_cast<std::size_t>(got));
    }
    close(fromChild[0]);
    if (outcome.timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!outcome.timedOut && WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    }
    return outcome;
}

}  // namespace ostrel::platform
