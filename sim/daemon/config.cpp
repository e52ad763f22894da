#include "sim/daemon/config.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "protocol/ipv4_text.h"

namespace sim {
namespace {

using nlohmann::json;

// Thrown inside the parser only, with the path of the offending key; turned
// into the result's error text.
struct ConfigError {
    std::string path;
    std::string message;
};

[[noreturn]] void Fail(const std::string& path, const std::string& message) {
    throw ConfigError{path, message};
}

std::string Join(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

std::string Index(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

void RequireObject(const json& value, const std::string& path) {
    if (!value.is_object())
        Fail(path, "must be an object");
}

// A parser callback that fails on the second occurrence of a key in one
// object, naming the key's path. It follows the parse with a stack of the
// open objects and arrays, which it shares with its copies (the parser keeps
// one), so that an error the reader raises itself can name where it stopped.
class DuplicateKeyCheck {
public:
    bool operator()(int /*depth*/, json::parse_event_t event, json& parsed) {
        std::vector<Frame>& stack = *frames_;
        switch (event) {
            case json::parse_event_t::key: {
                Frame& frame = stack.back();
                frame.key = parsed.get<std::string>();
                if (!frame.keys.insert(frame.key).second)
                    Fail(Join(frame.path, frame.key), "duplicate key");
                break;
            }
            case json::parse_event_t::object_start:
            case json::parse_event_t::array_start:
                stack.emplace_back();
                stack.back().array = event == json::parse_event_t::array_start;
                stack.back().path = ChildPath(stack.size() - 1);
                break;
            case json::parse_event_t::object_end:
            case json::parse_event_t::array_end:
                stack.pop_back();
                Advance();
                break;
            case json::parse_event_t::value:
                Advance();
                break;
        }
        return true;
    }

    // The path of the value the reader is at: the last key read, or the
    // next element of an array.
    std::string Position() const {
        return frames_->empty() ? std::string() : ChildPath(frames_->size());
    }

private:
    struct Frame {
        std::string path;
        bool array = false;
        std::size_t index = 0;
        std::string key;
        std::set<std::string> keys;
    };
    // The path of the value at frames_[child], from its parent's position.
    std::string ChildPath(std::size_t child) const {
        if (child == 0)
            return {};
        const Frame& parent = (*frames_)[child - 1];
        return parent.array ? Index(parent.path, parent.index) : Join(parent.path, parent.key);
    }
    void Advance() {
        if (!frames_->empty() && frames_->back().array)
            ++frames_->back().index;
    }
    std::shared_ptr<std::vector<Frame>> frames_ = std::make_shared<std::vector<Frame>>();
};

// The deepest nesting of arrays and objects the file may have (a recorder's
// behaviours sit five deep), checked before the reader builds anything: the
// reader's memory grows with every level.
constexpr std::size_t kMaxConfigDepth = 32;

// Whether the text opens more than kMaxConfigDepth arrays and objects at
// once; brackets inside strings do not count.
bool NestsTooDeep(std::string_view text) {
    std::size_t depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxConfigDepth)
                return true;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

// Keys starting with "_" are comments and allowed anywhere.
void CheckKeys(const json& object, const std::string& path,
               std::initializer_list<std::string_view> allowed) {
    for (const auto& [key, unused] : object.items()) {
        (void)unused;
        if (!key.empty() && key[0] == '_')
            continue;
        bool found = false;
        for (const auto a : allowed)
            found = found || a == key;
        if (!found)
            Fail(Join(path, key), "unknown key");
    }
}

std::string GetString(const json& object, const std::string& path, const char* key,
                      std::string fallback, bool required = false, std::size_t maxLength = 4000) {
    const auto it = object.find(key);
    if (it == object.end()) {
        if (required)
            Fail(Join(path, key), "is required");
        return fallback;
    }
    if (!it->is_string())
        Fail(Join(path, key), "must be a string");
    auto text = it->get<std::string>();
    if (text.size() > maxLength)
        Fail(Join(path, key), "is longer than " + std::to_string(maxLength) + " bytes");
    if (text.find('\0') != std::string::npos)
        Fail(Join(path, key), "must not contain a zero byte");
    return text;
}

long GetInt(const json& object, const std::string& path, const char* key, long fallback, long min,
            long max) {
    const auto it = object.find(key);
    if (it == object.end())
        return fallback;
    if (!it->is_number_integer())
        Fail(Join(path, key), "must be an integer");
    // An unsigned value past the signed range would wrap to a negative one.
    const bool tooLarge = it->is_number_unsigned() &&
                          it->get<unsigned long long>() > static_cast<unsigned long long>(max);
    const auto value = it->get<long long>();
    if (tooLarge || value < min || value > max)
        Fail(Join(path, key),
             "must be between " + std::to_string(min) + " and " + std::to_string(max));
    return static_cast<long>(value);
}

bool GetBool(const json& object, const std::string& path, const char* key, bool fallback) {
    const auto it = object.find(key);
    if (it == object.end())
        return fallback;
    if (!it->is_boolean())
        Fail(Join(path, key), "must be true or false");
    return it->get<bool>();
}

std::string GetAddress(const json& object, const std::string& path, const char* key,
                       bool required) {
    auto text = GetString(object, path, key, "", required, 15);
    // Recorders announce the text as it stands, so it must be the plain form
    // ("10.201.1.150", never "010.201.001.150").
    if (!text.empty() && !IsDottedDecimalIpv4(text))
        Fail(Join(path, key), "must be a dotted IPv4 address");
    return text;
}

std::string GetNetmask(const json& object, const std::string& path, const char* key,
                       bool required) {
    auto text = GetString(object, path, key, "", required, 15);
    if (!text.empty() && !NetmaskPrefix(text))
        Fail(Join(path, key), "must be a contiguous dotted netmask");
    return text;
}

HttpSettings ParseHttp(const json& value, const std::string& path, HttpSettings fallback) {
    RequireObject(value, path);
    CheckKeys(value, path, {"enabled", "port"});
    HttpSettings http = fallback;
    http.enabled = GetBool(value, path, "enabled", fallback.enabled);
    http.port = static_cast<int>(GetInt(value, path, "port", fallback.port, 1, 65535));
    return http;
}

LanPort ParseLanPort(const json& value, const std::string& path, std::string& interface) {
    RequireObject(value, path);
    CheckKeys(value, path,
              {"ip", "netmask", "gateway", "dns1", "dns2", "dhcp", "option", "interface"});
    LanPort port;
    port.ip = GetAddress(value, path, "ip", true);
    port.netmask = GetNetmask(value, path, "netmask", true);
    port.gateway = GetAddress(value, path, "gateway", false);
    port.dns1 = GetAddress(value, path, "dns1", false);
    port.dns2 = GetAddress(value, path, "dns2", false);
    port.dhcp = GetBool(value, path, "dhcp", false);
    port.option = static_cast<int>(GetInt(value, path, "option", 0, -2147483647L - 1, 2147483647L));
    interface = GetString(value, path, "interface", "", false, 15);
    return port;
}

std::vector<std::string> GetStringArray(const json& object, const std::string& path,
                                        const char* key, std::size_t maxLength) {
    std::vector<std::string> out;
    const auto it = object.find(key);
    if (it == object.end())
        return out;
    const std::string arrayPath = Join(path, key);
    if (!it->is_array())
        Fail(arrayPath, "must be an array of strings");
    for (std::size_t i = 0; i < it->size(); ++i) {
        const auto& item = (*it)[i];
        if (!item.is_string())
            Fail(Index(arrayPath, i), "must be a string");
        auto text = item.get<std::string>();
        if (text.size() > maxLength)
            Fail(Index(arrayPath, i), "is too long");
        if (text.find('\0') != std::string::npos)
            Fail(Index(arrayPath, i), "must not contain a zero byte");
        out.push_back(std::move(text));
    }
    return out;
}

Script ParseScript(const json& value, const std::string& path) {
    RequireObject(value, path);
    CheckKeys(value, path,
              {"opcodes", "silent", "refuse", "delayMs", "duplicates", "unknownRecords",
               "malformed", "foreignBurst"});
    Script script;
    if (const auto it = value.find("opcodes"); it != value.end()) {
        const std::string opPath = Join(path, "opcodes");
        if (!it->is_array())
            Fail(opPath, "must be an array of opcode names or numbers");
        for (std::size_t i = 0; i < it->size(); ++i) {
            const auto& item = (*it)[i];
            std::optional<std::uint16_t> code;
            if (item.is_number_integer()) {
                const auto number = item.get<long long>();
                if (number >= 0 && number <= 0xFFFF)
                    code = static_cast<std::uint16_t>(number);
            } else if (item.is_string()) {
                code = OpcodeByName(item.get<std::string>());
            }
            if (!code)
                Fail(Index(opPath, i), "is not an opcode name or number");
            script.opcodes.push_back(*code);
        }
    }
    script.silent = GetBool(value, path, "silent", false);
    script.refuse = GetBool(value, path, "refuse", false);
    script.delay = std::chrono::milliseconds(GetInt(value, path, "delayMs", 0, 0, 60000));
    script.duplicates = static_cast<int>(GetInt(value, path, "duplicates", 0, 0, 100));
    script.unknownRecords = GetBool(value, path, "unknownRecords", false);
    script.foreignBurst = static_cast<int>(GetInt(value, path, "foreignBurst", 0, 0, 1000));
    const auto malformed = GetString(value, path, "malformed", "none");
    const auto mode = MalformationByName(malformed);
    if (!mode)
        Fail(Join(path, "malformed"),
             "must be one of none, short-length, past-end, oversize, bad-lan-index");
    script.malformed = *mode;
    return script;
}

RecorderConfig ParseRecorder(const json& value, const std::string& path,
                             const HttpSettings& defaultHttp) {
    RequireObject(value, path);
    CheckKeys(value, path,
              {"name", "deviceId", "model", "numberA", "numberB", "shortText", "activeLan", "lan",
               "admin", "volumes", "identity", "dhcpPool", "http", "behaviours"});
    RecorderConfig recorder;
    auto& state = recorder.state;
    state.name = GetString(value, path, "name", "", true, kMaxNameLength);
    const auto idText = GetString(value, path, "deviceId", "", true);
    const auto id = ParseDeviceId(idText);
    if (!id)
        Fail(Join(path, "deviceId"), "must name 8 bytes in hex, e.g. \"00:1a:2b:3c:4d:5e:6f:70\"");
    state.deviceId = *id;
    state.model = GetString(value, path, "model", "KVR-620", false, 255);
    state.numberA =
        static_cast<int>(GetInt(value, path, "numberA", 0, -2147483647L - 1, 2147483647L));
    state.numberB =
        static_cast<int>(GetInt(value, path, "numberB", 0, -2147483647L - 1, 2147483647L));
    state.shortText = GetString(value, path, "shortText", "", false, 7);

    const auto lan = value.find("lan");
    const std::string lanPath = Join(path, "lan");
    if (lan == value.end())
        Fail(lanPath, "is required");
    if (!lan->is_array() || lan->empty() || lan->size() > 2)
        Fail(lanPath, "must be an array of one or two ports");
    for (std::size_t i = 0; i < lan->size(); ++i) {
        std::string interface;
        state.lan.push_back(ParseLanPort((*lan)[i], Index(lanPath, i), interface));
        if (!interface.empty())
            recorder.served.push_back({static_cast<int>(i), interface});
    }
    state.activeLan = static_cast<int>(
        GetInt(value, path, "activeLan", 0, 0, static_cast<long>(lan->size()) - 1));

    if (const auto admin = value.find("admin"); admin != value.end()) {
        const std::string adminPath = Join(path, "admin");
        RequireObject(*admin, adminPath);
        CheckKeys(*admin, adminPath, {"user", "password"});
        state.adminUser = GetString(*admin, adminPath, "user", "admin", false, 48);
        state.adminPassword = GetString(*admin, adminPath, "password", "", false, 48);
    }
    state.volumes = GetStringArray(value, path, "volumes", 255);
    for (std::size_t i = 0; i < state.volumes.size(); ++i) {
        if (state.volumes[i].empty() || state.volumes[i].find(':') != std::string::npos)
            Fail(Index(Join(path, "volumes"), i), "must be non-empty and contain no \":\"");
    }
    if (const auto identity = value.find("identity"); identity != value.end()) {
        const std::string identityPath = Join(path, "identity");
        RequireObject(*identity, identityPath);
        CheckKeys(*identity, identityPath, {"short", "long"});
        state.identityShort =
            GetString(*identity, identityPath, "short", "", false, kMaxIdentShortLength);
        state.identityLong =
            GetString(*identity, identityPath, "long", "", false, kMaxIdentLongLength);
    }
    if (const auto pool = value.find("dhcpPool"); pool != value.end()) {
        const std::string poolPath = Join(path, "dhcpPool");
        RequireObject(*pool, poolPath);
        CheckKeys(*pool, poolPath, {"addresses", "netmask", "gateway", "dns1", "dns2"});
        state.dhcpPool.addresses = GetStringArray(*pool, poolPath, "addresses", 15);
        for (std::size_t i = 0; i < state.dhcpPool.addresses.size(); ++i) {
            if (!IsDottedDecimalIpv4(state.dhcpPool.addresses[i]))
                Fail(Index(Join(poolPath, "addresses"), i), "must be a dotted IPv4 address");
        }
        state.dhcpPool.netmask = GetNetmask(*pool, poolPath, "netmask", false);
        state.dhcpPool.gateway = GetAddress(*pool, poolPath, "gateway", false);
        state.dhcpPool.dns1 = GetAddress(*pool, poolPath, "dns1", false);
        state.dhcpPool.dns2 = GetAddress(*pool, poolPath, "dns2", false);
    }
    recorder.http = defaultHttp;
    if (const auto http = value.find("http"); http != value.end())
        recorder.http = ParseHttp(*http, Join(path, "http"), defaultHttp);
    if (const auto behaviours = value.find("behaviours"); behaviours != value.end()) {
        const std::string bPath = Join(path, "behaviours");
        if (!behaviours->is_array())
            Fail(bPath, "must be an array");
        for (std::size_t i = 0; i < behaviours->size(); ++i)
            state.scripts.push_back(ParseScript((*behaviours)[i], Index(bPath, i)));
    }
    return recorder;
}

DaemonConfig ParseRoot(const json& root) {
    RequireObject(root, "(top level)");
    CheckKeys(root, "", {"recorders", "http"});
    HttpSettings defaultHttp;
    if (const auto http = root.find("http"); http != root.end())
        defaultHttp = ParseHttp(*http, "http", defaultHttp);
    const auto recorders = root.find("recorders");
    if (recorders == root.end())
        Fail("recorders", "is required");
    if (!recorders->is_array() || recorders->empty())
        Fail("recorders", "must be a non-empty array");

    DaemonConfig config;
    std::set<DeviceId> ids;
    std::set<std::pair<std::string, std::string>> bound;  // (interface, address)
    for (std::size_t i = 0; i < recorders->size(); ++i) {
        const std::string path = Index("recorders", i);
        auto recorder = ParseRecorder((*recorders)[i], path, defaultHttp);
        if (!ids.insert(recorder.state.deviceId).second)
            Fail(Join(path, "deviceId"), "is used by another recorder");
        for (const auto& served : recorder.served) {
            const auto& ip = recorder.state.lan[static_cast<std::size_t>(served.port)].ip;
            if (!bound.insert({served.interface, ip}).second)
                Fail(Index(Join(path, "lan"), static_cast<std::size_t>(served.port)),
                     "address " + ip + " on " + served.interface + " is served twice");
        }
        config.recorders.push_back(std::move(recorder));
    }
    if (bound.empty())
        Fail("recorders", "no LAN port names an interface to serve on");
    return config;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<DeviceId> ParseDeviceId(std::string_view text) {
    DeviceId id{};
    // Either 16 bare hex digits, or 8 groups of one or two digits (each with
    // an optional 0x) separated by ':', '-' or ','.
    std::string bare;
    for (const char c : text) {
        if (HexDigit(c) >= 0)
            bare.push_back(c);
    }
    const bool hasSeparators = text.find_first_of(":-,") != std::string_view::npos;
    if (!hasSeparators) {
        if (bare.size() != 16 || text.size() != 16)
            return std::nullopt;
        for (std::size_t i = 0; i < 8; ++i)
            id[i] =
                static_cast<std::uint8_t>(HexDigit(bare[2 * i]) * 16 + HexDigit(bare[2 * i + 1]));
        return id;
    }
    std::size_t count = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find_first_of(":-,", start);
        std::string_view group = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        while (!group.empty() && group.front() == ' ')
            group.remove_prefix(1);
        while (!group.empty() && group.back() == ' ')
            group.remove_suffix(1);
        if (group.size() > 2 && group[0] == '0' && (group[1] == 'x' || group[1] == 'X'))
            group.remove_prefix(2);
        if (group.empty() || group.size() > 2 || count >= 8)
            return std::nullopt;
        int value = 0;
        for (const char c : group) {
            const int digit = HexDigit(c);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + digit;
        }
        id[count++] = static_cast<std::uint8_t>(value);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    if (count != 8)
        return std::nullopt;
    return id;
}

std::string FormatDeviceId(const DeviceId& id) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < id.size(); ++i) {
        if (i > 0)
            out.push_back(':');
        out.push_back(kHex[id[i] >> 4]);
        out.push_back(kHex[id[i] & 15]);
    }
    return out;
}

ConfigResult ParseConfig(std::string_view jsonText) {
    ConfigResult result;
    // The JSON reader would skip a byte-order mark and keep the last of two
    // equal keys; either hides a mistake in a hand-edited file.
    if (jsonText.starts_with("\xEF\xBB\xBF")) {
        result.error = "starts with a byte-order mark; save the file as UTF-8 without one";
        return result;
    }
    if (jsonText.size() > kMaxConfigBytes) {
        result.error = "is larger than " + std::to_string(kMaxConfigBytes / 1024) + " KiB";
        return result;
    }
    if (NestsTooDeep(jsonText)) {
        result.error =
            "nests arrays and objects more than " + std::to_string(kMaxConfigDepth) + " deep";
        return result;
    }
    json root;
    const DuplicateKeyCheck check;
    try {
        root = json::parse(jsonText.begin(), jsonText.end(), check);
    } catch (const json::parse_error& e) {
        result.error = std::string("not valid JSON: ") + e.what();
        return result;
    } catch (const ConfigError& e) {
        result.error = e.path + ": " + e.message;
        return result;
    } catch (const json::exception& e) {
        // A number past the range of a double (1e400), for one.
        const std::string where = check.Position();
        result.error =
            (where.empty() ? std::string() : where + ": ") + "cannot be read: " + e.what();
        return result;
    }
    try {
        result.config = ParseRoot(root);
    } catch (const ConfigError& e) {
        result.error = (e.path.empty() ? std::string() : e.path + ": ") + e.message;
    } catch (const json::exception& e) {
        result.error = std::string("bad value: ") + e.what();
    }
    return result;
}

ConfigResult LoadConfigFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return {std::nullopt, path + " is a directory"};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {std::nullopt, "cannot open " + path};
    // One byte past the limit is enough to refuse the file; /dev/zero ends here too.
    std::string text(kMaxConfigBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad())
        return {std::nullopt, "cannot read " + path};
    text.resize(static_cast<std::size_t>(in.gcount()));
    auto result = ParseConfig(text);
    if (!result.config)
        result.error = path + ": " + result.error;
    return result;
}

}  // namespace sim
