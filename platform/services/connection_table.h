#pragma once

#include <map>
#include <optional>
#include <string>

// The user's persistent network drive connections, one file in the user's
// configuration folder: a line per connection with the letter, the remote
// name and the user name, separated by tabs. It is read afresh for every
// question, so connections made by another instance show up at once, and
// replaced atomically under a lock for every change.
namespace ostrel::platform {

struct DriveConnection {
    std::string remoteName;  // "\\host\share"
    std::string userName;    // "user", "DOMAIN\user", or empty for anonymous
};

class ConnectionTable {
public:
    explicit ConnectionTable(std::string path);

    // $XDG_CONFIG_HOME/ostrel-nvr/network-drives.
    static std::string DefaultPath();

    // Every well-formed line of the file, by letter; a missing file is empty.
    std::map<char, DriveConnection> Load() const;
    std::optional<DriveConnection> Find(char letter) const;
    bool Put(char letter, const DriveConnection& connection);
    // True when the letter had a connection and the file was rewritten.
    bool Remove(char letter);

    const std::string& path() const { return path_; }

private:
    bool Store(const std::map<char, DriveConnection>& connections) const;

    std::string path_;
};

}  // namespace ostrel::platform
