#include "platform/services/fake_network_drives.h"

#include <algorithm>
#include <cctype>

#include "platform/services/ascii_text.h"
#include "platform/services/unc_path.h"
#include "platform/services/win_codes.h"

namespace ostrel::platform {

void FakeNetworkDrives::AddShare(const std::string& remoteName, const std::string& userName,
                                 const std::string& password) {
    shares_[Lower(remoteName)] = Share{userName, password};
}

void FakeNetworkDrives::Connect(char letter, const std::string& remoteName,
                                const std::string& userName) {
    connections[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = {remoteName,
                                                                                        userName};
}

void FakeNetworkDrives::SetLocalDrive(char letter, std::uint32_t driveType) {
    localDrives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = driveType;
}

std::uint32_t FakeNetworkDrives::WNetAddConnection2A(const NetResource& resource,
                                                     const char* password, const char* userName,
                                                     std::uint32_t flags) {
    AddCall call{resource.localName, resource.remoteName, std::nullopt, std::nullopt, flags};
    if (userName != nullptr) {
        call.userName = userName;
    }
    if (password != nullptr) {
        call.password = password;
    }
    addCalls.push_back(call);

    std::optional<char> letter;
    if (!resource.localName.empty()) {
        letter = ParseLocalName(resource.localName);
        if (!letter) {
            return ERROR_BAD_DEVICE;
        }
    }
    std::uint32_t result = NO_ERROR;
    std::string user = userName != nullptr ? userName : "";
    if (!scriptedAddResults.empty()) {
        result = scriptedAddResults.front();
        scriptedAddResults.pop_front();
    } else if (!StartsAsUncPath(resource.remoteName)) {
        result = ERROR_NO_NET_OR_BAD_PATH;
    } else if (letter && (localDrives.count(*letter) != 0 || connections.count(*letter) != 0)) {
        result = ERROR_ALREADY_ASSIGNED;
    } else {
        const auto share = shares_.find(Lower(resource.remoteName));
        if (share == shares_.end()) {
            result = ERROR_BAD_NET_NAME;
        } else {
            const auto accepts = [&](const std::string& u, const std::string& p) {
                return u == share->second.userName && p == share->second.password;
            };
            result =
                accepts(user, password != nullptr ? password : "") ? NO_ERROR : ERROR_LOGON_FAILURE;
            if (result != NO_ERROR && (flags & CONNECT_INTERACTIVE) != 0) {
                if (!interactiveAnswer) {
                    return ERROR_CANCELLED;
                }
                user = interactiveAnswer->userName;
                result =
                    accepts(user, interactiveAnswer->password) ? NO_ERROR : ERROR_LOGON_FAILURE;
            }
        }
    }
    if (result == NO_ERROR && letter) {
        connections[*letter] = {resource.remoteName, user};
    }
    return result;
}

std::uint32_t FakeNetworkDrives::WNetCancelConnection2A(const char* name, std::uint32_t flags,
                                                        bool force) {
    const std::string text = name != nullptr ? name : "";
    cancelCalls.push_back({text, flags, force});
    if (cancelResult) {
        return *cancelResult;
    }
    const auto letter = ParseLocalName(text);
    if (!letter || connections.erase(*letter) == 0) {
        return ERROR_NOT_CONNECTED;
    }
    return NO_ERROR;
}

std::uint32_t FakeNetworkDrives::WNetGetConnectionA(const char* localName,
                                                    std::string& remoteName) {
    const auto letter = ParseLocalName(localName != nullptr ? localName : "");
    if (!letter) {
        return ERROR_BAD_DEVICE;
    }
    const auto found = connections.find(*letter);
    if (found == connections.end()) {
        return ERROR_NOT_CONNECTED;
    }
    remoteName = found->second.first;
    return NO_ERROR;
}

std::uint32_t FakeNetworkDrives::WNetGetUserA(const char* name, std::string& userName) {
    const std::string text = name != nullptr ? name : "";
    if (text.empty()) {
        userName = loginName;
        return NO_ERROR;
    }
    const auto letter = ParseLocalName(text);
    const auto found = letter ? connections.find(*letter) : connections.end();
    if (found == connections.end()) {
        return ERROR_NOT_CONNECTED;
    }
    userName = found->second.second.empty() ? loginName : found->second.second;
    return NO_ERROR;
}

std::uint32_t FakeNetworkDrives::GetDriveTypeA(const char* rootPath) {
    const auto letter = ParseDriveRoot(rootPath);
    if (!letter) {
        return DRIVE_NO_ROOT_DIR;
    }
    if (const auto local = localDrives.find(*letter); local != localDrives.end()) {
        return local->second;
    }
    return connections.count(*letter) != 0 ? DRIVE_REMOTE : DRIVE_NO_ROOT_DIR;
}

}  // namespace ostrel::platform
