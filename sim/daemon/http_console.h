#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sim/recorder.h"

// The recorder's small web console: request parsing and the page it serves.
// Socket handling lives in the server; these parts are pure.
namespace sim {

inline constexpr std::size_t kMaxHttpRequest = 8192;

struct HttpRequest {
    enum class Parse { Incomplete, Bad, TooLarge, BadVersion, Complete };
    Parse result = Parse::Incomplete;
    std::string method;
    std::string target;   // as sent
    std::string path;     // target without scheme, host and query
    std::string version;  // "HTTP/1.0" or "HTTP/1.1"
};

// Reads the request line and headers from what has arrived so far. A request
// is complete at the first empty line; bodies are not read.
HttpRequest ParseHttpRequest(std::string_view received);

struct HttpResponse {
    int status = 200;
    std::string bytes;  // status line, headers and body
};

// The whole response to a parsed (complete or failed) request.
HttpResponse RespondToHttp(const HttpRequest& request, const RecorderState& state, int servedPort);

// The console page of a recorder; servedPort is the LAN port it was reached on.
std::string ConsolePage(const RecorderState& state, int servedPort);

std::string HtmlEscape(std::string_view text);

}  // namespace sim
