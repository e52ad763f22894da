#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/services/network_drives.h"

namespace ostrel::platform {

// Network drives in memory, for tests: shares with their credentials,
// connected letters, injected local drive types, scripted results, and a
// record of every call.
class FakeNetworkDrives final : public NetworkDrives {
public:
    struct AddCall {
        std::string localName;
        std::string remoteName;
        std::optional<std::string> userName;  // nothing for a null pointer
        std::optional<std::string> password;
        std::uint32_t flags = 0;
    };
    struct CancelCall {
        std::string name;
        std::uint32_t flags = 0;
        bool force = false;
    };

    std::uint32_t WNetAddConnection2A(const NetResource& resource, const char* password,
                                      const char* userName, std::uint32_t flags) override;
    std::uint32_t WNetCancelConnection2A(const char* name, std::uint32_t flags,
                                         bool force) override;
    std::uint32_t WNetGetConnectionA(const char* localName, std::string& remoteName) override;
    std::uint32_t WNetGetUserA(const char* name, std::string& userName) override;
    std::uint32_t GetDriveTypeA(const char* rootPath) override;

    // A share that accepts these credentials (remote name compared ignoring
    // case). Connecting any other remote name gives ERROR_BAD_NET_NAME.
    void AddShare(const std::string& remoteName, const std::string& userName,
                  const std::string& password);
    // Connects a letter directly, as if it had been connected before.
    void Connect(char letter, const std::string& remoteName, const std::string& userName = {});
    // Makes a letter a local drive of that type (DRIVE_FIXED, DRIVE_CDROM, ...).
    void SetLocalDrive(char letter, std::uint32_t driveType);

    // Results that the next connection attempts give instead of checking
    // the shares (NO_ERROR connects the letter).
    std::deque<std::uint32_t> scriptedAddResults;
    // The next cancellations give this result instead of ending anything.
    std::optional<std::uint32_t> cancelResult;
    // What the interactive prompt answers (nothing: the user cancels).
    std::optional<PromptedCredentials> interactiveAnswer;
    std::string loginName = "tester";

    std::vector<AddCall> addCalls;
    std::vector<CancelCall> cancelCalls;
    std::map<char, std::pair<std::string, std::string>> connections;  // letter → remote, user
    std::map<char, std::uint32_t> localDrives;

private:
    struct Share {
        std::string userName;
        std::string password;
    };
    std::map<std::string, Share> shares_;  // remote name in lower case
};

}  // namespace ostrel::platform
