#include "sim/daemon/event_log.h"

#include <chrono>
#include <ctime>

#include "sim/daemon/config.h"

namespace sim {

EventLog::~EventLog() {
    if (ownsFile_ && file_)
        std::fclose(file_);
}

bool EventLog::Open(const std::string& path) {
    if (path == "-") {
        file_ = stdout;
        ownsFile_ = false;
        return true;
    }
    file_ = std::fopen(path.c_str(), "a");
    ownsFile_ = file_ != nullptr;
    return file_ != nullptr;
}

void EventLog::Write(const std::string& event, nlohmann::json fields) {
    if (!file_)
        return;
    nlohmann::ordered_json line = nlohmann::ordered_json::object();
    line["time"] = UtcTimestamp();
    line["event"] = event;
    for (auto& [key, value] : fields.items())
        line[key] = value;
    // Texts from the wire need not be UTF-8: replace what is not.
    const std::string text =
        line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    std::fprintf(file_, "%s\n", text.c_str());
    std::fflush(file_);
}

nlohmann::json RequestFields(const RecorderState& state, const RequestLogEntry& entry) {
    nlohmann::json fields;
    fields["recorder"] = state.name;
    fields["deviceId"] = FormatDeviceId(state.deviceId);
    fields["opcode"] = entry.opcode;
    const auto name = OpcodeName(entry.opcode);
    fields["op"] = name.empty() ? std::string("unknown") : std::string(name);
    if (entry.opcode != op::kDiscover) {
        fields["user"] = entry.user;
        fields["authenticated"] = entry.authenticated;
    }
    nlohmann::json records = nlohmann::json::array();
    for (const auto& record : entry.records)
        records.push_back({{"type", record.type}, {"value", record.Text()}});
    fields["records"] = records;
    fields["replies"] = entry.replies;
    if (entry.status)
        fields["status"] = *entry.status;
    return fields;
}

std::string UtcTimestamp() {
    const auto now = std::chrono::system_clock::now();
    const auto seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(millis));
    return text;
}

}  // namespace sim
