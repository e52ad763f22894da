#pragma once

#include "platform/services/file_service.h"
#include "platform/services/http_probe.h"
#include "platform/services/network_drives.h"
#include "platform/services/program_launcher.h"
#include "platform/services/registry.h"
#include "platform/services/user_account.h"
#include "platform/services/windows_version.h"

// The set of services that stand in for the Windows ones, handed to the
// windows that need them. Tests build one from fakes; the program uses
// SystemServices().
namespace ostrel::platform {

struct PlatformServices {
    NetworkDrives* drives = nullptr;
    FileService* files = nullptr;
    ProgramLauncher* launcher = nullptr;
    Registry* registry = nullptr;
    HttpProbe* probe = nullptr;
    VersionSource* version = nullptr;
    UserAccount* user = nullptr;
};

// The real services, made on first use and kept for the life of the
// process: SMB network drives in the user's connection table, files through
// them, xdg-open, the freedesktop default browser, a TCP probe, the version
// a current Windows reports, the login name. The drives and the files share
// the credentials of the servers connected in this process.
PlatformServices& SystemServices();

class SmbNetworkDrives;
// The real network drives (for setting the prompt of interactive connections).
SmbNetworkDrives& SystemNetworkDrives();

}  // namespace ostrel::platform
