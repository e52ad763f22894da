#include "platform/services/platform_services.h"

#include "platform/services/smb_network_drives.h"

namespace ostrel::platform {

namespace {

struct SystemParts {
    SystemParts() : files(FilesOptions(drives)) {
        services.drives = &drives;
        services.files = &files;
        services.launcher = &launcher;
        services.registry = &registry;
        services.probe = &probe;
        services.version = &version;
        services.user = &user;
    }

    static PlatformFiles::Options FilesOptions(SmbNetworkDrives& drives) {
        PlatformFiles::Options options;
        options.sessions = drives.sessions();
        options.drives = &drives;
        return options;
    }

    SmbNetworkDrives drives;
    PlatformFiles files;
    XdgProgramLauncher launcher;
    FreedesktopRegistry registry;
    TcpHttpProbe probe;
    CurrentWindowsVersion version;
    LoginUserAccount user;
    PlatformServices services;
};

SystemParts& Parts() {
    static SystemParts parts;
    return parts;
}

}  // namespace

PlatformServices& SystemServices() {
    return Parts().services;
}

SmbNetworkDrives& SystemNetworkDrives() {
    return Parts().drives;
}

}  // namespace ostrel::platform
