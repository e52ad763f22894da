#include "platform/services/user_files.h"

#include <cerrno>
#include <cstdlib>
#include <thread>

#include <sys/file.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace ostrel::platform {

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/tmp";
}

std::string BaseFolder(const char* variable, const char* fallbackBelowHome) {
    // Relative values do not count, as the freedesktop base directory rules say.
    const char* value = std::getenv(variable);
    std::string folder = (value != nullptr && value[0] == '/')
                             ? std::string(value)
                             : HomeFolder() + "/" + fallbackBelowHome;
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string ParentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return (slash == std::string::npos || slash == 0) ? std::string("/") : path.substr(0, slash);
}

}  // namespace

std::string UserConfigHome() {
    return BaseFolder("XDG_CONFIG_HOME", ".config");
}

std::string UserDataHome() {
    return BaseFolder("XDG_DATA_HOME", ".local/share");
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string content;
    char chunk[8192];
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        content.append(chunk, static_cast<std::size_t>(got));
    }
    close(fd);
    return content;
}

bool MakeFolders(const std::string& path, unsigned mode) {
    if (path.empty()) {
        return false;
    }
    std::size_t position = 1;
    for (;;) {
        const auto slash = path.find('/', position);
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
        position = slash + 1;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {

// Writes the content beside the file and renames it over it; the new file
// gets `mode`, or the old file's mode when there is none (0600 for a new file).
bool WriteReplacement(const std::string& path, std::string_view content,
                      std::optional<mode_t> mode) {
    if (!MakeFolders(ParentOf(path), 0700)) {
        return false;
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    struct stat old {};
    if (!mode) {
        mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0600;
    }
    fchmod(fd, *mode);
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < content.size()) {
        const ssize_t put = write(fd, content.data() + written, content.size() - written);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        ok = put > 0;
        if (ok) {
            written += static_cast<std::size_t>(put);
        }
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
    }
    return ok;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view content) {
    return WriteReplacement(path, content, std::nullopt);
}

bool ReplacePrivateFile(const std::string& path, std::string_view content) {
    if (!MakeFolders(ParentOf(path), 0700) || chmod(ParentOf(path).c_str(), 0700) != 0) {
        return false;
    }
    return WriteReplacement(path, content, 0600);
}

FileLock::FileLock(const std::string& lockPath) {
    MakeFolders(ParentOf(lockPath), 0700);
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
        while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

FileLock::FileLock(const std::string& lockPath, std::chrono::milliseconds wait) {
    MakeFolders(ParentOf(lockPath), 0700);
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        return;
    }
    const auto until = std::chrono::steady_clock::now() + wait;
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR && (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= until)) {
            busy_ = errno == EWOULDBLOCK;
            close(fd_);
            fd_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        close(fd_);  // closing releases the lock
    }
}

}  // namespace ostrel::platform
