#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/services/smb_client.h"
#include "platform/services/unc_path.h"

// Files by Windows path: "\\host\share\..." goes to the share through
// libsmbclient, "C:\..." to a private per-user folder that stands for drive C:,
// "Z:\..." on a connected letter to that letter's share. Either separator is
// accepted; a ".." component is refused, so no path leaves its share or the
// C: folder. Results are Windows error codes (NO_ERROR on success).
namespace ostrel::platform {

class NetworkDrives;

class FileService {
public:
    virtual ~FileService() = default;
    // Creates or truncates the file and writes the bytes (one open, write, close).
    virtual std::uint32_t WriteFile(const std::string& path, std::string_view bytes) = 0;
    // The whole file.
    virtual std::uint32_t ReadFile(const std::string& path, std::string& bytes) = 0;
    // True when a file or folder of that name exists.
    virtual bool PathFileExistsA(const std::string& path) = 0;
    // Deletes a file.
    virtual std::uint32_t DeleteFileA(const std::string& path) = 0;
    // Copies a file, between shares and C: alike; with failIfExists an
    // existing target is left alone and ERROR_FILE_EXISTS returned.
    virtual std::uint32_t CopyFileA(const std::string& from, const std::string& to,
                                    bool failIfExists) = 0;
    // Creates one folder (its parent must exist); ERROR_ALREADY_EXISTS if it does.
    virtual std::uint32_t CreateDirectoryA(const std::string& path) = 0;
    // Removes an empty folder.
    virtual std::uint32_t RemoveDirectoryA(const std::string& path) = 0;
};

// Where a Windows path leads.
struct ResolvedPath {
    enum class Kind { kShare, kLocal, kInvalid };
    Kind kind = Kind::kInvalid;
    std::uint32_t error = 0;  // why it is invalid
    UncPath share;            // kShare
    std::string localPath;    // kLocal: an absolute path inside the C: folder
};

class PlatformFiles final : public FileService {
public:
    struct Options {
        // The folder that stands for C: ($XDG_DATA_HOME/ostrel-nvr/c-drive).
        std::string cDriveFolder = DefaultCDriveFolder();
        // Credentials of the servers connected in this process.
        std::shared_ptr<SmbCredentialStore> sessions = std::make_shared<SmbCredentialStore>();
        // Resolves other drive letters to their shares; may be null.
        NetworkDrives* drives = nullptr;
        SmbLimits limits;
        // Largest file read for a copy.
        std::size_t readLimit = 64u << 20;
    };

    PlatformFiles();
    explicit PlatformFiles(Options options);
    static std::string DefaultCDriveFolder();

    ResolvedPath Resolve(const std::string& path) const;

    std::uint32_t WriteFile(const std::string& path, std::string_view bytes) override;
    std::uint32_t ReadFile(const std::string& path, std::string& bytes) override;
    bool PathFileExistsA(const std::string& path) override;
    std::uint32_t DeleteFileA(const std::string& path) override;
    std::uint32_t CopyFileA(const std::string& from, const std::string& to,
                            bool failIfExists) override;
    std::uint32_t CreateDirectoryA(const std::string& path) override;
    std::uint32_t RemoveDirectoryA(const std::string& path) override;

private:
    SmbClient ClientFor(const UncPath& share) const;
    std::uint32_t Write(const ResolvedPath& target, std::string_view bytes, bool exclusive);

    Options options_;
};

// Files in memory, for tests. Paths are checked as the real service checks
// them (C:, \\host\share, no ".."), compared ignoring letter case with either
// separator; a share's folder tree starts out existing.
class FakeFiles final : public FileService {
public:
    std::uint32_t WriteFile(const std::string& path, std::string_view bytes) override;
    std::uint32_t ReadFile(const std::string& path, std::string& bytes) override;
    bool PathFileExistsA(const std::string& path) override;
    std::uint32_t DeleteFileA(const std::string& path) override;
    std::uint32_t CopyFileA(const std::string& from, const std::string& to,
                            bool failIfExists) override;
    std::uint32_t CreateDirectoryA(const std::string& path) override;
    std::uint32_t RemoveDirectoryA(const std::string& path) override;

    // Writes to paths starting with one of these (normalised) fail with
    // ERROR_ACCESS_DENIED.
    std::set<std::string> failingPrefixes;
    // Bytes every later write may still add, across all paths (unlimited when
    // empty): a write that needs more keeps what fitted, as a full disk does,
    // and fails with ERROR_DISK_FULL.
    std::optional<std::size_t> spaceLeft;
    // Normalised paths whose delete fails with ERROR_ACCESS_DENIED, as a
    // file held open elsewhere does.
    std::set<std::string> undeletable;
    // Normalised path ("c:\bt\bt", "\\10.0.0.2\hdd_a\x") → content.
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    // Every successful write, in order, by normalised path.
    std::vector<std::string> writes;

    // "c:\bt\bt" form: lower case, backslashes, no trailing separator;
    // empty when the path is refused.
    static std::string Normalise(const std::string& path);
};

}  // namespace ostrel::platform
