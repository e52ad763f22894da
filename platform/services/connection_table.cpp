#include "platform/services/connection_table.h"

#include <string_view>

#include "platform/services/user_files.h"

namespace ostrel::platform {

namespace {

constexpr const char* kHeader =
    "# Network drive connections: letter, remote name, user name (tab-separated).";

bool Printable(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

// "Z:<TAB>\\host\share<TAB>user", or nothing when the line is not one.
std::optional<std::pair<char, DriveConnection>> ParseConnection(std::string_view line) {
    const auto firstTab = line.find('\t');
    if (firstTab != 2 || line[0] < 'A' || line[0] > 'Z' || line[1] != ':') {
        return std::nullopt;
    }
    const auto secondTab = line.find('\t', firstTab + 1);
    if (secondTab == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view remote = line.substr(3, secondTab - 3);
    const std::string_view user = line.substr(secondTab + 1);
    if (!remote.starts_with("\\\\") || !Printable(remote) || !Printable(user)) {
        return std::nullopt;
    }
    return std::make_pair(line[0], DriveConnection{std::string(remote), std::string(user)});
}

std::string ConnectionText(char letter, const DriveConnection& connection) {
    return std::string(1, letter) + ":\t" + connection.remoteName + "\t" + connection.userName;
}

}  // namespace

ConnectionTable::ConnectionTable(std::string path, std::chrono::milliseconds lockWait)
    : path_(std::move(path)), lockWait_(lockWait) {}

std::string ConnectionTable::DefaultPath() {
    return UserConfigHome() + "/ostrel-nvr/network-drives";
}

ConnectionTable::Content ConnectionTable::Read(bool keepLines) const {
    Content content;
    const auto bytes = ReadWholeFile(path_);
    if (!bytes) {
        return content;
    }
    content.exists = true;
    // Views into the bytes; only what is kept is copied, so a question on a
    // long table costs one pass over it.
    const std::string_view all(*bytes);
    std::size_t start = 0;
    int number = 0;
    while (start < all.size()) {
        ++number;
        std::string_view ending;
        auto end = all.find('\n', start);
        if (end == std::string_view::npos) {
            end = all.size();
        } else {
            ending = "\n";
        }
        std::string_view text = all.substr(start, end - start);
        start = end + 1;
        if (!ending.empty() && text.ends_with('\r')) {
            text.remove_suffix(1);
            ending = "\r\n";
        }
        std::optional<char> letter;
        if (!text.empty() && text[0] != '#') {
            auto parsed = ParseConnection(text);
            if (parsed && !content.connections.contains(parsed->first)) {
                letter = parsed->first;
                content.connections.emplace(std::move(*parsed));
            } else {
                content.unread.push_back({number, std::string(text)});
            }
        }
        if (keepLines) {
            content.lines.push_back({std::string(text), std::string(ending), letter});
        }
    }
    return content;
}

std::map<char, DriveConnection> ConnectionTable::Load() const {
    return Read(false).connections;
}

std::vector<UnreadLine> ConnectionTable::UnreadLines() const {
    return Read(false).unread;
}

std::optional<DriveConnection> ConnectionTable::Find(char letter) const {
    const auto connections = Load();
    const auto found = connections.find(letter);
    if (found == connections.end()) {
        return std::nullopt;
    }
    return found->second;
}

TableChange ConnectionTable::Put(char letter, const DriveConnection& connection) {
    if (!Printable(connection.remoteName) || !Printable(connection.userName)) {
        return TableChange::kNotWritten;
    }
    FileLock lock(path_ + ".lock", lockWait_);
    if (lock.busy()) {
        return TableChange::kInUse;
    }
    Content content = Read(true);
    const std::string text = ConnectionText(letter, connection);
    for (Line& line : content.lines) {
        if (line.letter == letter) {
            line.text = text;
            return Store(content);
        }
    }
    if (!content.exists) {
        content.lines.push_back({kHeader, "\n", std::nullopt});
    }
    if (!content.lines.empty() && content.lines.back().ending.empty()) {
        // The last line had no line end: it gets one, its bytes stay.
        content.lines.back().ending.push_back('\n');
    }
    content.lines.push_back({text, "\n", letter});
    return Store(content);
}

TableChange ConnectionTable::Remove(char letter) {
    FileLock lock(path_ + ".lock", lockWait_);
    if (lock.busy()) {
        return TableChange::kInUse;
    }
    Content content = Read(true);
    for (auto it = content.lines.begin(); it != content.lines.end(); ++it) {
        if (it->letter == letter) {
            content.lines.erase(it);
            return Store(content);
        }
    }
    return TableChange::kNotThere;
}

TableChange ConnectionTable::Store(const Content& content) const {
    std::string bytes;
    for (const Line& line : content.lines) {
        bytes += line.text + line.ending;
    }
    // It names hosts, shares and user names: the user's alone.
    return ReplacePrivateFile(path_, bytes) ? TableChange::kDone : TableChange::kNotWritten;
}

}  // namespace ostrel::platform
