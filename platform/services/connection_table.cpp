#include "platform/services/connection_table.h"

#include "platform/services/user_files.h"

namespace ostrel::platform {

namespace {

constexpr const char* kHeader =
    "# Network drive connections: letter, remote name, user name (tab-separated).\n";

bool Printable(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
    }
    return true;
}

}  // namespace

ConnectionTable::ConnectionTable(std::string path) : path_(std::move(path)) {}

std::string ConnectionTable::DefaultPath() {
    return UserConfigHome() + "/ostrel-nvr/network-drives";
}

std::map<char, DriveConnection> ConnectionTable::Load() const {
    std::map<char, DriveConnection> connections;
    const auto content = ReadWholeFile(path_);
    if (!content) {
        return connections;
    }
    std::size_t start = 0;
    while (start < content->size()) {
        auto end = content->find('\n', start);
        if (end == std::string::npos) {
            end = content->size();
        }
        const std::string line = content->substr(start, end - start);
        start = end + 1;
        const auto firstTab = line.find('\t');
        const auto secondTab = line.find('\t', firstTab == std::string::npos ? 0 : firstTab + 1);
        if (line.empty() || line[0] == '#' || firstTab != 2 || secondTab == std::string::npos ||
            line[1] != ':' || line[0] < 'A' || line[0] > 'Z') {
            continue;
        }
        DriveConnection connection{line.substr(3, secondTab - 3), line.substr(secondTab + 1)};
        if (connection.remoteName.rfind("\\\\", 0) == 0 &&
            connection.userName.find('\t') == std::string::npos) {
            connections[line[0]] = connection;
        }
    }
    return connections;
}

std::optional<DriveConnection> ConnectionTable::Find(char letter) const {
    const auto connections = Load();
    const auto found = connections.find(letter);
    if (found == connections.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool ConnectionTable::Put(char letter, const DriveConnection& connection) {
    if (!Printable(connection.remoteName) || !Printable(connection.userName)) {
        return false;
    }
    FileLock lock(path_ + ".lock");
    auto connections = Load();
    connections[letter] = connection;
    return Store(connections);
}

bool ConnectionTable::Remove(char letter) {
    FileLock lock(path_ + ".lock");
    auto connections = Load();
    if (connections.erase(letter) == 0) {
        return false;
    }
    return Store(connections);
}

bool ConnectionTable::Store(const std::map<char, DriveConnection>& connections) const {
    std::string content = kHeader;
    for (const auto& [letter, connection] : connections) {
        content += std::string(1, letter) + ":\t" + connection.remoteName + "\t" +
                   connection.userName + "\n";
    }
    return ReplaceFileAtomically(path_, content);
}

}  // namespace ostrel::platform
