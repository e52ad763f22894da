#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// Command-line parsing of ostrel-nvr. Parsing only: nothing here touches the
// network, so every rule is testable on its own.
namespace cli {

enum class Command {
    Search,
    Login,
    Volumes,
    Dhcp,
    Static,
    Identity,
    Console,
    Drives,
    Map,
    Unmap,
    Apply,
    Watch,
    Help
};

// Whether a command works on one recorder of the search (--device), and
// whether it needs the recorder's password.
bool NeedsDevice(Command command);
bool NeedsPassword(Command command);

struct Options {
    Command command = Command::Help;
    bool json = false;
    bool verbose = false;  // search: report the local addresses searched and left out
    std::string device;    // device key, name or IP address from the search
    std::string user = "admin";
    bool passwordStdin = false;
    std::string lanMode = "LAN1";
    std::optional<std::string> ip;
    std::optional<std::string> netmask;
    std::optional<std::string> gateway;
    std::optional<std::string> setName;
    std::optional<std::string> setShort;
    std::optional<std::string> setLong;
    bool printUrl = false;             // console: print the URL instead of opening it
    std::string volume;                // map: the recorder's volume
    std::string letter;                // map --letter, unmap's argument: "X:"
    bool force = false;                // map: replace the connection of a letter in use
    std::string planPath;              // apply: the plan file
    bool dryRun = false;               // apply: check and print, send nothing
    int intervalMilliseconds = 2000;   // watch: between two searches
    std::optional<Command> helpTopic;  // "COMMAND --help": that command's usage

    bool setsIdentity() const { return setName || setShort || setLong; }
};

struct ParseResult {
    std::optional<Options> options;  // empty on error
    std::string error;               // one line, without the program name
};

// Parses the arguments after the program name. Options take their value as
// the next argument or after "=". A password is never accepted here.
ParseResult ParseArgs(const std::vector<std::string>& args);

// The help text printed by "ostrel-nvr help" and on a usage error.
std::string UsageText();
// "COMMAND --help": the usage lines of that command, then the notes and exit
// codes of the whole help text.
std::string UsageText(Command topic);

// Reads the password: one line of input (without its line end) with
// --password-stdin, otherwise the value of OSTREL_PASSWORD. Empty when
// neither gives one; error then holds why.
struct PasswordResult {
    std::optional<std::string> password;
    std::string error;
};
PasswordResult ReadPassword(bool fromStdin, std::istream& in, const char* environmentValue);

}  // namespace cli
