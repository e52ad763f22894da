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
        // The program's record of the bookmark lines it added itself, so that
        // a user's own identical line is never taken for one of them.
        std::string addedFile = DefaultAddedFile();
        // Mount shares through GVfs (`gio mount`) when a session bus is
        // there (DBUS_SESSION_BUS_ADDRESS) and gio is on PATH.
        bool useGvfs = true;
    };

    DesktopPlaces();
    explicit DesktopPlaces(Options options);

    // $XDG_CONFIG_HOME/gtk-3.0/bookmarks.
    static std::string DefaultBookmarksFile();
    // $XDG_CONFIG_HOME/ostrel-nvr/bookmarks-added, beside the connection table.
    static std::string DefaultAddedFile();
    // "smb://host/share Z: share": the bookmark line of a letter.
    static std::string BookmarkLine(char letter, const UncPath& share);

    // Appends the letter's bookmark line and records it as the program's,
    // unless the file already has that line (then it changes nothing); other
    // lines stay as they are, in their order.
    bool AddBookmark(char letter, const UncPath& share) const;
    // Removes the line only when AddBookmark added it: an identical line the
    // user wrote is kept.
    bool RemoveBookmark(char letter, const UncPath& share) const;

    bool GvfsAvailable() const;
    // Mounts the share through GVfs, the credentials given on standard input.
    bool Mount(const UncPath& share, const SmbCredentials& credentials) const;
    // Unmounts it; `force` ends it even with files open.
    UnmountOutcome Unmount(const UncPath& share, bool force) const;

private:
    bool EditBookmarks(const std::string& line, bool add) const;

    Options options_;
};

}  // namespace ostrel::platform
