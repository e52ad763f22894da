#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/recorder.h"

// The daemon's configuration file (JSON): the recorders it serves, where it
// serves them and their HTTP consoles. Every key is documented in
// sim/README.md.
namespace sim {

struct HttpSettings {
    bool enabled = true;
    int port = 80;
};

// A LAN port of a recorder served on a real interface.
struct ServedPortConfig {
    int port = 0;           // index into the recorder's LAN ports
    std::string interface;  // network interface name, e.g. "eth0"
};

struct RecorderConfig {
    RecorderState state;
    std::vector<ServedPortConfig> served;
    HttpSettings http;
};

struct DaemonConfig {
    std::vector<RecorderConfig> recorders;
};

struct ConfigResult {
    std::optional<DaemonConfig> config;
    std::string error;  // "recorders[0].lan[1].ip: ..." when config is empty
};

// The largest configuration file read; a larger one is refused unread.
inline constexpr std::size_t kMaxConfigBytes = 1024 * 1024;

ConfigResult ParseConfig(std::string_view jsonText);
ConfigResult LoadConfigFile(const std::string& path);

// "00:1a:2b:3c:4d:5e:6f:70", "001a2b3c4d5e6f70", "0x00,0x1A,..." and dashes all
// name the same 8 bytes.
std::optional<DeviceId> ParseDeviceId(std::string_view text);
// Lower-case, colon-separated.
std::string FormatDeviceId(const DeviceId& id);

}  // namespace sim
