#include "platform/services/smb_network_drives.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

#include "platform/services/ascii_text.h"

namespace ostrel::platform {

std::optional<char> ParseLocalName(const std::string& localName) {
    if (localName.size() != 2 || localName[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(localName[0]))) {
        return std::nullopt;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(localName[0])));
}

std::optional<char> ParseDriveRoot(const char* rootPath) {
    if (rootPath == nullptr) {
        return std::nullopt;
    }
    const std::string root = rootPath;
    if (root.size() == 3 && (root[2] == '\\' || root[2] == '/')) {
        return ParseLocalName(root.substr(0, 2));
    }
    return ParseLocalName(root);
}

std::string CurrentLoginName() {
    if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr) {
        return entry->pw_name;
    }
    if (const char* name = getlogin(); name != nullptr) {
        return name;
    }
    const char* user = std::getenv("USER");
    return user != nullptr ? user : "";
}

SmbNetworkDrives::SmbNetworkDrives() : SmbNetworkDrives(Options{}) {}

SmbNetworkDrives::SmbNetworkDrives(Options options)
    : options_(std::move(options)),
      table_(options_.tableFile, options_.tableLockWait),
      places_(options_.desktop) {
    if (!options_.sessions) {
        options_.sessions = std::make_shared<SmbCredentialStore>();
    }
}

void SmbNetworkDrives::SetPrompt(CredentialPrompt* prompt) {
    std::lock_guard lock(mutex_);
    options_.prompt = prompt;
}

CredentialPrompt* SmbNetworkDrives::Prompt() const {
    std::lock_guard lock(mutex_);
    return options_.prompt;
}

std::optional<DriveConnection> SmbNetworkDrives::ConnectionOf(char letter) const {
    {
        std::lock_guard lock(mutex_);
        if (const auto found = temporary_.find(letter); found != temporary_.end()) {
            return found->second;
        }
        if (suspended_.count(letter) != 0) {
            return std::nullopt;
        }
    }
    return table_.Find(letter);
}

bool SmbNetworkDrives::ShareUsedByAnotherLetter(char letter, const UncPath& share) const {
    const auto same = [&](const DriveConnection& other) {
        const auto path = ParseUncPath(other.remoteName);
        return path && EqualNoCase(path->host, share.host) && EqualNoCase(path->share, share.share);
    };
    for (const auto& [other, connection] : table_.Load()) {
        if (other != letter && ConnectionOf(other) && same(connection)) {
            return true;
        }
    }
    std::lock_guard lock(mutex_);
    for (const auto& [other, connection] : temporary_) {
        if (other != letter && same(connection)) {
            return true;
        }
    }
    return false;
}

std::uint32_t SmbNetworkDrives::Authenticate(const UncPath& share,
                                             const SmbCredentials& credentials) const {
    const SmbClient client(credentials, options_.limits);
    return ConnectionErrorFromErrno(client.CheckShare(share));
}

std::uint32_t SmbNetworkDrives::WNetAddConnection2A(const NetResource& resource,
                                                    const char* password, const char* userName,
                                                    std::uint32_t flags) {
    if (resource.type != RESOURCETYPE_DISK && resource.type != RESOURCETYPE_ANY) {
        return ERROR_BAD_NET_NAME;
    }
    if (!StartsAsUncPath(resource.remoteName)) {
        return ERROR_NO_NET_OR_BAD_PATH;
    }
    const auto share = ParseUncPath(resource.remoteName);
    if (!share) {
        return ERROR_BAD_NET_NAME;
    }
    std::optional<char> letter;
    if (!resource.localName.empty()) {
        letter = ParseLocalName(resource.localName);
        if (!letter) {
            return ERROR_BAD_DEVICE;
        }
        if (options_.localDrives.count(*letter) != 0 || ConnectionOf(*letter)) {
            return ERROR_ALREADY_ASSIGNED;
        }
    }

    // Which credentials: the given ones, or the defaults of this process.
    const bool noUser = userName == nullptr || userName[0] == '\0';
    const bool noPassword = password == nullptr || password[0] == '\0';
    SmbCredentials credentials;
    const auto remembered = options_.sessions->Lookup(share->host);
    if (noUser && noPassword) {
        credentials = remembered.value_or(SmbCredentials{});
    } else {
        credentials = SmbCredentials::FromUserName(noUser ? "" : userName,
                                                   password != nullptr ? password : "");
        if (password == nullptr && remembered && remembered->UserName() == credentials.UserName()) {
            credentials.password = remembered->password;
        }
    }

    // Without a letter only the credentials matter: they are checked on the
    // share itself, whatever file or folder below it the name goes on to.
    UncPath target = *share;
    if (!letter) {
        target.components.clear();
    }
    std::uint32_t result = Authenticate(target, credentials);
    const bool refused = result == ERROR_LOGON_FAILURE || result == ERROR_ACCESS_DENIED;
    if (refused && (flags & CONNECT_INTERACTIVE) != 0) {
        CredentialPrompt* prompt = nullptr;
        {
            std::lock_guard lock(mutex_);
            prompt = options_.prompt;
        }
        if (prompt == nullptr) {
            return result;
        }
        const std::string suggested =
            !credentials.user.empty() ? credentials.UserName() : CurrentLoginName();
        const auto answer = prompt->AskCredentials(share->Text(), suggested);
        if (!answer) {
            return ERROR_CANCELLED;
        }
        credentials = SmbCredentials::FromUserName(answer->userName, answer->password);
        result = Authenticate(target, credentials);
    }
    if (result != NO_ERROR) {
        return result;
    }
    options_.sessions->Remember(share->host, credentials);
    if (!letter) {
        return NO_ERROR;  // only authenticated, as a connection without a letter does
    }

    // Keep the caller's spelling of the name, without trailing separators.
    std::string remote = resource.remoteName;
    while (remote.size() > 2 && (remote.back() == '\\' || remote.back() == '/')) {
        remote.pop_back();
    }
    const DriveConnection connection{remote, credentials.UserName()};
    if ((flags & CONNECT_UPDATE_PROFILE) != 0) {
        const TableChange put = table_.Put(*letter, connection);
        if (put != TableChange::kDone) {
            return put == TableChange::kInUse ? ERROR_BUSY : ERROR_BAD_PROFILE;
        }
        std::lock_guard lock(mutex_);
        suspended_.erase(*letter);
    } else {
        std::lock_guard lock(mutex_);
        temporary_[*letter] = connection;
    }
    if ((flags & CONNECT_UPDATE_PROFILE) != 0) {
        places_.AddBookmark(*letter, *share);
    }
    places_.Mount(*share, credentials);
    return NO_ERROR;
}

std::uint32_t SmbNetworkDrives::WNetCancelConnection2A(const char* name, std::uint32_t flags,
                                                       bool force) {
    const std::string text = name != nullptr ? name : "";
    if (StartsAsUncPath(text)) {
        // A connection without a letter: forget what authenticated to it.
        const auto share = ParseUncPath(text);
        return share && options_.sessions->Forget(share->host) ? NO_ERROR : ERROR_NOT_CONNECTED;
    }
    const auto letter = ParseLocalName(text);
    if (!letter) {
        return ERROR_NOT_CONNECTED;
    }
    const auto connection = ConnectionOf(*letter);
    if (!connection) {
        return ERROR_NOT_CONNECTED;
    }
    const auto share = ParseUncPath(connection->remoteName);
    if (share && !ShareUsedByAnotherLetter(*letter, *share)) {
        // A mounted share with files open stays unless forced.
        if (places_.Unmount(*share, force) == UnmountOutcome::kBusy) {
            return ERROR_OPEN_FILES;
        }
    }
    bool wasTemporary = false;
    {
        std::lock_guard lock(mutex_);
        wasTemporary = temporary_.erase(*letter) > 0;
    }
    if (wasTemporary) {
        return NO_ERROR;
    }
    if ((flags & CONNECT_UPDATE_PROFILE) != 0) {
        const TableChange removed = table_.Remove(*letter);
        if (removed == TableChange::kInUse) {
            return ERROR_BUSY;
        }
        if (removed == TableChange::kNotWritten) {
            return ERROR_BAD_PROFILE;
        }
        if (share) {
            places_.RemoveBookmark(*letter, *share);
        }
    } else {
        std::lock_guard lock(mutex_);
        suspended_.insert(*letter);
    }
    return NO_ERROR;
}

std::uint32_t SmbNetworkDrives::WNetGetConnectionA(const char* localName, std::string& remoteName) {
    const auto letter = ParseLocalName(localName != nullptr ? localName : "");
    if (!letter) {
        return ERROR_BAD_DEVICE;
    }
    const auto connection = ConnectionOf(*letter);
    if (!connection) {
        return ERROR_NOT_CONNECTED;
    }
    remoteName = connection->remoteName;
    return NO_ERROR;
}

std::uint32_t SmbNetworkDrives::WNetGetUserA(const char* name, std::string& userName) {
    const std::string text = name != nullptr ? name : "";
    if (text.empty()) {
        userName = CurrentLoginName();
        return NO_ERROR;
    }
    if (StartsAsUncPath(text)) {
        const auto share = ParseUncPath(text);
        const auto remembered = share ? options_.sessions->Lookup(share->host) : std::nullopt;
        if (!remembered) {
            return ERROR_NOT_CONNECTED;
        }
        userName = remembered->user.empty() ? CurrentLoginName() : remembered->UserName();
        return NO_ERROR;
    }
    const auto letter = ParseLocalName(text);
    if (!letter) {
        return ERROR_BAD_DEVICE;
    }
    const auto connection = ConnectionOf(*letter);
    if (!connection) {
        return ERROR_NOT_CONNECTED;
    }
    userName = connection->userName.empty() ? CurrentLoginName() : connection->userName;
    return NO_ERROR;
}

std::uint32_t SmbNetworkDrives::GetDriveTypeA(const char* rootPath) {
    const auto letter = ParseDriveRoot(rootPath);
    if (!letter) {
        return DRIVE_NO_ROOT_DIR;
    }
    if (const auto local = options_.localDrives.find(*letter);
        local != options_.localDrives.end()) {
        return local->second;
    }
    return ConnectionOf(*letter) ? DRIVE_REMOTE : DRIVE_NO_ROOT_DIR;
}

}  // namespace ostrel::platform
