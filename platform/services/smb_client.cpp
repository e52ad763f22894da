#include "platform/services/smb_client.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>

#include <sys/stat.h>

#include <fcntl.h>
#include <libsmbclient.h>

#include "platform/services/ascii_text.h"
#include "platform/services/tcp_connect.h"
#include "platform/services/win_codes.h"

namespace ostrel::platform {

namespace {

// The library keeps process-wide state behind its contexts; one caller at a
// time keeps it consistent.
std::mutex& LibraryMutex() {
    static std::mutex mutex;
    return mutex;
}

void CopyBounded(char* target, int capacity, const std::string& text) {
    if (capacity > 0) {
        std::snprintf(target, static_cast<std::size_t>(capacity), "%s", text.c_str());
    }
}

// A library context that hands out exactly one set of credentials and is
// freed, with every connection it made, when it goes out of scope.
class Context {
public:
    Context(const SmbCredentials& credentials, int timeoutMilliseconds)
        : credentials_(credentials), lock_(LibraryMutex()) {
        context_ = smbc_new_context();
        if (context_ == nullptr) {
            return;
        }
        smbc_setDebug(context_, 0);
        smbc_setOptionUserData(context_, this);
        smbc_setFunctionAuthDataWithContext(context_, &Context::Authenticate);
        smbc_setOptionUseKerberos(context_, 0);
        smbc_setOptionUseCCache(context_, 0);
        // Without this the library quietly retries as guest when the
        // credentials are refused, and a wrong password would "succeed".
        smbc_setOptionNoAutoAnonymousLogin(context_, credentials_.user.empty() ? 0 : 1);
        smbc_setTimeout(context_, timeoutMilliseconds);
        if (smbc_init_context(context_) == nullptr) {
            smbc_free_context(context_, 1);
            context_ = nullptr;
        }
    }
    ~Context() {
        if (context_ != nullptr) {
            smbc_getFunctionPurgeCachedServers(context_)(context_);
            smbc_free_context(context_, 1);
        }
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    SMBCCTX* get() const { return context_; }

private:
    static void Authenticate(SMBCCTX* context, const char* /*server*/, const char* /*share*/,
                             char* workgroup, int workgroupLength, char* user, int userLength,
                             char* password, int passwordLength) {
        const auto* self = static_cast<const Context*>(smbc_getOptionUserData(context));
        if (!self->credentials_.workgroup.empty()) {
            CopyBounded(workgroup, workgroupLength, self->credentials_.workgroup);
        }
        CopyBounded(user, userLength, self->credentials_.user);
        CopyBounded(password, passwordLength, self->credentials_.password);
    }

    SmbCredentials credentials_;
    std::lock_guard<std::mutex> lock_;
    SMBCCTX* context_ = nullptr;
};

SmbErrno LastError() {
    return errno != 0 ? errno : EIO;
}

}  // namespace

SmbCredentials SmbCredentials::FromUserName(std::string_view userName, std::string_view password) {
    SmbCredentials credentials;
    const auto backslash = userName.find('\\');
    if (backslash != std::string_view::npos) {
        credentials.workgroup = std::string(userName.substr(0, backslash));
        credentials.user = std::string(userName.substr(backslash + 1));
    } else {
        credentials.user = std::string(userName);
    }
    credentials.password = std::string(password);
    return credentials;
}

std::string SmbCredentials::UserName() const {
    return workgroup.empty() ? user : workgroup + "\\" + user;
}

void SmbCredentialStore::Remember(const std::string& host, const SmbCredentials& credentials) {
    std::lock_guard lock(mutex_);
    byHost_[Lower(host)] = credentials;
}

std::optional<SmbCredentials> SmbCredentialStore::Lookup(const std::string& host) const {
    std::lock_guard lock(mutex_);
    const auto found = byHost_.find(Lower(host));
    if (found == byHost_.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool SmbCredentialStore::Forget(const std::string& host) {
    std::lock_guard lock(mutex_);
    return byHost_.erase(Lower(host)) > 0;
}

SmbClient::SmbClient(SmbCredentials credentials, SmbLimits limits)
    : credentials_(std::move(credentials)), limits_(limits) {}

SmbErrno SmbClient::CheckReachable(const std::string& host) const {
    TcpConnectOutcome outcome = TryTcpConnect(host, 445, limits_.reach);
    if (outcome == TcpConnectOutcome::kRefused) {
        outcome = TryTcpConnect(host, 139, limits_.reach);
    }
    switch (outcome) {
        case TcpConnectOutcome::kAccepted:
            return 0;
        case TcpConnectOutcome::kRefused:
            return ECONNREFUSED;
        case TcpConnectOutcome::kTimedOut:
            return ETIMEDOUT;
        default:
            return EHOSTUNREACH;
    }
}

template <typename Operation>
SmbErrno SmbClient::WithContext(const UncPath& path, Operation operation) const {
    if (const SmbErrno unreachable = CheckReachable(path.host); unreachable != 0) {
        return unreachable;
    }
    Context context(credentials_, limits_.requestMilliseconds);
    if (context.get() == nullptr) {
        return ENOMEM;
    }
    errno = 0;
    return operation(context.get(), path.SmbUrl());
}

SmbErrno SmbClient::CheckShare(const UncPath& path) const {
    return WithContext(path, [](SMBCCTX* c, const std::string& url) -> SmbErrno {
        SMBCFILE* folder = smbc_getFunctionOpendir(c)(c, url.c_str());
        if (folder == nullptr) {
            return LastError();
        }
        smbc_getFunctionClosedir(c)(c, folder);
        return 0;
    });
}

SmbErrno SmbClient::WriteFile(const UncPath& path, std::string_view bytes, bool exclusive) const {
    return WithContext(path, [&](SMBCCTX* c, const std::string& url) -> SmbErrno {
        const int flags = O_WRONLY | O_CREAT | (exclusive ? O_EXCL : O_TRUNC);
        SMBCFILE* file = smbc_getFunctionOpen(c)(c, url.c_str(), flags, 0644);
        if (file == nullptr) {
            return LastError();
        }
        SmbErrno result = 0;
        std::size_t written = 0;
        while (written < bytes.size()) {
            const ssize_t put =
                smbc_getFunctionWrite(c)(c, file, bytes.data() + written, bytes.size() - written);
            if (put <= 0) {
                result = put < 0 ? LastError() : EIO;
                break;
            }
            written += static_cast<std::size_t>(put);
        }
        if (smbc_getFunctionClose(c)(c, file) != 0 && result == 0) {
            result = LastError();
        }
        return result;
    });
}

SmbErrno SmbClient::ReadFile(const UncPath& path, std::string& bytes, std::size_t limit) const {
    bytes.clear();
    return WithContext(path, [&](SMBCCTX* c, const std::string& url) -> SmbErrno {
        SMBCFILE* file = smbc_getFunctionOpen(c)(c, url.c_str(), O_RDONLY, 0);
        if (file == nullptr) {
            return LastError();
        }
        SmbErrno result = 0;
        char chunk[65536];
        for (;;) {
            const ssize_t got = smbc_getFunctionRead(c)(c, file, chunk, sizeof chunk);
            if (got < 0) {
                result = LastError();
                break;
            }
            if (got == 0) {
                break;
            }
            if (bytes.size() + static_cast<std::size_t>(got) > limit) {
                result = EFBIG;
                break;
            }
            bytes.append(chunk, static_cast<std::size_t>(got));
        }
        smbc_getFunctionClose(c)(c, file);
        return result;
    });
}

SmbErrno SmbClient::Stat(const UncPath& path, bool& isFolder) const {
    isFolder = false;
    return WithContext(path, [&](SMBCCTX* c, const std::string& url) -> SmbErrno {
        struct stat info {};
        if (smbc_getFunctionStat(c)(c, url.c_str(), &info) != 0) {
            return LastError();
        }
        isFolder = S_ISDIR(info.st_mode);
        return 0;
    });
}

SmbErrno SmbClient::Unlink(const UncPath& path) const {
    return WithContext(path, [](SMBCCTX* c, const std::string& url) -> SmbErrno {
        return smbc_getFunctionUnlink(c)(c, url.c_str()) == 0 ? 0 : LastError();
    });
}

SmbErrno SmbClient::MakeFolder(const UncPath& path) const {
    return WithContext(path, [](SMBCCTX* c, const std::string& url) -> SmbErrno {
        return smbc_getFunctionMkdir(c)(c, url.c_str(), 0755) == 0 ? 0 : LastError();
    });
}

SmbErrno SmbClient::RemoveFolder(const UncPath& path) const {
    return WithContext(path, [](SMBCCTX* c, const std::string& url) -> SmbErrno {
        return smbc_getFunctionRmdir(c)(c, url.c_str()) == 0 ? 0 : LastError();
    });
}

std::uint32_t ConnectionErrorFromErrno(SmbErrno error) {
    switch (error) {
        case 0:
            return NO_ERROR;
        case EACCES:
            return ERROR_LOGON_FAILURE;  // user unknown, password wrong, or not allowed
        case EPERM:
            return ERROR_ACCESS_DENIED;
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR:
        case EINVAL:
            return ERROR_BAD_NET_NAME;  // no such share (or folder below it)
        case EHOSTUNREACH:
        case ENETUNREACH:
        case EHOSTDOWN:
        case ETIMEDOUT:
        case ECONNREFUSED:
        case ECONNRESET:
        case ECONNABORTED:
        case EPIPE:
            return ERROR_BAD_NETPATH;  // server not reachable
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EBUSY:
        case EAGAIN:
            return ERROR_NETWORK_BUSY;
        default:
            return ERROR_UNEXP_NET_ERR;
    }
}

std::uint32_t FileErrorFromErrno(SmbErrno error) {
    switch (error) {
        case 0:
            return NO_ERROR;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case EFBIG:
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENODEV:
        case ENXIO:
            return ERROR_BAD_NET_NAME;
        case EHOSTUNREACH:
        case ENETUNREACH:
        case EHOSTDOWN:
        case ETIMEDOUT:
        case ECONNREFUSED:
        case ECONNRESET:
        case ECONNABORTED:
        case EPIPE:
            return ERROR_BAD_NETPATH;
        default:
            return ERROR_WRITE_FAULT;
    }
}

}  // namespace ostrel::platform
