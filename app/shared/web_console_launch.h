#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "platform/services/http_probe.h"
#include "platform/services/program_launcher.h"
#include "platform/services/registry.h"
#include "protocol/fixed_text.h"

// The web console launch without its window: the reachability probe on a
// worker thread, the bounded wait for its answer, and the browser start. The
// main window's Configure and the command line's console command both use it.

inline constexpr const char* kSelectDeviceToConfigureText = "Please select a device to configure.";
inline constexpr const char* kDeviceNoLongerAvailableText = "Device is no longer available.";

// The probe's answer, shared by the worker thread (which stores 1 or -1) and
// the window (which reads it and sets it back to pending). Atomic, so the
// store and the reads are well defined without a lock.
inline constexpr int kProbePending = 0;
inline constexpr int kProbeReachable = 1;
inline constexpr int kProbeUnreachable = -1;
extern std::atomic<int> ProbeResult;

// The worker thread's body: checks "http://<address>" with the force-connection
// flag and stores 1 (reachable) or -1 in ProbeResult. The address is the
// worker's own copy of CurrentDeviceAddress, taken when the launch starts, so a
// later device pick that rewrites the program-wide text never races with it.
void ReachabilityProbe(ostrel::platform::HttpProbe& probe, const FixedText<64>& address);

// The one probe thread of a window. Start waits for a probe still running
// from an earlier launch (it stores its answer first), then sets ProbeResult
// to pending and starts the new one. Join waits for a running probe; the
// window's tear-down and the destructor call it, so no probe outlives the
// window or the services it uses.
class ProbeThread {
public:
    // Starts the worker's body on a new thread, throwing std::system_error
    // as std::thread does when the system cannot create one. Tests replace
    // it to stand for such a system.
    using ThreadStart = std::function<std::thread(std::function<void()> body)>;
    static std::thread StartStdThread(std::function<void()> body);

    ProbeThread() = default;
    ~ProbeThread();
    ProbeThread(const ProbeThread&) = delete;
    ProbeThread& operator=(const ProbeThread&) = delete;

    void Start(ostrel::platform::HttpProbe& probe, const FixedText<64>& address);
    void Join();
    bool Started() const { return thread_.joinable(); }

    // A probe that cannot be started answers "unreachable" at once.
    ThreadStart startThread = StartStdThread;

private:
    std::thread thread_;
};

// The pause between two looks at ProbeResult; tests replace it so the wait
// runs at once.
using ProbeSleep = std::function<void(unsigned milliseconds)>;
void SleepMilliseconds(unsigned milliseconds);

// The command line buffer of the browser start, terminator included.
inline constexpr std::size_t kCommandLineSize = 128;
// Registry values are read into a buffer of this size, terminator included.
inline constexpr std::size_t kRegistryValueSize = 120;

// The default browser's name and registered command, and the command lines
// that start it on a URL.
struct BrowserLaunch {
    std::string commandLine;   // what is started first
    std::string fallbackLine;  // "explorer <url>", started once on 2, 3 or 11
};

// "https" when the secure-web setting holds a "1" anywhere, else "http".
const char* ConsoleScheme(const char* httpsSetting);

// The command lines for the browser registered under `browserName` (its
// command read through the registry) on <scheme>://<address>. A name holding
// "IE" opens the URL with Explorer. A registered command whose line would not
// fit the 128-character buffer is not cut (a cut command is another program):
// the plain opener "explorer <url>" is used straight away instead, which
// always fits since the address has at most 63 characters.
BrowserLaunch MakeBrowserLaunch(ostrel::platform::Registry& registry, const char* scheme,
                                const char* address);

// Reads the default browser, starts it on the console's URL, and falls back
// once to Explorer when the start answers 2, 3 or 11. The launcher's other
// answers end the launch without a message.
void LaunchWebConsole(ostrel::platform::Registry& registry,
                      ostrel::platform::ProgramLauncher& launcher, const char* httpsSetting,
                      const char* address);

// Waits for the running probe's answer: at most two one-second pauses, so the
// recorder has about two seconds to accept the connection. Sets the answer
// back to pending and returns it (kProbePending when none came in time).
int AwaitProbe(const ProbeSleep& sleep);
