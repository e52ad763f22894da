#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/services/unc_path.h"

// Talking to SMB servers through libsmbclient. Every operation runs on a fresh
// library context, so sessions the library caches can never stand in for
// credentials that were not checked.
namespace ostrel::platform {

struct SmbCredentials {
    std::string workgroup;  // empty: the library's default
    std::string user;       // empty: anonymous
    std::string password;

    // Reads "DOMAIN\user" (or "user") into workgroup and user.
    static SmbCredentials FromUserName(std::string_view userName, std::string_view password);
    // "DOMAIN\user" or "user".
    std::string UserName() const;
};

// Credentials that authenticated to a server during this process, as a
// logon session remembers them. Thread-safe.
class SmbCredentialStore {
public:
    void Remember(const std::string& host, const SmbCredentials& credentials);
    std::optional<SmbCredentials> Lookup(const std::string& host) const;
    bool Forget(const std::string& host);

private:
    mutable std::mutex mutex_;
    std::map<std::string, SmbCredentials> byHost_;  // host in lower case
};

struct SmbLimits {
    // Bound for the TCP check that the server answers at all.
    std::chrono::milliseconds reach{3000};
    // Timeout the library applies to each request.
    int requestMilliseconds = 10000;
};

// errno-style outcome of an operation (0 = done).
using SmbErrno = int;

// One-shot operations on one server with one set of credentials.
class SmbClient {
public:
    SmbClient(SmbCredentials credentials, SmbLimits limits = {});

    // 0 when the server answers on TCP 445 or 139 within the limit, else
    // EHOSTUNREACH, ETIMEDOUT or ECONNREFUSED.
    SmbErrno CheckReachable(const std::string& host) const;
    // Opens the share (or the folder below it) as a directory: 0 when the
    // credentials are accepted and the share exists.
    SmbErrno CheckShare(const UncPath& path) const;
    // Creates or truncates the file and writes all bytes to it.
    SmbErrno WriteFile(const UncPath& path, std::string_view bytes, bool exclusive) const;
    // Reads a whole file of at most `limit` bytes (EFBIG when it is larger).
    SmbErrno ReadFile(const UncPath& path, std::string& bytes, std::size_t limit) const;
    // 0 and sets isFolder when the name exists.
    SmbErrno Stat(const UncPath& path, bool& isFolder) const;
    SmbErrno Unlink(const UncPath& path) const;
    SmbErrno MakeFolder(const UncPath& path) const;
    SmbErrno RemoveFolder(const UncPath& path) const;

private:
    // Checks that the server answers, opens a fresh library context (so no
    // cached session stands in for these credentials) and runs the operation
    // on it with the path's smb:// URL.
    template <typename Operation>
    SmbErrno WithContext(const UncPath& path, Operation operation) const;

    SmbCredentials credentials_;
    SmbLimits limits_;
};

// The Windows result of a failed connection attempt for an errno of the library.
std::uint32_t ConnectionErrorFromErrno(SmbErrno error);
// The Windows result of a failed file operation on a share.
std::uint32_t FileErrorFromErrno(SmbErrno error);

}  // namespace ostrel::platform
