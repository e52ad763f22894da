// ostrel-nvr-sim: serves simulated recorders on real sockets.

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <sys/resource.h>

#include "ostrel_version.h"
#include "sim/daemon/address_apply.h"
#include "sim/daemon/config.h"
#include "sim/daemon/event_log.h"
#include "sim/daemon/server.h"

namespace {

constexpr const char* kUsage =
    "usage: ostrel-nvr-sim --config FILE [--log FILE|-] [--pid-file FILE]\n"
    "                      [--apply-addresses [--netns-ok]] [--check-config]\n"
    "       ostrel-nvr-sim --help | --version\n"
    "\n"
    "  --config FILE       recorders to serve (JSON, see sim/README.md)\n"
    "  --log FILE          one JSON line per event (requests, HTTP, address\n"
    "                      changes); \"-\" is standard output\n"
    "  --pid-file FILE     written once every socket is bound\n"
    "  --apply-addresses   really move a recorder's address on its interface\n"
    "                      after a successful static or DHCP change\n"
    "                      (only in a network namespace made for the daemon:\n"
    "                      one under /run/netns, or at least not process 1's)\n"
    "  --netns-ok          states that this runs in a namespace of its own\n"
    "                      (accepted; the namespace is checked regardless)\n"
    "  --check-config      read the configuration, report errors, and exit\n"
    "  -h, --help          print this help and exit\n"
    "  --version           print the version and exit\n";

int Usage(const char* error) {
    if (error)
        std::fprintf(stderr, "ostrel-nvr-sim: %s\n", error);
    std::fputs(kUsage, error ? stderr : stdout);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string configPath;
    std::string logPath;
    sim::ServerOptions options;
    bool netnsOk = false;
    bool checkOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        if (arg == "--config") {
            if (!value(configPath))
                return Usage("--config needs a file");
        } else if (arg == "--log") {
            if (!value(logPath))
                return Usage("--log needs a file or -");
        } else if (arg == "--pid-file") {
            if (!value(options.pidFile))
                return Usage("--pid-file needs a file");
        } else if (arg == "--apply-addresses") {
            options.applyAddresses = true;
        } else if (arg == "--netns-ok") {
            netnsOk = true;
        } else if (arg == "--check-config") {
            checkOnly = true;
        } else if (arg == "--version") {
            std::printf("ostrel-nvr-sim %s\n", OSTREL_VERSION);
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            Usage(nullptr);
            return 0;
        } else {
            const std::string message = "unknown argument " + std::string(arg);
            return Usage(message.c_str());
        }
    }
    if (configPath.empty())
        return Usage("--config is required");

    auto loaded = sim::LoadConfigFile(configPath);
    if (!loaded.config) {
        std::fprintf(stderr, "ostrel-nvr-sim: %s\n", loaded.error.c_str());
        return 2;
    }
    if (checkOnly) {
        std::printf("%s: %zu recorder(s)\n", configPath.c_str(), loaded.config->recorders.size());
        return 0;
    }
    if (options.applyAddresses) {
        // Moving addresses on the host's own interfaces could cut it off its
        // network: only ever do it in a network namespace made for the daemon,
        // on the interfaces its configuration names.
        std::string why;
        if (!sim::InPrivateNetworkNamespace(why)) {
            std::fprintf(stderr,
                         "ostrel-nvr-sim: refusing --apply-addresses: %s (run the daemon in a "
                         "network namespace of its own, e.g. with ip netns exec)\n",
                         why.c_str());
            return 2;
        }
    }
    (void)netnsOk;  // accepted for scripts that state it; the check above decides

    // Every served port holds a UDP and an HTTP socket: a site of hundreds
    // of recorders needs more descriptors than the usual soft limit.
    if (rlimit files{}; getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    sim::EventLog log;
    if (!logPath.empty() && !log.Open(logPath)) {
        std::fprintf(stderr, "ostrel-nvr-sim: cannot open log %s: %s\n", logPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    sim::SimServer server(std::move(*loaded.config), options, log);
    if (auto error = server.Start(); !error.empty()) {
        std::fprintf(stderr, "ostrel-nvr-sim: %s\n", error.c_str());
        return 1;
    }
    if (auto error = server.Run(); !error.empty()) {
        std::fprintf(stderr, "ostrel-nvr-sim: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
