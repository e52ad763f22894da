// ostrel-nvr-search: finds the recorders on the local networks and sets them up.

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include <sys/socket.h>

#include <unistd.h>

#include "app/accessibility.h"
#include "app/credentials_prompt.h"
#include "app/lanscout_app.h"
#include "ostrel_version.h"
#include "platform/dialog/dialog.h"
#include "skin/drag_move.h"

namespace {

// The network layer cannot start when the system gives this process no IPv4
// datagram sockets at all (no IPv4 support, or no descriptors left).
bool Ipv4DatagramSocketsAvailable(int& error) {
    const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (probe < 0) {
        error = errno;
        return false;
    }
    ::close(probe);
    return true;
}

constexpr const char* kHelp =
    "usage: ostrel-nvr-search [--help] [--version] [Qt options]\n"
    "\n"
    "Opens the main window, which searches the local networks for recorders.\n"
    "Qt's own options (such as -platform NAME or -display DISPLAY) are passed on.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window, display or socket is needed.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::printf("ostrel-nvr-search %s\n", OSTREL_VERSION);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    int error = 0;
    if (!Ipv4DatagramSocketsAvailable(error)) {
        std::fprintf(stderr, "ostrel-nvr-search: cannot start the network layer: %s\n",
                     std::strerror(error));
        return 1;
    }
    QApplication application(argc, argv);
    InstallAccessibility();
    SetUpProductDialogs();
    // A press on a frameless window's surface moves it through the window
    // manager; where none offers that (a bare X server), the window follows
    // the mouse instead of staying put.
    CDialog::SetWindowMoveHook(
        [](CDialog& dialog, QPoint at) { skin::StartWindowMove(&dialog, at); });

    // Interactive network connections (the map command's second attempt)
    // ask for credentials through the product's own dialog.
    InstallCredentialPrompt();

    CLanscoutApp app;
    app.InitInstance();
    return 0;
}
