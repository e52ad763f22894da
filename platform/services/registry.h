#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/services/win_codes.h"

// Registry reads, of which the product makes one kind: the default Internet
// client and its command.
namespace ostrel::platform {

inline constexpr const char* kStartMenuInternetKey = "Software\\Clients\\StartMenuInternet";

class Registry {
public:
    virtual ~Registry() = default;
    // The text of a value ("" is the key's default value); an empty text when
    // the key or the value does not exist. Key names ignore letter case.
    virtual std::string ReadRegistryString(RegistryRoot root, const std::string& subkey,
                                           const std::string& valueName) = 0;
};

// Answers the two keys of the default Internet client from the freedesktop
// default web browser setting (the x-scheme-handler/http entry of the
// mimeapps.list files, in their standard order of precedence):
// - HKEY_LOCAL_MACHINE\Software\Clients\StartMenuInternet, default value:
//   the browser's desktop entry id without ".desktop" (e.g. "firefox-esr");
// - ...\StartMenuInternet\<that name>\shell\open\command, default value: the
//   Exec command of that desktop entry without its field codes (%u, %U, ...),
//   so that "<command> http://host" starts that browser on the URL.
// Every other key is missing.
class FreedesktopRegistry final : public Registry {
public:
    std::string ReadRegistryString(RegistryRoot root, const std::string& subkey,
                                   const std::string& valueName) override;

    // The desktop entry id of the default web browser, or empty.
    static std::string DefaultBrowserDesktopId();
    // The Exec command of a desktop entry without field codes, or empty.
    static std::string DesktopEntryCommand(const std::string& desktopId);
};

// A table of values that tests fill.
class FakeRegistry final : public Registry {
public:
    std::string ReadRegistryString(RegistryRoot root, const std::string& subkey,
                                   const std::string& valueName) override;
    void Set(RegistryRoot root, const std::string& subkey, const std::string& valueName,
             const std::string& text);

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace ostrel::platform
