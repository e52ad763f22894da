#include "sim/daemon/http_console.h"

#include <cctype>

#include "sim/daemon/config.h"

namespace sim {
namespace {

bool IsTokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string_view ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 431:
            return "Request Header Fields Too Large";
        case 505:
            return "HTTP Version Not Supported";
        default:
            return "Error";
    }
}

std::string ErrorPage(int status) {
    const std::string title = std::to_string(status) + " " + std::string(ReasonPhrase(status));
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
           "</title></head><body><h1>" + title + "</h1></body></html>\n";
}

HttpResponse Compose(int status, std::string_view contentType, const std::string& body,
                     bool withBody, std::string_view version, std::string_view extraHeaders = {}) {
    HttpResponse response;
    response.status = status;
    std::string& out = response.bytes;
    out += version == "HTTP/1.0" ? "HTTP/1.0 " : "HTTP/1.1 ";
    out += std::to_string(status) + " " + std::string(ReasonPhrase(status)) + "\r\n";
    out += "Server: ostrel-nvr-sim\r\n";
    out += "Content-Type: " + std::string(contentType) + "\r\n";
    out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\n";
    out += extraHeaders;
    out += "Connection: close\r\n\r\n";
    if (withBody)
        out += body;
    return response;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                // Control characters have no place in the page text.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
                    out += ' ';
                } else {
                    out.push_back(c);
                }
        }
    }
    return out;
}

HttpRequest ParseHttpRequest(std::string_view received) {
    HttpRequest request;
    // Headers end at the first empty line; bare LF line ends are taken too.
    std::size_t headerEnd = received.find("\r\n\r\n");
    if (const auto lf = received.find("\n\n");
        lf != std::string_view::npos && (headerEnd == std::string_view::npos || lf < headerEnd))
        headerEnd = lf;
    if (headerEnd == std::string_view::npos) {
        request.result = received.size() >= kMaxHttpRequest ? HttpRequest::Parse::TooLarge
                                                            : HttpRequest::Parse::Incomplete;
        // A request line that is already broken needs no more bytes to tell.
        const auto firstLine = received.find('\n');
        if (request.result == HttpRequest::Parse::Incomplete &&
            firstLine == std::string_view::npos) {
            for (const char c : received) {
                if (c == '\0')
                    request.result = HttpRequest::Parse::Bad;
            }
        }
        return request;
    }
    if (headerEnd > kMaxHttpRequest) {
        request.result = HttpRequest::Parse::TooLarge;
        return request;
    }
    const std::string_view head = received.substr(0, headerEnd);
    auto lineEnd = head.find('\n');
    std::string_view line = head.substr(0, lineEnd);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);

    request.result = HttpRequest::Parse::Bad;
    const auto sp1 = line.find(' ');
    if (sp1 == std::string_view::npos || sp1 == 0)
        return request;
    const auto sp2 = line.find(' ', sp1 + 1);
    if (sp2 == std::string_view::npos || sp2 == sp1 + 1)
        return request;
    const auto method = line.substr(0, sp1);
    const auto target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    const auto version = line.substr(sp2 + 1);
    for (const char c : method) {
        if (!IsTokenChar(c))
            return request;
    }
    for (const char c : target) {
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            return request;
    }
    if (version.size() != 8 || version.substr(0, 5) != "HTTP/" ||
        !std::isdigit(static_cast<unsigned char>(version[5])) || version[6] != '.' ||
        !std::isdigit(static_cast<unsigned char>(version[7])))
        return request;
    // Header lines must at least look like "Name: value".
    while (lineEnd != std::string_view::npos) {
        const auto next = head.find('\n', lineEnd + 1);
        std::string_view header =
            head.substr(lineEnd + 1, next == std::string_view::npos ? std::string_view::npos
                                                                    : next - lineEnd - 1);
        if (!header.empty() && header.back() == '\r')
            header.remove_suffix(1);
        if (!header.empty()) {
            const auto colon = header.find(':');
            if (colon == std::string_view::npos || colon == 0)
                return request;
            for (const char c : header.substr(0, colon)) {
                if (!IsTokenChar(c))
                    return request;
            }
        }
        lineEnd = next;
    }

    request.method = std::string(method);
    request.target = std::string(target);
    request.version = std::string(version);
    if (version != "HTTP/1.0" && version != "HTTP/1.1") {
        request.result = HttpRequest::Parse::BadVersion;
        return request;
    }
    std::string_view path = target;
    if (path.substr(0, 7) == "http://") {
        path.remove_prefix(7);
        const auto slash = path.find('/');
        path = slash == std::string_view::npos ? std::string_view("/") : path.substr(slash);
    }
    if (path.empty() || path[0] != '/') {
        if (!(method == "OPTIONS" && target == "*"))
            return request;
    }
    const auto query = path.find_first_of("?#");
    request.path = std::string(path.substr(0, query));
    request.result = HttpRequest::Parse::Complete;
    return request;
}

std::string ConsolePage(const RecorderState& state, int servedPort) {
    std::string page;
    page += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    page += "<title>" + HtmlEscape(state.name) + " - " + HtmlEscape(state.model) + "</title>\n";
    page +=
        "<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse}"
        "td,th{border:1px solid #999;padding:4px 8px;text-align:left}</style>\n";
    page += "</head>\n<body>\n";
    page += "<h1>" + HtmlEscape(state.name) + "</h1>\n";
    page += "<p>Model: <span id=\"model\">" + HtmlEscape(state.model) + "</span><br>\n";
    page += "Device id: <span id=\"device-id\">" + FormatDeviceId(state.deviceId) + "</span></p>\n";
    page += "<h2>LAN settings</h2>\n<table>\n";
    page +=
        "<tr><th>Port</th><th>IP address</th><th>Netmask</th><th>Gateway</th><th>DNS 1</th><th>DNS "
        "2</th>"
        "<th>DHCP</th></tr>\n";
    for (std::size_t i = 0; i < state.lan.size(); ++i) {
        const auto& port = state.lan[i];
        page += "<tr" + std::string(static_cast<int>(i) == servedPort ? " class=\"current\"" : "") +
                "><td>LAN" + std::to_string(i + 1) + "</td><td>" + HtmlEscape(port.ip) +
                "</td><td>" + HtmlEscape(port.netmask) + "</td><td>" + HtmlEscape(port.gateway) +
                "</td><td>" + HtmlEscape(port.dns1) + "</td><td>" + HtmlEscape(port.dns2) +
                "</td><td>" + (port.dhcp ? "on" : "off") + "</td></tr>\n";
    }
    page += "</table>\n";
    if (!state.volumes.empty()) {
        page += "<h2>Volumes</h2>\n<ul>\n";
        for (const auto& volume : state.volumes)
            page += "<li>" + HtmlEscape(volume) + "</li>\n";
        page += "</ul>\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

HttpResponse RespondToHttp(const HttpRequest& request, const RecorderState& state, int servedPort) {
    const std::string_view version =
        request.version.empty() ? "HTTP/1.1" : std::string_view(request.version);
    switch (request.result) {
        case HttpRequest::Parse::Complete:
            break;
        case HttpRequest::Parse::TooLarge:
            return Compose(431, "text/html; charset=utf-8", ErrorPage(431), true, version);
        case HttpRequest::Parse::BadVersion:
            return Compose(505, "text/html; charset=utf-8", ErrorPage(505), true, "HTTP/1.1");
        default:
            return Compose(400, "text/html; charset=utf-8", ErrorPage(400), true, version);
    }
    const bool head = request.method == "HEAD";
    if (request.method != "GET" && !head)
        return Compose(405, "text/html; charset=utf-8", ErrorPage(405), true, version,
                       "Allow: GET, HEAD\r\n");
    if (request.path != "/" && request.path != "/index.html")
        return Compose(404, "text/html; charset=utf-8", ErrorPage(404), !head, version);
    return Compose(200, "text/html; charset=utf-8", ConsolePage(state, servedPort), !head, version);
}

}  // namespace sim
