#include "cli/terminal.h"

#include <cerrno>
#include <csignal>

#include <termios.h>
#include <unistd.h>

namespace cli {
namespace {

constexpr int kRestoringSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the signal handler needs; written before the handlers are installed.
termios savedSettings;
volatile std::sig_atomic_t savedFd = -1;

extern "C" void RestoreAndRaise(int signal) {
    if (savedFd >= 0) {
        tcsetattr(savedFd, TCSAFLUSH, &savedSettings);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Echo off on a terminal for the life of the object, with the settings put
// back by the destructor or, if a signal ends the program first, by its
// handler.
class EchoOff {
public:
    explicit EchoOff(int fd) {
        termios settings;
        if (tcgetattr(fd, &settings) != 0) {
            return;  // not a terminal
        }
        savedSettings = settings;
        savedFd = fd;
        struct sigaction action {};
        action.sa_handler = RestoreAndRaise;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kRestoringSignals); ++i) {
            sigaction(kRestoringSignals[i], &action, &previous_[i]);
        }
        settings.c_lflag &= static_cast<tcflag_t>(~ECHO);
        settings.c_lflag |= ECHONL;  // the user still sees the Enter
        tcsetattr(fd, TCSAFLUSH, &settings);
        fd_ = fd;
    }
    ~EchoOff() {
        if (fd_ < 0) {
            return;
        }
        tcsetattr(fd_, TCSAFLUSH, &savedSettings);
        savedFd = -1;
        for (std::size_t i = 0; i < std::size(kRestoringSignals); ++i) {
            sigaction(kRestoringSignals[i], &previous_[i], nullptr);
        }
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int fd_ = -1;
    struct sigaction previous_[std::size(kRestoringSignals)]{};
};

}  // namespace

std::optional<std::string> ReadHiddenLine(int fd, std::FILE* promptTo) {
    std::fputs("Password: ", promptTo);
    std::fflush(promptTo);
    const EchoOff echoOff(fd);
    std::string line;
    for (;;) {
        char c;
        const ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (line.empty()) {
                return std::nullopt;
            }
            break;
        }
        if (c == '\n') {
            break;
        }
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

std::optional<std::string> PromptForPassword() {
    return ReadHiddenLine(STDIN_FILENO, stderr);
}

}  // namespace cli
