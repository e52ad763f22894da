#include "platform/services/http_probe.h"

#include <algorithm>
#include <cctype>

#include "platform/services/ascii_text.h"
#include "platform/services/tcp_connect.h"

namespace ostrel::platform {

std::optional<UrlEndpoint> ParseUrlEndpoint(const std::string& url) {
    const auto schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos) {
        return std::nullopt;
    }
    const std::string scheme = Lower(url.substr(0, schemeEnd));
    UrlEndpoint endpoint;
    if (scheme == "http") {
        endpoint.port = 80;
    } else if (scheme == "https") {
        endpoint.port = 443;
    } else {
        return std::nullopt;
    }
    const std::size_t start = schemeEnd + 3;
    std::string authority = url.substr(start, url.find_first_of("/?#", start) - start);
    if (const auto at = authority.rfind('@'); at != std::string::npos) {
        authority.erase(0, at + 1);
    }
    std::string portText;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string::npos) {
            return std::nullopt;
        }
        endpoint.host = authority.substr(1, close - 1);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':') {
                return std::nullopt;
            }
            portText = authority.substr(close + 2);
        }
    } else {
        const auto colon = authority.find(':');
        endpoint.host = authority.substr(0, colon);
        if (colon != std::string::npos) {
            portText = authority.substr(colon + 1);
        }
    }
    if (endpoint.host.empty()) {
        return std::nullopt;
    }
    if (!portText.empty()) {
        if (portText.size() > 5 ||
            !std::all_of(portText.begin(), portText.end(),
                         [](unsigned char c) { return std::isdigit(c) != 0; })) {
            return std::nullopt;
        }
        const unsigned long port = std::stoul(portText);
        if (port == 0 || port > 65535) {
            return std::nullopt;
        }
        endpoint.port = static_cast<std::uint16_t>(port);
    }
    return endpoint;
}

TcpHttpProbe::TcpHttpProbe(std::chrono::milliseconds limit) : limit_(limit) {}

bool TcpHttpProbe::InternetCheckConnectionA(const char* url, std::uint32_t /*flags*/,
                                            std::uint32_t /*reserved*/) {
    // Every check really connects, as the force-connection flag asks.
    if (url == nullptr) {
        return false;
    }
    const auto endpoint = ParseUrlEndpoint(url);
    return endpoint &&
           TryTcpConnect(endpoint->host, endpoint->port, limit_) == TcpConnectOutcome::kAccepted;
}

bool FakeHttpProbe::InternetCheckConnectionA(const char* url, std::uint32_t /*flags*/,
                                             std::uint32_t /*reserved*/) {
    Answer answer;
    {
        std::lock_guard lock(mutex_);
        urls_.emplace_back(url != nullptr ? url : "");
        answer = answer_;
    }
    if (answer) {
        return answer(url != nullptr ? url : "");  // outside the lock: it may wait
    }
    std::lock_guard lock(mutex_);
    const auto endpoint = url != nullptr ? ParseUrlEndpoint(url) : std::nullopt;
    if (!endpoint) {
        return false;
    }
    const auto found = reachable_.find(endpoint->host);
    return found != reachable_.end() && found->second;
}

void FakeHttpProbe::SetReachable(const std::string& host, bool reachable) {
    std::lock_guard lock(mutex_);
    reachable_[host] = reachable;
}

std::vector<std::string> FakeHttpProbe::Urls() const {
    std::lock_guard lock(mutex_);
    return urls_;
}

}  // namespace ostrel::platform

namespace ostrel::platform {

void FakeHttpProbe::SetAnswer(Answer answer) {
    std::lock_guard lock(mutex_);
    answer_ = std::move(answer);
}

}  // namespace ostrel::platform
