#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/services/connection_table.h"
#include "platform/services/desktop_places.h"
#include "platform/services/network_drives.h"
#include "platform/services/smb_client.h"
#include "platform/services/win_codes.h"

namespace ostrel::platform {

// Network drives on SMB shares through libsmbclient. Persistent connections
// live in the user's connection table; connections without
// CONNECT_UPDATE_PROFILE live as long as this object.
class SmbNetworkDrives final : public NetworkDrives {
public:
    struct Options {
        std::string tableFile = ConnectionTable::DefaultPath();
        std::chrono::milliseconds tableLockWait = kTableLockWait;
        DesktopPlaces::Options desktop;
        SmbLimits limits;
        // Letters that are local drives and cannot be connected. C: stands
        // for the private folder that local C: paths go to.
        std::map<char, std::uint32_t> localDrives{{'C', DRIVE_FIXED}};
        // Asked for credentials by CONNECT_INTERACTIVE; null: nobody to ask.
        CredentialPrompt* prompt = nullptr;
        // Shared with the file service, so files on a share use the
        // credentials that connected it.
        std::shared_ptr<SmbCredentialStore> sessions = std::make_shared<SmbCredentialStore>();
    };

    SmbNetworkDrives();
    explicit SmbNetworkDrives(Options options);

    std::uint32_t WNetAddConnection2A(const NetResource& resource, const char* password,
                                      const char* userName, std::uint32_t flags) override;
    std::uint32_t WNetCancelConnection2A(const char* name, std::uint32_t flags,
                                         bool force) override;
    std::uint32_t WNetGetConnectionA(const char* localName, std::string& remoteName) override;
    std::uint32_t WNetGetUserA(const char* name, std::string& userName) override;
    std::uint32_t GetDriveTypeA(const char* rootPath) override;

    void SetPrompt(CredentialPrompt* prompt);
    CredentialPrompt* Prompt() const;
    const std::shared_ptr<SmbCredentialStore>& sessions() const { return options_.sessions; }

private:
    std::optional<DriveConnection> ConnectionOf(char letter) const;
    std::uint32_t Authenticate(const UncPath& share, const SmbCredentials& credentials) const;
    // Another connected letter leads to the same share (its mount must stay).
    bool ShareUsedByAnotherLetter(char letter, const UncPath& share) const;

    Options options_;
    ConnectionTable table_;
    DesktopPlaces places_;
    mutable std::mutex mutex_;
    std::map<char, DriveConnection> temporary_;
    // Persistent connections ended in this process without leaving the profile.
    std::set<char> suspended_;
};

// The login name of the current user.
std::string CurrentLoginName();

}  // namespace ostrel::platform
