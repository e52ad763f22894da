#include "platform/services/connection_table.h"

#include "platform/services/user_files.h"

namespace ostrel::platform {

namespace {

constexpr const char* kHeader =
    "# Network drive connections: letter, remote name, user name (tab-separated).";

bool Printable(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

// "Z:<TAB>\\host\share<TAB>user", or nothing when the line is not one.
std::optional<std::pair<char, DriveConnection>> ParseConnection(const std::string& line) {
    const auto firstTab = line.find('\t');
    if (firstTab != 2 || line[0] < 'A' || line[0] > 'Z' || line[1] != ':') {
        return std::nullopt;
    }
    const auto secondTab = line.find('\t', firstTab + 1);
    if (secondTab == std::string::npos) {
        return std::nullopt;
    }
    DriveConnection connection{line.substr(3, secondTab - 3), line.substr(secondTab + 1)};
    if (connection.remoteName.rfind("\\\\", 0) != 0 || !Printable(connection.remoteName) ||
        !Printable(connection.userName)) {
        return std::nullopt;
    }
    return std::make_pair(line[0], std::move(connection));
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

ConnectionTable::Content ConnectionTable::Read() const {
    Content content;
    const auto bytes = ReadWholeFile(path_);
    if (!bytes) {
        return content;
    }
    content.exists = true;
    std::size_t start = 0;
    int number = 0;
    while (start < bytes->size()) {
        ++number;
        Line line;
        auto end = bytes->find('\n', start);
        if (end == std::string::npos) {
            end = bytes->size();
        } else {
            line.ending = "\n";
        }
        line.text = bytes->substr(start, end - start);
        start = end + 1;
        if (!line.ending.empty() && !line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
            line.ending = "\r\n";
        }
        if (line.text.empty() || line.text[0] == '#') {
            content.lines.push_back(std::move(line));
            continue;
        }
        auto parsed = ParseConnection(line.text);
        if (parsed && content.connections.emplace(parsed->first, parsed->second).second) {
            line.letter = parsed->first;
        } else {
            content.unread.push_back({number, line.text});
        }
        content.lines.push_back(std::move(line));
    }
    return content;
}

std::map<char, DriveConnection> ConnectionTable::Load() const {
    return Read().connections;
}

std::vector<UnreadLine> ConnectionTable::UnreadLines() const {
    return Read().unread;
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
    Content content = Read();
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
        content.lines.back().ending = "\n";
    }
    content.lines.push_back({text, "\n", letter});
    return Store(content);
}

TableChange ConnectionTable::Remove(char letter) {
    FileLock lock(path_ + ".lock", lockWait_);
    if (lock.busy()) {
        return TableChange::kInUse;
    }
    Content content = Read();
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
