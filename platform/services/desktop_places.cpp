#include "platform/services/desktop_places.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
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

bool DesktopPlaces::EditBookmarks(const std::string& removeLine, const std::string& addLine) const {
    if (options_.bookmarksFile.empty()) {
        return true;
    }
    // The lock lives in our own folder, not among the desktop's files.
    FileLock lock(UserConfigHome() + "/ostrel-nvr/bookmarks.lock");
    const std::string old = ReadWholeFile(options_.bookmarksFile).value_or("");
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < old.size()) {
        auto end = old.find('\n', start);
        if (end == std::string::npos) {
            end = old.size();
        }
        lines.push_back(old.substr(start, end - start));
        start = end + 1;
    }
    bool changed = false;
    const auto removed = std::remove(lines.begin(), lines.end(), removeLine);
    changed = removed != lines.end();
    lines.erase(removed, lines.end());
    if (!addLine.empty()) {
        lines.push_back(addLine);
        changed = true;
    }
    if (!changed) {
        return true;
    }
    std::string content;
    for (const auto& line : lines) {
        content += line + "\n";
    }
    return ReplaceFileAtomically(options_.bookmarksFile, content);
}

bool DesktopPlaces::AddBookmark(char letter, const UncPath& share) const {
    const std::string line = BookmarkLine(letter, share);
    return EditBookmarks(line, line);
}

bool DesktopPlaces::RemoveBookmark(char letter, const UncPath& share) const {
    return EditBookmarks(BookmarkLine(letter, share), {});
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
