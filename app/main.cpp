// ostrel-nvr-search: finds the recorders on the local networks and sets them up.

#include <QApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/socket.h>

#include <unistd.h>

#include "app/lanscout_app.h"
#include "platform/dialog/dialog.h"
#include "platform/dialog/dialog_units.h"
#include "platform/dialog/message_box.h"
#include "res/product_name.h"
#include "res/templates/dialog_templates.h"
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

}  // namespace

int main(int argc, char** argv) {
    int error = 0;
    if (!Ipv4DatagramSocketsAvailable(error)) {
        std::fprintf(stderr, "ostrel-nvr-search: cannot start the network layer: %s\n",
                     std::strerror(error));
        return 1;
    }
    QApplication application(argc, argv);
    ostrel::dialog::SetAppName(QString::fromLatin1(res::kProductName));
    ostrel::dialog::EnsureDialogFonts();
    res::RegisterProductDialogTemplates();
    // A press on a frameless window's surface moves it through the window
    // manager; where none offers that (a bare X server), the window follows
    // the mouse instead of staying put.
    CDialog::SetWindowMoveHook(
        [](CDialog& dialog, QPoint at) { skin::StartWindowMove(&dialog, at); });

    CLanscoutApp app;
    app.InitInstance();
    return 0;
}
