#include "sim/daemon/address_apply.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <sys/wait.h>

#include <dirent.h>
#include <signal.h>
#include <spawn.h>

extern char** environ;

namespace sim {

bool InPrivateNetworkNamespace(std::string& why) {
    struct stat self {};
    if (stat("/proc/self/ns/net", &self) != 0) {
        why = std::string("cannot inspect /proc/self/ns/net: ") + std::strerror(errno);
        return false;
    }
    // A namespace made with "ip netns add" is pinned under /run/netns.
    if (DIR* dir = opendir("/run/netns")) {
        bool named = false;
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            struct stat pinned {};
            const std::string path = std::string("/run/netns/") + entry->d_name;
            if (stat(path.c_str(), &pinned) == 0 && pinned.st_dev == self.st_dev &&
                pinned.st_ino == self.st_ino)
                named = true;
        }
        closedir(dir);
        if (named)
            return true;
    }
    // Otherwise it must at least differ from process 1's namespace.
    struct stat init {};
    if (stat("/proc/1/ns/net", &init) != 0) {
        why =
            "this network namespace is not one of /run/netns and process 1's cannot be inspected "
            "(" +
            std::string(std::strerror(errno)) + ")";
        return false;
    }
    if (self.st_dev == init.st_dev && self.st_ino == init.st_ino) {
        why = "this process shares process 1's network namespace";
        return false;
    }
    return true;
}

std::string RunIp(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"ip"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& arg : argv)
        raw.push_back(arg.data());
    raw.push_back(nullptr);

    // The daemon blocks its stop signals for its signalfd; the child must not
    // inherit that.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t empty;
    sigemptyset(&empty);
    posix_spawnattr_setsigmask(&attr, &empty);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "ip", nullptr, &attr, raw.data(), environ);
    posix_spawnattr_destroy(&attr);
    std::string command;
    for (const auto& arg : argv)
        command += (command.empty() ? "" : " ") + arg;
    if (rc != 0)
        return "cannot run " + command + ": " + std::strerror(rc);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return "cannot wait for " + command + ": " + std::strerror(errno);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    if (WIFEXITED(status))
        return command + " failed with exit code " + std::to_string(WEXITSTATUS(status));
    return command + " ended abnormally";
}

std::string KeepSecondaryAddresses(const std::string& interface) {
    if (interface.find('/') != std::string::npos || interface == "." || interface == "..")
        return "bad interface name " + interface;
    const std::string path = "/proc/sys/net/ipv4/conf/" + interface + "/promote_secondaries";
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return "cannot open " + path + ": " + std::strerror(errno);
    const bool written = std::fputs("1\n", file) >= 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        return "cannot write " + path;
    return {};
}

std::string AddAddress(const std::string& interface, const std::string& address, int prefix) {
    return RunIp(
        {"-4", "addr", "replace", address + "/" + std::to_string(prefix), "dev", interface});
}

std::string RemoveAddress(const std::string& interface, const std::string& address, int prefix) {
    return RunIp({"-4", "addr", "del", address + "/" + std::to_string(prefix), "dev", interface});
}

}  // namespace sim
