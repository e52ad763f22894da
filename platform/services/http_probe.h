#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Whether a web server accepts connections: the stand-in for the Internet
// connection check that the web console launch runs on its worker thread.
namespace ostrel::platform {

class HttpProbe {
public:
    virtual ~HttpProbe() = default;
    // True when a connection to the URL's host and port can be made. Safe to
    // call from any thread.
    virtual bool InternetCheckConnectionA(const char* url, std::uint32_t flags,
                                          std::uint32_t reserved) = 0;
};

// Host and port of an http:// or https:// URL (default ports 80 and 443).
struct UrlEndpoint {
    std::string host;
    std::uint16_t port = 0;
};
std::optional<UrlEndpoint> ParseUrlEndpoint(const std::string& url);

// Connects over TCP to the URL's host and port; gives up after the limit.
// A refusal ends the check at once. The connection is closed unused.
class TcpHttpProbe final : public HttpProbe {
public:
    explicit TcpHttpProbe(std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
    bool InternetCheckConnectionA(const char* url, std::uint32_t flags,
                                  std::uint32_t reserved) override;

private:
    std::chrono::milliseconds limit_;
};

// Answers from a table of host → reachable (unlisted hosts are unreachable),
// or from a function a test sets (which may also wait, to play a slow
// recorder), and records every URL asked for.
class FakeHttpProbe final : public HttpProbe {
public:
    using Answer = std::function<bool(const std::string& url)>;
    bool InternetCheckConnectionA(const char* url, std::uint32_t flags,
                                  std::uint32_t reserved) override;
    void SetReachable(const std::string& host, bool reachable);
    void SetAnswer(Answer answer);
    std::vector<std::string> Urls() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, bool> reachable_;
    std::vector<std::string> urls_;
    Answer answer_;
};

}  // namespace ostrel::platform
