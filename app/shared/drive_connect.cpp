// The connection attempts of mapping a recorder volume to a drive letter.

#include "app/shared/drive_connect.h"

#include "platform/services/win_codes.h"
#include "protocol/fixed_text.h"

using namespace ostrel::platform;

namespace {

// The user-name and password buffers of a connection attempt, and the
// buffer the current user's name is read into.
using NameText = FixedText<64>;
using UserNameText = FixedText<260>;

// "DOMAIN\user", or the user alone without a domain; cut to the buffer.
template <std::size_t N>
FixedText<N> WithDomain(std::string_view domain, std::string_view user) {
    if (domain.empty()) {
        return FixedText<N>(user);
    }
    std::string joined(domain);
    joined += '\\';
    joined += user;
    return FixedText<N>(joined);
}

}  // namespace

std::uint32_t MapVolume(NetworkDrives& drives, const VolumeMapping& mapping) {
    NetResource resource;
    resource.type = RESOURCETYPE_DISK;
    resource.localName = mapping.localName;
    resource.remoteName = "\\\\" + mapping.serverName + "\\" + mapping.volumeName;

    drives.WNetCancelConnection2A(mapping.localName.c_str(), CONNECT_UPDATE_PROFILE, true);

    const NameText cachedUser(mapping.user);
    const NameText cachedPassword(mapping.password);
    std::uint32_t result = NO_ERROR;
    if (mapping.osName.find("NT") != std::string::npos) {
        for (int attempt = 0; attempt < kNtMapAttempts; ++attempt) {
            result = drives.WNetAddConnection2A(resource, cachedPassword.c_str(),
                                                cachedUser.c_str(), CONNECT_UPDATE_PROFILE);
            if (result == NO_ERROR) {
                break;
            }
        }
        return result;
    }
    const NameText domain(mapping.domain);
    if (!domain.empty()) {
        std::string current;
        if (drives.WNetGetUserA(nullptr, current) != NO_ERROR) {
            current.clear();
        }
        const UserNameText user = WithDomain<260>(domain.view(), UserNameText(current).view());
        result =
            drives.WNetAddConnection2A(resource, nullptr, user.c_str(), CONNECT_UPDATE_PROFILE);
    } else {
        result = drives.WNetAddConnection2A(resource, "", "", CONNECT_UPDATE_PROFILE);
    }
    if (result != NO_ERROR && mapping.osName.find("Vista") != std::string::npos) {
        // The system asks the user for credentials the share accepts.
        result = drives.WNetAddConnection2A(resource, "", "",
                                            CONNECT_UPDATE_PROFILE | CONNECT_INTERACTIVE);
    } else if (result != NO_ERROR) {
        const NameText user = WithDomain<64>(domain.view(), cachedUser.view());
        result = drives.WNetAddConnection2A(resource, cachedPassword.c_str(), user.c_str(),
                                            CONNECT_UPDATE_PROFILE);
    }
    return result;
}

bool UnmapLetter(NetworkDrives& drives, const std::string& localName) {
    return drives.WNetCancelConnection2A(localName.c_str(), CONNECT_UPDATE_PROFILE, true) ==
           NO_ERROR;
}
