#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The user's persistent network drive connections, one file in the user's
// configuration folder: a line per connection with the letter, the remote
// name and the user name, separated by tabs. It is read afresh for every
// question, so connections made by another instance show up at once, and
// replaced atomically under a lock for every change.
//
// Lines the table does not understand (a damaged line, a lower-case letter,
// a second line for one letter, control bytes) are not connections, but a
// rewrite keeps them byte for byte where they stand, line ends included.
namespace ostrel::platform {

struct DriveConnection {
    std::string remoteName;  // "\\host\share"
    std::string userName;    // "user", "DOMAIN\user", or empty for anonymous
};

// A line of the file that is neither a connection, a comment nor blank.
struct UnreadLine {
    int number = 0;    // counting from 1
    std::string text;  // without its line end
};

// What a change of the table came to.
enum class TableChange {
    kDone,
    kNotThere,    // Remove: the letter had no connection
    kInUse,       // another program held the table's lock past the wait
    kNotWritten,  // the file could not be written (or the names hold control bytes)
};

// How long a change waits for another program's lock on the table.
inline constexpr std::chrono::milliseconds kTableLockWait{5000};

class ConnectionTable {
public:
    explicit ConnectionTable(std::string path, std::chrono::milliseconds lockWait = kTableLockWait);

    // $XDG_CONFIG_HOME/ostrel-nvr/network-drives.
    static std::string DefaultPath();

    // Every well-formed line of the file, by letter (the first line of a
    // letter counts); a missing file is empty.
    std::map<char, DriveConnection> Load() const;
    std::optional<DriveConnection> Find(char letter) const;
    // The lines that Load does not take, in file order.
    std::vector<UnreadLine> UnreadLines() const;
    TableChange Put(char letter, const DriveConnection& connection);
    TableChange Remove(char letter);

    const std::string& path() const { return path_; }

private:
    struct Line {
        std::string text;            // without its line end
        std::string ending;          // "\n", "\r\n", or "" for a last line without one
        std::optional<char> letter;  // set for the line that holds a connection
    };
    struct Content {
        bool exists = false;
        std::vector<Line> lines;
        std::map<char, DriveConnection> connections;
        std::vector<UnreadLine> unread;
    };
    // The lines themselves are kept only for a rewrite.
    Content Read(bool keepLines) const;
    TableChange Store(const Content& content) const;

    std::string path_;
    std::chrono::milliseconds lockWait_;
};

}  // namespace ostrel::platform
