// The web console launch without its window: probe, bounded wait, browser.

#include "app/shared/web_console_launch.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "platform/services/win_codes.h"

namespace platform = ostrel::platform;

std::atomic<int> ProbeResult{kProbePending};

void ReachabilityProbe(platform::HttpProbe& probe, const FixedText<64>& address) {
    // Room for the scheme and the whole address, so the URL is never cut.
    char url[sizeof "http://" - 1 + FixedText<64>::kCapacity];
    std::snprintf(url, sizeof url, "http://%s", address.c_str());
    const bool reachable =
        probe.InternetCheckConnectionA(url, platform::FLAG_ICC_FORCE_CONNECTION, 0);
    ProbeResult.store(reachable ? kProbeReachable : kProbeUnreachable);
}

ProbeThread::~ProbeThread() {
    Join();
}

void ProbeThread::Start(platform::HttpProbe& probe, const FixedText<64>& address) {
    // A probe the last wait gave up on stores its answer before this launch
    // sets the result back to pending, so it can never answer for this one.
    Join();
    ProbeResult.store(kProbePending);
    try {
        thread_ = startThread([&probe, address] { ReachabilityProbe(probe, address); });
    } catch (const std::system_error&) {
        // No thread to run the check (the system is out of threads or
        // memory): the console cannot be confirmed, so report the recorder
        // unreachable rather than end the program.
        ProbeResult.store(kProbeUnreachable);
    }
}

std::thread ProbeThread::StartStdThread(std::function<void()> body) {
    return std::thread(std::move(body));
}

void ProbeThread::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void SleepMilliseconds(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

const char* ConsoleScheme(const char* httpsSetting) {
    return httpsSetting != nullptr && std::strchr(httpsSetting, '1') != nullptr ? "https" : "http";
}

namespace {

// A registry value as the 120-byte buffer holds it.
std::string RegistryValue(platform::Registry& registry, const std::string& subkey) {
    const std::string read =
        registry.ReadRegistryString(platform::RegistryRoot::HKEY_LOCAL_MACHINE, subkey, "");
    const FixedText<kRegistryValueSize> value(read);
    return value.str();
}

// "<program> <scheme>://<address>", or nothing when it needs more than the
// command line buffer holds.
bool FormatCommandLine(std::string& line, const char* program, const char* scheme,
                       const char* address) {
    char buffer[kCommandLineSize];
    const int length = std::snprintf(buffer, sizeof buffer, "%s %s://%s", program, scheme, address);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
        return false;
    }
    line.assign(buffer, static_cast<std::size_t>(length));
    return true;
}

}  // namespace

BrowserLaunch MakeBrowserLaunch(platform::Registry& registry, const char* scheme,
                                const char* address) {
    BrowserLaunch launch;
    // The address comes from a 64-byte buffer, so the plain opener always fits.
    FormatCommandLine(launch.fallbackLine, "explorer", scheme, address);

    const std::string browser = RegistryValue(registry, platform::kStartMenuInternetKey);
    if (browser.find("IE") != std::string::npos) {
        launch.commandLine = launch.fallbackLine;
        return launch;
    }
    const std::string command =
        RegistryValue(registry, std::string(platform::kStartMenuInternetKey) + "\\" + browser +
                                    "\\shell\\open\\command");
    if (!FormatCommandLine(launch.commandLine, command.c_str(), scheme, address)) {
        launch.commandLine = launch.fallbackLine;
    }
    return launch;
}

void LaunchWebConsole(platform::Registry& registry, platform::ProgramLauncher& launcher,
                      const char* httpsSetting, const char* address) {
    const BrowserLaunch launch = MakeBrowserLaunch(registry, ConsoleScheme(httpsSetting), address);
    const std::uint32_t started = launcher.WinExec(launch.commandLine.c_str(), platform::SW_HIDE);
    if (started == platform::ERROR_FILE_NOT_FOUND || started == platform::ERROR_PATH_NOT_FOUND ||
        started == platform::ERROR_BAD_FORMAT) {
        launcher.WinExec(launch.fallbackLine.c_str(), platform::SW_HIDE);
    }
}

int AwaitProbe(const ProbeSleep& sleep) {
    int waits = 0;
    int result = ProbeResult.load();
    while (result != kProbeReachable && result != kProbeUnreachable && waits < 2) {
        sleep(1000);
        ++waits;
        result = ProbeResult.load();
    }
    ProbeResult.store(kProbePending);
    return result;
}
