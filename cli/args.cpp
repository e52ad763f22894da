#include "cli/args.h"

#include <cstdlib>
#include <istream>
#include <string_view>

namespace cli {
namespace {

struct CommandName {
    std::string_view name;
    Command command;
};

constexpr CommandName kCommands[] = {
    {"search", Command::Search},   {"login", Command::Login},   {"volumes", Command::Volumes},
    {"dhcp", Command::Dhcp},       {"static", Command::Static}, {"identity", Command::Identity},
    {"console", Command::Console}, {"drives", Command::Drives}, {"map", Command::Map},
    {"unmap", Command::Unmap},     {"apply", Command::Apply},   {"watch", Command::Watch},
    {"help", Command::Help},       {"--help", Command::Help},   {"-h", Command::Help},
};

// The options each command accepts, besides --help.
bool Accepts(Command command, std::string_view option) {
    if (option == "--json") {
        return command == Command::Search || command == Command::Volumes ||
               command == Command::Console || command == Command::Drives ||
               command == Command::Map || command == Command::Unmap || command == Command::Apply ||
               command == Command::Watch;
    }
    if (option == "--dry-run") {
        return command == Command::Apply;
    }
    if (option == "--interval") {
        return command == Command::Watch;
    }
    if (option == "--print-url") {
        return command == Command::Console;
    }
    if (option == "--volume" || option == "--letter" || option == "--force") {
        return command == Command::Map;
    }
    if (option == "--device") {
        return NeedsDevice(command);
    }
    if (option == "--verbose") {
        return command == Command::Search;
    }
    if (option == "--password-stdin") {
        return NeedsPassword(command) || command == Command::Apply;
    }
    if (option == "--user") {
        return NeedsPassword(command);
    }
    if (option == "--lan-mode") {
        return command == Command::Dhcp || command == Command::Static;
    }
    if (option == "--ip" || option == "--netmask" || option == "--gateway") {
        return command == Command::Static;
    }
    if (option == "--set-name" || option == "--set-short" || option == "--set-long") {
        return command == Command::Identity;
    }
    return false;
}

bool TakesValue(std::string_view option) {
    return option != "--json" && option != "--password-stdin" && option != "--verbose" &&
           option != "--print-url" && option != "--force" && option != "--dry-run";
}

// "X:" for "x", "X", "x:" or "X:"; empty for anything else.
std::string DriveLetterName(std::string_view text) {
    if (text.size() == 2 && text[1] == ':') {
        text.remove_suffix(1);
    }
    if (text.size() != 1 ||
        !((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        return "";
    }
    const char letter = static_cast<char>(text[0] >= 'a' ? text[0] - 'a' + 'A' : text[0]);
    return std::string(1, letter) + ":";
}

std::string_view CommandText(Command command) {
    for (const CommandName& entry : kCommands) {
        if (entry.command == command) {
            return entry.name;
        }
    }
    return "";
}

}  // namespace

bool NeedsDevice(Command command) {
    return command != Command::Search && command != Command::Help && command != Command::Drives &&
           command != Command::Unmap && command != Command::Apply && command != Command::Watch;
}

bool NeedsPassword(Command command) {
    return NeedsDevice(command) && command != Command::Console;
}

ParseResult ParseArgs(const std::vector<std::string>& args) {
    ParseResult result;
    if (args.empty()) {
        result.error = "no command given (try \"ostrel-nvr help\")";
        return result;
    }
    Options options;
    bool known = false;
    for (const CommandName& entry : kCommands) {
        if (args[0] == entry.name) {
            options.command = entry.command;
            known = true;
        }
    }
    if (!known) {
        result.error = "unknown command \"" + args[0] + "\" (try \"ostrel-nvr help\")";
        return result;
    }
    if (options.command == Command::Help) {
        result.options = options;
        return result;
    }

    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string option = args[i];
        std::optional<std::string> value;
        if (const std::size_t eq = option.find('=');
            option.starts_with("--") && eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
        }
        if (option == "--help" || option == "-h") {
            options.helpTopic = options.command;
            options.command = Command::Help;
            result.options = options;
            return result;
        }
        if (option == "--password" || option.starts_with("--password=")) {
            result.error =
                "a password is never taken from the command line; use --password-stdin or "
                "OSTREL_PASSWORD";
            return result;
        }
        if (options.command == Command::Unmap && !option.starts_with("-") &&
            options.letter.empty()) {
            options.letter = option;
            continue;
        }
        if (options.command == Command::Apply && !option.starts_with("-") &&
            options.planPath.empty()) {
            options.planPath = option;
            continue;
        }
        if (!Accepts(options.command, option)) {
            result.error = (option.starts_with("-") ? "unknown option " : "unexpected argument ") +
                           ("\"" + option) + "\" for " + std::string(CommandText(options.command));
            return result;
        }
        if (TakesValue(option)) {
            if (!value) {
                if (i + 1 >= args.size()) {
                    result.error = "option " + option + " needs a value";
                    return result;
                }
                value = args[++i];
            }
        } else if (value) {
            result.error = "option " + option + " takes no value";
            return result;
        }

        if (option == "--json") {
            options.json = true;
        } else if (option == "--verbose") {
            options.verbose = true;
        } else if (option == "--password-stdin") {
            options.passwordStdin = true;
        } else if (option == "--device") {
            options.device = *value;
        } else if (option == "--user") {
            options.user = *value;
        } else if (option == "--lan-mode") {
            options.lanMode = *value;
        } else if (option == "--ip") {
            options.ip = *value;
        } else if (option == "--netmask") {
            options.netmask = *value;
        } else if (option == "--gateway") {
            options.gateway = *value;
        } else if (option == "--set-name") {
            options.setName = *value;
        } else if (option == "--set-short") {
            options.setShort = *value;
        } else if (option == "--set-long") {
            options.setLong = *value;
        } else if (option == "--print-url") {
            options.printUrl = true;
        } else if (option == "--interval") {
            char* end = nullptr;
            const double seconds = std::strtod(value->c_str(), &end);
            if (value->empty() || end == nullptr || *end != '\0' || !(seconds >= 0.1) ||
                !(seconds <= 3600)) {
                result.error = "--interval takes seconds from 0.1 to 3600";
                return result;
            }
            options.intervalMilliseconds = static_cast<int>(seconds * 1000);
        } else if (option == "--dry-run") {
            options.dryRun = true;
        } else if (option == "--force") {
            options.force = true;
        } else if (option == "--volume") {
            options.volume = *value;
        } else if (option == "--letter") {
            if (value->empty()) {
                result.error = "--letter needs a drive letter (X:)";
                return result;
            }
            options.letter = *value;
        }
    }

    if (options.command == Command::Map && options.volume.empty()) {
        result.error = "map needs --volume (a volume name of the recorder)";
        return result;
    }
    if (options.command == Command::Unmap && options.letter.empty()) {
        result.error = "unmap needs a drive letter (X:)";
        return result;
    }
    if (options.command == Command::Apply && options.planPath.empty()) {
        result.error = "apply needs a plan file (PLAN.csv)";
        return result;
    }
    if (!options.letter.empty()) {
        const std::string letter = DriveLetterName(options.letter);
        if (letter.empty()) {
            result.error = "\"" + options.letter + "\" is not a drive letter (X:)";
            return result;
        }
        options.letter = letter;
    }
    if (NeedsDevice(options.command) && options.device.empty()) {
        result.error = std::string(CommandText(options.command)) +
                       " needs --device (a device key, name or IP address)";
        return result;
    }
    // Longer texts would be cut by the fixed fields they travel in; refuse
    // them rather than write something the user did not ask for.
    struct Limit {
        const std::optional<std::string>& text;
        const char* option;
        std::size_t maximum;
    };
    const std::optional<std::string> lanMode = options.lanMode;
    for (const Limit& limit :
         {Limit{options.setName, "--set-name", 31}, Limit{options.setShort, "--set-short", 31},
          Limit{options.setLong, "--set-long", 511}, Limit{lanMode, "--lan-mode", 11}}) {
        if (limit.text && limit.text->size() > limit.maximum) {
            result.error = std::string(limit.option) + " takes at most " +
                           std::to_string(limit.maximum) + " bytes";
            return result;
        }
    }
    if (options.user.empty()) {
        result.error = "the user name must not be empty";
        return result;
    }
    result.options = options;
    return result;
}

std::string UsageText() {
    return "usage: ostrel-nvr search [--json] [--verbose]\n"
           "       ostrel-nvr login    --device SEL [--user NAME] [--password-stdin]\n"
           "       ostrel-nvr volumes  --device SEL [--user NAME] [--password-stdin] [--json]\n"
           "       ostrel-nvr dhcp     --device SEL [--user NAME] [--password-stdin] [--lan-mode "
           "TEXT]\n"
           "       ostrel-nvr static   --device SEL [--user NAME] [--password-stdin] --ip A "
           "--netmask M\n"
           "                           [--gateway G] [--lan-mode TEXT]\n"
           "       ostrel-nvr identity --device SEL [--user NAME] [--password-stdin]\n"
           "                           [--set-name T] [--set-short T] [--set-long T]\n"
           "       ostrel-nvr console  --device SEL [--print-url] [--json]\n"
           "       ostrel-nvr drives   [--json]\n"
           "       ostrel-nvr map      --device SEL [--user NAME] [--password-stdin] --volume "
           "NAME\n"
           "                           [--letter X:] [--force] [--json]\n"
           "       ostrel-nvr unmap    X: [--json]\n"
           "       ostrel-nvr apply    PLAN.csv [--dry-run] [--json] [--password-stdin]\n"
           "       ostrel-nvr watch    [--interval S] [--json]\n"
           "       ostrel-nvr help | --help | --version\n"
           "\n"
           "Every run first searches the recorders through every local IPv4 address of\n"
           "an interface up with carrier; search --verbose says which, and why others\n"
           "were left out.\n"
           "SEL is a device key (0x00,0x1A,...), a name or an IP address from the search.\n"
           "The user name defaults to \"admin\"; the password is read as one line from\n"
           "standard input with --password-stdin, otherwise from OSTREL_PASSWORD.\n"
           "The LAN mode defaults to \"LAN1\".\n"
           "console checks that the recorder's web console answers, then opens it in the\n"
           "default browser (or prints its URL). map takes the highest free drive letter\n"
           "unless --letter names one; a letter in use is replaced only with --force.\n"
           "apply reads a CSV plan (columns device, ip, netmask, gateway, user, password,\n"
           "password_env; ip \"dhcp\" turns DHCP on), checks every line before anything\n"
           "is sent, then sends each change and searches until the recorder shows it.\n"
           "A plan is at most 1 MiB.\n"
           "watch searches every S seconds (default 2) and prints what appeared, changed\n"
           "or disappeared (after two searches without it) until Ctrl-C or SIGTERM.\n"
           "\n"
           "Exit codes: 0 success, 1 the recorder refused or did not answer,\n"
           "2 usage or validation error, 3 no recorder matches SEL (or map: no such volume).\n";
}

std::string UsageText(Command topic) {
    const std::string all = UsageText();
    const std::string prefix = "ostrel-nvr " + std::string(CommandText(topic)) + " ";
    std::string usage;
    std::string notes;
    bool inTopic = false;
    bool pastUsage = false;
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t end = all.find('\n', start);
        const std::string line = all.substr(start, end - start + 1);
        start = end == std::string::npos ? all.size() : end + 1;
        if (pastUsage) {
            notes += line;
            continue;
        }
        if (line == "\n") {
            pastUsage = true;
            notes += line;
            continue;
        }
        const std::size_t at = line.find("ostrel-nvr ");
        if (at != std::string::npos) {
            inTopic = line.compare(at, prefix.size(), prefix) == 0;
            if (inTopic) {
                usage += "usage: " + line.substr(at);
            }
        } else if (inTopic) {
            usage += line;
        }
    }
    return usage + notes;
}

PasswordResult ReadPassword(bool fromStdin, std::istream& in, const char* environmentValue) {
    PasswordResult result;
    if (fromStdin) {
        std::string line;
        if (!std::getline(in, line) && line.empty()) {
            result.error = "no password on standard input";
            return result;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        result.password = line;
        return result;
    }
    if (environmentValue != nullptr) {
        result.password = std::string(environmentValue);
        return result;
    }
    result.error = "no password: give --password-stdin or set OSTREL_PASSWORD";
    return result;
}

}  // namespace cli
