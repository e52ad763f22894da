#pragma once

#include <string>

#include "platform/services/smb_client.h"
#include "platform/services/unc_path.h"

// Makes connected drive letters visible where desktop file managers list
// places: a bookmark per letter in the GTK bookmarks file (read by Files,
// Nemo, Caja, Thunar and the GTK file chooser), and, in a desktop session
// with GVfs, a mount of the share, so its files open without another login.
namespace ostrel::platform {

enum class UnmountOutcome { kDone, kNotMounted, kBusy, kFailed };

class DesktopPlaces {
public:
    struct Options {
        // The GTK bookmarks file; empty leaves bookmarks alone.
        std::string bookmarksFile = DefaultBookmarksFile();
        // Mount shares through GVfs (`gio mount`) when a session bus is
        // there (DBUS_SESSION_BUS_ADDRESS) and gio is on PATH.
        bool useGvfs = true;
    };

    DesktopPlaces();
    explicit DesktopPlaces(Options options);

    // $XDG_CONFIG_HOME/gtk-3.0/bookmarks.
    static std::string DefaultBookmarksFile();
    // "smb://host/share Z: share": the bookmark line of a letter.
    static std::string BookmarkLine(char letter, const UncPath& share);

    // Adds the letter's bookmark line, replacing an older line for the same
    // letter and share; other lines stay as they are, in their order.
    bool AddBookmark(char letter, const UncPath& share) const;
    // Removes exactly the line AddBookmark wrote.
    bool RemoveBookmark(char letter, const UncPath& share) const;

    bool GvfsAvailable() const;
    // Mounts the share through GVfs, the credentials given on standard input.
    bool Mount(const UncPath& share, const SmbCredentials& credentials) const;
    // Unmounts it; `force` ends it even with files open.
    UnmountOutcome Unmount(const UncPath& share, bool force) const;

private:
    bool EditBookmarks(const std::string& removeLine, const std::string& addLine) const;

    Options options_;
};

}  // namespace ostrel::platform
