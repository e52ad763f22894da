#include "platform/services/registry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/services/ascii_text.h"
#include "platform/services/user_files.h"

namespace ostrel::platform {

namespace {

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        std::string part = Trim(text.substr(start, end - start));
        if (!part.empty()) {
            parts.push_back(part);
        }
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::vector<std::string> SearchFolders(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    std::vector<std::string> folders;
    for (const auto& folder :
         SplitList(value != nullptr && value[0] != '\0' ? value : fallback, ':')) {
        if (folder.front() == '/') {  // relative entries are ignored
            folders.push_back(folder);
        }
    }
    return folders;
}

// The value of `key` in group `group` of a desktop-entry style file.
std::string IniValue(const std::string& content, const std::string& group, const std::string& key) {
    bool inGroup = false;
    for (const auto& rawLine : SplitList(content, '\n')) {
        const std::string line = Trim(rawLine);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        const auto equals = line.find('=');
        if (inGroup && equals != std::string::npos && Trim(line.substr(0, equals)) == key) {
            return Trim(line.substr(equals + 1));
        }
    }
    return {};
}

std::vector<std::string> ApplicationFolders() {
    std::vector<std::string> folders{UserDataHome() + "/applications"};
    for (const auto& folder : SearchFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        folders.push_back(folder + "/applications");
    }
    return folders;
}

std::optional<std::string> FindDesktopEntry(const std::string& desktopId) {
    if (desktopId.empty() || desktopId.find('/') != std::string::npos) {
        return std::nullopt;
    }
    for (const auto& folder : ApplicationFolders()) {
        if (auto content = ReadWholeFile(folder + "/" + desktopId)) {
            return content;
        }
    }
    return std::nullopt;
}

// The mimeapps.list files, most important first.
std::vector<std::string> MimeAppsLists() {
    std::vector<std::string> desktops;
    if (const char* current = std::getenv("XDG_CURRENT_DESKTOP"); current != nullptr) {
        for (const auto& name : SplitList(current, ':')) {
            desktops.push_back(Lower(name));
        }
    }
    std::vector<std::string> folders{UserConfigHome()};
    for (const auto& folder : SearchFolders("XDG_CONFIG_DIRS", "/etc/xdg")) {
        folders.push_back(folder);
    }
    folders.push_back(UserDataHome() + "/applications");
    for (const auto& folder : SearchFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        folders.push_back(folder + "/applications");
    }
    std::vector<std::string> files;
    for (const auto& folder : folders) {
        for (const auto& desktop : desktops) {
            files.push_back(folder + "/" + desktop + "-mimeapps.list");
        }
        files.push_back(folder + "/mimeapps.list");
    }
    return files;
}

bool IsStartMenuInternet(const std::string& lowerKey) {
    return lowerKey == Lower(kStartMenuInternetKey);
}

}  // namespace

std::string FreedesktopRegistry::DefaultBrowserDesktopId() {
    for (const auto& file : MimeAppsLists()) {
        const auto content = ReadWholeFile(file);
        if (!content) {
            continue;
        }
        for (const auto& id :
             SplitList(IniValue(*content, "Default Applications", "x-scheme-handler/http"), ';')) {
            if (FindDesktopEntry(id)) {
                return id;
            }
        }
    }
    return {};
}

std::string FreedesktopRegistry::DesktopEntryCommand(const std::string& desktopId) {
    const auto content = FindDesktopEntry(desktopId);
    if (!content) {
        return {};
    }
    const std::string exec = IniValue(*content, "Desktop Entry", "Exec");
    // Drop the field codes: the URL is appended by the caller.
    std::string command;
    for (const auto& word : SplitList(exec, ' ')) {
        if (word.size() == 2 && word[0] == '%' && word[1] != '%') {
            continue;
        }
        std::string kept;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] == '%' && i + 1 < word.size()) {
                if (word[i + 1] == '%') {
                    kept.push_back('%');
                }
                ++i;
                continue;
            }
            kept.push_back(word[i]);
        }
        if (!kept.empty()) {
            command += (command.empty() ? "" : " ") + kept;
        }
    }
    return command;
}

std::string FreedesktopRegistry::ReadRegistryString(RegistryRoot root, const std::string& subkey,
                                                    const std::string& valueName) {
    if (root != RegistryRoot::HKEY_LOCAL_MACHINE || !valueName.empty()) {
        return {};
    }
    const std::string key = Lower(subkey);
    if (IsStartMenuInternet(key)) {
        std::string id = DefaultBrowserDesktopId();
        const std::string suffix = ".desktop";
        if (id.size() > suffix.size() && id.ends_with(suffix)) {
            id.resize(id.size() - suffix.size());
        }
        return id;
    }
    const std::string prefix = Lower(kStartMenuInternetKey) + "\\";
    const std::string suffix = "\\shell\\open\\command";
    if (key.size() > prefix.size() + suffix.size() && key.starts_with(prefix) &&
        key.ends_with(suffix)) {
        // Take the name with its own case: desktop entry ids are case-sensitive.
        const std::string name =
            subkey.substr(prefix.size(), subkey.size() - prefix.size() - suffix.size());
        if (name.find('\\') != std::string::npos) {
            return {};
        }
        return DesktopEntryCommand(name + ".desktop");
    }
    return {};
}

std::string FakeRegistry::ReadRegistryString(RegistryRoot root, const std::string& subkey,
                                             const std::string& valueName) {
    const auto found =
        values_.find({std::to_string(static_cast<int>(root)) + "\\" + Lower(subkey), valueName});
    return found != values_.end() ? found->second : std::string();
}

void FakeRegistry::Set(RegistryRoot root, const std::string& subkey, const std::string& valueName,
                       const std::string& text) {
    values_[{std::to_string(static_cast<int>(root)) + "\\" + Lower(subkey), valueName}] = text;
}

}  // namespace ostrel::platform
