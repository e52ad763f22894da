#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Network drive connections: the stand-in for the Windows networking calls
// that map a share to a drive letter, remove such a mapping, tell what a
// letter is connected to and what kind of drive a letter is.
namespace ostrel::platform {

// What a connection call names. The remote name is "\\host\share" (a folder
// below the share may follow); the local name is a letter and a colon ("Z:"),
// or empty for a connection that only authenticates to the share.
struct NetResource {
    std::uint32_t type = 1;  // RESOURCETYPE_DISK or RESOURCETYPE_ANY
    std::string localName;
    std::string remoteName;
};

struct PromptedCredentials {
    std::string userName;  // "user" or "DOMAIN\user"
    std::string password;
};

// Asks the user for the credentials of a share (the interactive connection).
class CredentialPrompt {
public:
    virtual ~CredentialPrompt() = default;
    // Nothing when the user cancels.
    virtual std::optional<PromptedCredentials> AskCredentials(const std::string& remoteName,
                                                              const std::string& userName) = 0;
};

class NetworkDrives {
public:
    virtual ~NetworkDrives() = default;

    // Connects the remote name, after the server accepted the credentials for
    // it. A null or empty user name with a null or empty password means the
    // default credentials (those that authenticated to that server earlier in
    // this process, else an anonymous attempt); a user name with a null
    // password takes that user's remembered password. CONNECT_UPDATE_PROFILE
    // keeps the connection across restarts; CONNECT_INTERACTIVE asks the user
    // once for other credentials when these are refused. Results:
    // NO_ERROR; ERROR_LOGON_FAILURE (wrong user or password),
    // ERROR_ACCESS_DENIED, ERROR_BAD_NET_NAME (no such share),
    // ERROR_BAD_NETPATH (server unreachable, within a few seconds),
    // ERROR_NO_NET_OR_BAD_PATH (not a network name), ERROR_BAD_DEVICE (not a
    // drive letter), ERROR_ALREADY_ASSIGNED (letter in use or a local drive),
    // ERROR_CANCELLED (the user cancelled the prompt).
    virtual std::uint32_t WNetAddConnection2A(const NetResource& resource, const char* password,
                                              const char* userName, std::uint32_t flags) = 0;

    // Ends the connection of a letter ("Z:") or of a remote name without a
    // letter. CONNECT_UPDATE_PROFILE also removes it from the profile;
    // without it a persistent connection comes back at the next start. When
    // files are open on it, only `force` ends it (else ERROR_OPEN_FILES).
    // ERROR_NOT_CONNECTED when there is nothing to end.
    virtual std::uint32_t WNetCancelConnection2A(const char* name, std::uint32_t flags,
                                                 bool force) = 0;

    // The remote name a letter ("Z:") is connected to. ERROR_NOT_CONNECTED
    // when the letter has none, ERROR_BAD_DEVICE when it is not a letter.
    virtual std::uint32_t WNetGetConnectionA(const char* localName, std::string& remoteName) = 0;

    // With a null or empty name: the login name of the current user. With a
    // connected letter or remote name: the user name of that connection.
    virtual std::uint32_t WNetGetUserA(const char* name, std::string& userName) = 0;

    // DRIVE_REMOTE for a connected letter, DRIVE_NO_ROOT_DIR for a letter
    // without a connection or anything that is not a root ("X:", "X:\").
    virtual std::uint32_t GetDriveTypeA(const char* rootPath) = 0;
};

// "Z:" → 'Z' (letter case ignored); nothing for any other text.
std::optional<char> ParseLocalName(const std::string& localName);
// "Z:", "Z:\" or "Z:/" → 'Z'.
std::optional<char> ParseDriveRoot(const char* rootPath);

}  // namespace ostrel::platform
