#pragma once

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "sim/recorder.h"

// The daemon's log: one JSON object per line, each with "time" (UTC,
// ISO 8601 with milliseconds) and "event". Flushed after every line so that a
// test reading the file sees each event as soon as it happened.
namespace sim {

class EventLog {
public:
    EventLog() = default;
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // "-" means standard output. Gives false when the file cannot be opened.
    bool Open(const std::string& path);
    bool enabled() const { return file_ != nullptr; }

    // Adds "time" and "event" and writes the line.
    void Write(const std::string& event, nlohmann::json fields);

private:
    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;
};

// The fields of a "request" event for one handled request.
nlohmann::json RequestFields(const RecorderState& state, const RequestLogEntry& entry);

std::string UtcTimestamp();

}  // namespace sim
