#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// Per-user folders (freedesktop base directories) and whole-file reads and
// atomic replacements of small files in them.
namespace ostrel::platform {

// $XDG_CONFIG_HOME, else $HOME/.config (an absolute path, no trailing slash).
std::string UserConfigHome();
// $XDG_DATA_HOME, else $HOME/.local/share.
std::string UserDataHome();

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file with the content so that a reader sees either the old or
// the new content, never a mix: writes a temporary file beside it, flushes it
// and renames it over the target. Creates missing parent folders (mode 0700).
// False when any step fails; the old file is then untouched.
bool ReplaceFileAtomically(const std::string& path, std::string_view content);
// The same for a file that is the user's alone: it is always written 0600,
// whatever the file it replaces (or a symbolic link's target) had, and its
// folder is made 0700.
bool ReplacePrivateFile(const std::string& path, std::string_view content);

// Creates the folder and its missing parents with the given mode.
bool MakeFolders(const std::string& path, unsigned mode);

// Holds an exclusive advisory lock on a lock file for its lifetime, so that
// read-modify-write cycles of two processes on one file do not interleave.
class FileLock {
public:
    // Waits for the lock as long as it takes.
    explicit FileLock(const std::string& lockPath);
    // Waits at most `wait`; busy() then says that another holder kept it.
    // A lock file that cannot be made is no lock and not busy: the write
    // that follows fails on its own.
    FileLock(const std::string& lockPath, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool busy() const { return busy_; }

private:
    int fd_ = -1;
    bool busy_ = false;
};

}  // namespace ostrel::platform
