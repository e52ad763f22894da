#include "platform/services/file_service.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include "platform/services/ascii_text.h"
#include "platform/services/network_drives.h"
#include "platform/services/user_files.h"
#include "platform/services/win_codes.h"

namespace ostrel::platform {

namespace {

bool IsDrivePath(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

std::uint32_t LocalError(int error, bool writing) {
    if (error == ENOENT && writing) {
        return ERROR_PATH_NOT_FOUND;  // the folder the file goes into is missing
    }
    if (error == ELOOP) {
        return ERROR_ACCESS_DENIED;
    }
    return FileErrorFromErrno(error);
}

std::uint32_t WriteLocal(const std::string& path, std::string_view bytes, bool exclusive) {
    // O_NOFOLLOW: a link planted in the folder must not redirect the write.
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (exclusive ? O_EXCL : O_TRUNC);
    const int fd = open(path.c_str(), flags, 0644);
    if (fd < 0) {
        return LocalError(errno, true);
    }
    std::uint32_t result = NO_ERROR;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            result = put < 0 ? LocalError(errno, true) : ERROR_WRITE_FAULT;
            break;
        }
        written += static_cast<std::size_t>(put);
    }
    if (close(fd) != 0 && result == NO_ERROR) {
        result = LocalError(errno, true);
    }
    return result;
}

}  // namespace

PlatformFiles::PlatformFiles() : PlatformFiles(Options{}) {}

PlatformFiles::PlatformFiles(Options options) : options_(std::move(options)) {
    if (!options_.sessions) {
        options_.sessions = std::make_shared<SmbCredentialStore>();
    }
}

std::string PlatformFiles::DefaultCDriveFolder() {
    return UserDataHome() + "/ostrel-nvr/c-drive";
}

ResolvedPath PlatformFiles::Resolve(const std::string& path) const {
    ResolvedPath resolved;
    if (StartsAsUncPath(path)) {
        if (const auto share = ParseUncPath(path)) {
            resolved.kind = ResolvedPath::Kind::kShare;
            resolved.share = *share;
        } else {
            resolved.error = SplitPathComponents(path) ? ERROR_BAD_NET_NAME : ERROR_INVALID_NAME;
        }
        return resolved;
    }
    if (!IsDrivePath(path)) {
        resolved.error = ERROR_PATH_NOT_FOUND;
        return resolved;
    }
    const auto components = SplitPathComponents(std::string_view(path).substr(2));
    if (!components) {
        resolved.error = ERROR_INVALID_NAME;
        return resolved;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    if (letter == 'C') {
        resolved.kind = ResolvedPath::Kind::kLocal;
        resolved.localPath = options_.cDriveFolder;
        for (const auto& component : *components) {
            resolved.localPath += "/" + component;
        }
        return resolved;
    }
    std::string remote;
    if (options_.drives != nullptr &&
        options_.drives->WNetGetConnectionA(std::string{letter, ':'}.c_str(), remote) == NO_ERROR) {
        if (auto share = ParseUncPath(remote)) {
            resolved.kind = ResolvedPath::Kind::kShare;
            resolved.share = *share;
            resolved.share.components.insert(resolved.share.components.end(), components->begin(),
                                             components->end());
            return resolved;
        }
    }
    resolved.error = ERROR_PATH_NOT_FOUND;
    return resolved;
}

SmbClient PlatformFiles::ClientFor(const UncPath& share) const {
    return SmbClient(options_.sessions->Lookup(share.host).value_or(SmbCredentials{}),
                     options_.limits);
}

std::uint32_t PlatformFiles::Write(const ResolvedPath& target, std::string_view bytes,
                                   bool exclusive) {
    switch (target.kind) {
        case ResolvedPath::Kind::kShare:
            return FileErrorFromErrno(
                ClientFor(target.share).WriteFile(target.share, bytes, exclusive));
        case ResolvedPath::Kind::kLocal:
            MakeFolders(options_.cDriveFolder, 0700);
            return WriteLocal(target.localPath, bytes, exclusive);
        default:
            return target.error;
    }
}

std::uint32_t PlatformFiles::WriteFile(const std::string& path, std::string_view bytes) {
    return Write(Resolve(path), bytes, false);
}

std::uint32_t PlatformFiles::ReadFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const ResolvedPath source = Resolve(path);
    if (source.kind == ResolvedPath::Kind::kShare) {
        return FileErrorFromErrno(
            ClientFor(source.share).ReadFile(source.share, bytes, options_.readLimit));
    }
    if (source.kind != ResolvedPath::Kind::kLocal) {
        return source.error;
    }
    struct stat info {};
    if (stat(source.localPath.c_str(), &info) != 0) {
        return LocalError(errno, false);
    }
    if (S_ISDIR(info.st_mode)) {
        return ERROR_ACCESS_DENIED;
    }
    if (static_cast<std::size_t>(info.st_size) > options_.readLimit) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    auto content = ReadWholeFile(source.localPath);
    if (!content) {
        return LocalError(errno, false);
    }
    bytes = std::move(*content);
    return NO_ERROR;
}

bool PlatformFiles::PathFileExistsA(const std::string& path) {
    const ResolvedPath target = Resolve(path);
    if (target.kind == ResolvedPath::Kind::kShare) {
        bool isFolder = false;
        return ClientFor(target.share).Stat(target.share, isFolder) == 0;
    }
    struct stat info {};
    return target.kind == ResolvedPath::Kind::kLocal && stat(target.localPath.c_str(), &info) == 0;
}

std::uint32_t PlatformFiles::DeleteFileA(const std::string& path) {
    const ResolvedPath target = Resolve(path);
    if (target.kind == ResolvedPath::Kind::kShare) {
        return FileErrorFromErrno(ClientFor(target.share).Unlink(target.share));
    }
    if (target.kind != ResolvedPath::Kind::kLocal) {
        return target.error;
    }
    return unlink(target.localPath.c_str()) == 0 ? NO_ERROR : LocalError(errno, false);
}

std::uint32_t PlatformFiles::CopyFileA(const std::string& from, const std::string& to,
                                       bool failIfExists) {
    const ResolvedPath target = Resolve(to);
    if (target.kind == ResolvedPath::Kind::kInvalid) {
        return target.error;
    }
    std::string bytes;
    if (const std::uint32_t read = ReadFile(from, bytes); read != NO_ERROR) {
        return read;
    }
    if (failIfExists && PathFileExistsA(to)) {
        return ERROR_FILE_EXISTS;
    }
    // The exclusive create also closes the gap between the check and the write.
    return Write(target, bytes, failIfExists);
}

std::uint32_t PlatformFiles::CreateDirectoryA(const std::string& path) {
    const ResolvedPath target = Resolve(path);
    if (target.kind == ResolvedPath::Kind::kShare) {
        const SmbErrno error = ClientFor(target.share).MakeFolder(target.share);
        return error == EEXIST ? ERROR_ALREADY_EXISTS : FileErrorFromErrno(error);
    }
    if (target.kind != ResolvedPath::Kind::kLocal) {
        return target.error;
    }
    MakeFolders(options_.cDriveFolder, 0700);
    if (mkdir(target.localPath.c_str(), 0755) == 0) {
        return NO_ERROR;
    }
    return errno == EEXIST ? ERROR_ALREADY_EXISTS : LocalError(errno, true);
}

std::uint32_t PlatformFiles::RemoveDirectoryA(const std::string& path) {
    const ResolvedPath target = Resolve(path);
    if (target.kind == ResolvedPath::Kind::kShare) {
        return FileErrorFromErrno(ClientFor(target.share).RemoveFolder(target.share));
    }
    if (target.kind != ResolvedPath::Kind::kLocal) {
        return target.error;
    }
    if (target.localPath == options_.cDriveFolder) {
        return ERROR_ACCESS_DENIED;  // the root of C: stays
    }
    return rmdir(target.localPath.c_str()) == 0 ? NO_ERROR : LocalError(errno, false);
}

// The fake.

std::string FakeFiles::Normalise(const std::string& path) {
    if (StartsAsUncPath(path)) {
        const auto share = ParseUncPath(path);
        if (!share) {
            return {};
        }
        return Lower(share->Text());
    }
    if (!IsDrivePath(path)) {
        return {};
    }
    const auto components = SplitPathComponents(std::string_view(path).substr(2));
    if (!components) {
        return {};
    }
    std::string text(1, path[0]);
    text += ":";
    for (const auto& component : *components) {
        text += "\\" + component;
    }
    if (components->empty()) {
        text += "\\";
    }
    return Lower(text);
}

namespace {

std::string ParentOf(const std::string& normalised) {
    const auto slash = normalised.find_last_of('\\');
    return slash == std::string::npos ? std::string() : normalised.substr(0, slash);
}

}  // namespace

std::uint32_t FakeFiles::WriteFile(const std::string& path, std::string_view bytes) {
    const std::string key = Normalise(path);
    if (key.empty()) {
        return ERROR_INVALID_NAME;
    }
    for (const auto& prefix : failingPrefixes) {
        if (key.rfind(prefix, 0) == 0) {
            return ERROR_ACCESS_DENIED;
        }
    }
    // On C: the folder must exist, as there; share folders are taken as given.
    const std::string parent = ParentOf(key);
    if (key[0] != '\\' && parent.size() > 2 && folders.count(parent) == 0) {
        return ERROR_PATH_NOT_FOUND;
    }
    if (folders.count(key) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    if (spaceLeft && bytes.size() > *spaceLeft) {
        files[key] = std::string(bytes.substr(0, *spaceLeft));
        spaceLeft = 0;
        return ERROR_DISK_FULL;
    }
    if (spaceLeft) {
        *spaceLeft -= bytes.size();
    }
    files[key] = std::string(bytes);
    writes.push_back(key);
    return NO_ERROR;
}

std::uint32_t FakeFiles::ReadFile(const std::string& path, std::string& bytes) {
    const auto found = files.find(Normalise(path));
    if (found == files.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    bytes = found->second;
    return NO_ERROR;
}

bool FakeFiles::PathFileExistsA(const std::string& path) {
    const std::string key = Normalise(path);
    return !key.empty() && (files.count(key) != 0 || folders.count(key) != 0);
}

std::uint32_t FakeFiles::DeleteFileA(const std::string& path) {
    const std::string key = Normalise(path);
    if (undeletable.count(key) != 0 && files.count(key) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    return files.erase(key) > 0 ? NO_ERROR : ERROR_FILE_NOT_FOUND;
}

std::uint32_t FakeFiles::CopyFileA(const std::string& from, const std::string& to,
                                   bool failIfExists) {
    std::string bytes;
    if (const std::uint32_t read = ReadFile(from, bytes); read != NO_ERROR) {
        return read;
    }
    if (failIfExists && PathFileExistsA(to)) {
        return ERROR_FILE_EXISTS;
    }
    return WriteFile(to, bytes);
}

std::uint32_t FakeFiles::CreateDirectoryA(const std::string& path) {
    std::string key = Normalise(path);
    if (key.empty()) {
        return ERROR_INVALID_NAME;
    }
    if (folders.count(key) != 0 || files.count(key) != 0) {
        return ERROR_ALREADY_EXISTS;
    }
    folders.insert(key);
    return NO_ERROR;
}

std::uint32_t FakeFiles::RemoveDirectoryA(const std::string& path) {
    const std::string key = Normalise(path);
    if (folders.count(key) == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    const std::string inside = key + "\\";
    for (const auto& [name, content] : files) {
        if (name.rfind(inside, 0) == 0) {
            return ERROR_DIR_NOT_EMPTY;
        }
    }
    for (const auto& folder : folders) {
        if (folder.rfind(inside, 0) == 0) {
            return ERROR_DIR_NOT_EMPTY;
        }
    }
    folders.erase(key);
    return NO_ERROR;
}

}  // namespace ostrel::platform
