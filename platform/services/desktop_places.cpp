#include "platform/services/desktop_places.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "platform/services/ascii_text.h"
#include "platform/services/run_process.h"
#include "platform/services/user_files.h"

namespace ostrel::platform {

namespace {

constexpr std::chrono::milliseconds kGioLimit{20000};

std::string ShareUri(const UncPath& share) {
    UncPath root = share;
    return root.SmbUrl();
}

}  // namespace

DesktopPlaces::DesktopPlaces() : DesktopPlaces(Options{}) {}

DesktopPlaces::DesktopPlaces(Options options) : options_(std::move(options)) {}

std::string DesktopPlaces::DefaultBookmarksFile() {
    return UserConfigHome() + "/gtk-3.0/bookmarks";
}

std::string DesktopPlaces::BookmarkLine(char letter, const UncPath& share) {
    std::string label = std::string(1, letter) + ": " + share.share;
    for (const auto& component : share.components) {
        label += "/" + component;
    }
    return ShareUri(share) + " " + label;
}

std::string DesktopPlaces::DefaultAddedFile() {
    return UserConfigHome() + "/ostrel-nvr/bookmarks-added";
}

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string content;
    for (const auto& line : lines) {
        content += line + "\n";
    }
    return content;
}

// Removes the last line equal to `line`; whether there was one.
bool RemoveLast(std::vector<std::string>& lines, const std::string& line) {
    const auto found = std::find(lines.rbegin(), lines.rend(), line);
    if (found == lines.rend()) {
        return false;
    }
    lines.erase(std::next(found).base());
    return true;
}

}  // namespace

bool DesktopPlaces::EditBookmarks(const std::string& line, bool add) const {
    if (options_.bookmarksFile.empty()) {
        return true;
    }
    // The lock lives in our own folder, not among the desktop's files.
    FileLock lock(UserConfigHome() + "/ostrel-nvr/bookmarks.lock");
    std::vector<std::string> lines = SplitLines(ReadWholeFile(options_.bookmarksFile).value_or(""));
    std::vector<std::string> added = SplitLines(ReadWholeFile(options_.addedFile).value_or(""));
    const bool ours = std::find(added.begin(), added.end(), line) != added.end();
    const bool present = std::find(lines.begin(), lines.end(), line) != lines.end();
    if (add) {
        if (present) {
            // Ours from an earlier map, or the user's own: either way it is there.
            return true;
        }
        lines.push_back(line);
        if (!ours) {
            added.push_back(line);
        }
        // The record first: a line in the bookmarks the record lacks would
        // be taken for the user's and stay after the unmap.
        return ReplacePrivateFile(options_.addedFile, JoinLines(added)) &&
               ReplaceFileAtomically(options_.bookmarksFile, JoinLines(lines));
    }
    if (!ours) {
        return true;
    }
    if (RemoveLast(lines, line) &&
        !ReplaceFileAtomically(options_.bookmarksFile, JoinLines(lines))) {
        return false;
    }
    RemoveLast(added, line);
    return ReplacePrivateFile(options_.addedFile, JoinLines(added));
}

bool DesktopPlaces::AddBookmark(char letter, const UncPath& share) const {
    return EditBookmarks(BookmarkLine(letter, share), true);
}

bool DesktopPlaces::RemoveBookmark(char letter, const UncPath& share) const {
    return EditBookmarks(BookmarkLine(letter, share), false);
}

bool DesktopPlaces::GvfsAvailable() const {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return options_.useGvfs && bus != nullptr && bus[0] != '\0' && ProgramOnPath("gio");
}

bool DesktopPlaces::Mount(const UncPath& share, const SmbCredentials& credentials) const {
    if (!GvfsAvailable()) {
        return false;
    }
    // gio asks for user, domain and password in this order; the password
    // never appears on a command line.
    const std::string input =
        credentials.user + "\n" +
        (credentials.workgroup.empty() ? "WORKGROUP" : credentials.workgroup) + "\n" +
        credentials.password + "\n";
    const ProcessOutcome outcome = RunProcess({"gio", "mount", ShareUri(share)}, input, kGioLimit);
    return outcome.exitCode == 0 ||
           Lower(outcome.output).find("already mounted") != std::string::npos;
}

UnmountOutcome DesktopPlaces::Unmount(const UncPath& share, bool force) const {
    if (!GvfsAvailable()) {
        return UnmountOutcome::kNotMounted;
    }
    std::vector<std::string> argv{"gio", "mount", "-u"};
    if (force) {
        argv.emplace_back("-f");
    }
    argv.push_back(ShareUri(share));
    const ProcessOutcome outcome = RunProcess(argv, {}, kGioLimit);
    if (outcome.exitCode == 0) {
        return UnmountOutcome::kDone;
    }
    const std::string text = Lower(outcome.output);
    if (text.find("busy") != std::string::npos) {
        return UnmountOutcome::kBusy;
    }
    if (text.find("not mounted") != std::string::npos ||
        text.find("not found") != std::string::npos) {
        return UnmountOutcome::kNotMounted;
    }
    return UnmountOutcome::kFailed;
}

}  // namespace ostrel::platform
