#include "tests/lab/lab_support.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace lab {
namespace {

std::optional<Info> g_lab;
std::string g_reason = "the lab was not looked for";

std::string Str(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::vector<std::string> Strings(const nlohmann::json& object, const char* key) {
    std::vector<std::string> out;
    const auto it = object.find(key);
    if (it != object.end() && it->is_array()) {
        for (const auto& item : *it) {
            if (item.is_string()) {
                out.push_back(item.get<std::string>());
            }
        }
    }
    return out;
}

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

const Recorder* Info::ByKey(const std::string& key) const {
    for (const Recorder& recorder : recorders) {
        if (recorder.key == key) {
            return &recorder;
        }
    }
    return nullptr;
}

const Recorder* Info::ByRole(const std::string& role) const {
    for (const Recorder& recorder : recorders) {
        if (recorder.role == role) {
            return &recorder;
        }
    }
    return nullptr;
}

std::vector<const Recorder*> Info::Movable() const {
    std::vector<const Recorder*> movable;
    for (const Recorder& recorder : recorders) {
        if (recorder.applyAddresses) {
            movable.push_back(&recorder);
        }
    }
    return movable;
}

std::optional<Info> LoadInfo(std::string& why) {
    const char* path = std::getenv("OSTREL_LAB_INFO");
    if (path == nullptr || *path == '\0') {
        why = "OSTREL_LAB_INFO is not set";
        return std::nullopt;
    }
    std::ifstream file(path);
    if (!file) {
        why = std::string("no lab info at ") + path +
              " (the lab is not up: it needs root and network namespaces)";
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseInfo(text.str(), std::string("at ") + path, why);
}

std::optional<Info> ParseInfo(const std::string& text, const std::string& where, std::string& why) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        why = "unreadable lab info " + where;
        return std::nullopt;
    }
    Info info;
    info.prefix = Str(json, "prefix");
    info.state = Str(json, "state");
    info.switchNetns = Str(json, "switch_netns");
    if (const auto client = json.find("client"); client != json.end() && client->is_object()) {
        info.clientNetns = Str(*client, "netns");
        for (const auto& iface : client->value("interfaces", nlohmann::json::array())) {
            info.clientAddresses.push_back(Str(iface, "ip"));
        }
    }
    for (const auto& item : json.value("recorders", nlohmann::json::array())) {
        Recorder recorder;
        recorder.key = Str(item, "key");
        recorder.netns = Str(item, "netns");
        recorder.name = Str(item, "name");
        recorder.model = Str(item, "model");
        recorder.supported = item.value("supported", false);
        recorder.id = Str(item, "id");
        recorder.user = Str(item, "user");
        recorder.password = Str(item, "password");
        recorder.ip = Str(item, "ip");
        recorder.netmask = Str(item, "netmask");
        recorder.gateway = Str(item, "gateway");
        recorder.ports = Strings(item, "ports");
        recorder.interfaceAddress = Str(item, "interface");
        recorder.volumes = Strings(item, "volumes");
        recorder.shareRoot = Str(item, "share_root");
        recorder.smb = item.value("smb", false);
        recorder.role = Str(item, "role");
        recorder.applyAddresses = item.value("apply_addresses", false);
        info.recorders.push_back(std::move(recorder));
    }
    if (const auto burst = json.find("burst"); burst != json.end() && burst->is_object()) {
        info.burstCount = burst->value("count", 0);
        info.burstFirstIp = Str(*burst, "first_ip");
        info.burstPassword = Str(*burst, "password");
    }
    if (info.clientNetns.empty() || (info.recorders.empty() && info.burstCount == 0)) {
        why = "incomplete lab info " + where;
        return std::nullopt;
    }
    return info;
}

bool EnterNetns(const std::string& name, std::string& why) {
    const std::string path = "/run/netns/" + name;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    const int rc = setns(fd, CLONE_NEWNET);
    const int saved = errno;
    close(fd);
    if (rc != 0) {
        why = "cannot enter " + name + ": " + std::strerror(saved);
        return false;
    }
    return true;
}

const Info* CurrentLab() {
    return g_lab ? &*g_lab : nullptr;
}
const std::string& LabUnavailableReason() {
    return g_reason;
}

void EnterClientNamespace() {
    std::string why;
    std::optional<Info> info = LoadInfo(why);
    if (!info) {
        g_reason = why;
        return;
    }
    if (!EnterNetns(info->clientNetns, why)) {
        g_reason = why;
        return;
    }
    g_lab = std::move(info);
    g_reason.clear();
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input,
                         const std::vector<std::string>& extraEnvironment,
                         std::chrono::seconds timeout) {
    ProcessResult result;
    int inPipe[2];
    int outPipe[2];
    int errPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0 ||
        pipe2(errPipe, O_CLOEXEC) != 0) {
        result.err = "pipe failed";
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);

    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        environment.emplace_back(*entry);
    }
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char*> rawArgs;
    std::vector<std::string> args = argv;
    for (std::string& arg : args) {
        rawArgs.push_back(arg.data());
    }
    rawArgs.push_back(nullptr);
    std::vector<char*> rawEnv;
    for (std::string& entry : environment) {
        rawEnv.push_back(entry.data());
    }
    rawEnv.push_back(nullptr);

    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, rawArgs[0], &actions, nullptr, rawArgs.data(), rawEnv.data());
    posix_spawn_file_actions_destroy(&actions);
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    if (rc != 0) {
        close(inPipe[1]);
        close(outPipe[0]);
        close(errPipe[0]);
        result.err = std::string("cannot run ") + argv[0] + ": " + std::strerror(rc);
        return result;
    }
    // The input is one short line at most; it fits the pipe.
    signal(SIGPIPE, SIG_IGN);
    if (!input.empty() && write(inPipe[1], input.data(), input.size()) < 0) {
        result.err = "cannot write the child's input";
    }
    close(inPipe[1]);

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    bool killed = false;
    while (open > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            killed = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                char buffer[4096];
                const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
                } else if (n == 0 || errno != EINTR) {
                    close(fds[i].fd);
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
    }
    for (const pollfd& fd : fds) {
        if (fd.fd >= 0) {
            close(fd.fd);
        }
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!killed && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

std::string HttpGet(const std::string& address, int port, std::chrono::milliseconds timeout) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return {};
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) {
        close(fd);
        return {};
    }
    std::string response;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto leftMs = [&] {
        return static_cast<int>(
            std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                       deadline - std::chrono::steady_clock::now())
                                       .count()));
    };
    if (connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 &&
        errno != EINPROGRESS) {
        close(fd);
        return {};
    }
    pollfd pfd{fd, POLLOUT, 0};
    int error = 0;
    socklen_t length = sizeof error;
    if (poll(&pfd, 1, leftMs()) != 1 ||
        getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
        close(fd);
        return {};
    }
    const std::string request = "GET / HTTP/1.0\r\nHost: " + address + "\r\n\r\n";
    if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size())) {
        close(fd);
        return {};
    }
    pfd.events = POLLIN;
    while (poll(&pfd, 1, leftMs()) == 1) {
        char buffer[4096];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        response.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return response;
}

GroupSender::GroupSender(Plan plan) : plan_(std::move(plan)), thread_([this] { Run(); }) {}

GroupSender::~GroupSender() {
    Stop();
}

void GroupSender::Stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void GroupSender::Run() {
    // setns changes only this thread's namespace.
    if (!EnterNetns(plan_.netns, error_)) {
        return;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error_ = std::string("socket: ") + std::strerror(errno);
        return;
    }
    in_addr local{};
    inet_pton(AF_INET, plan_.localAddress.c_str(), &local);
    setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &local, sizeof local);
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(24680);
    inet_pton(AF_INET, "224.0.0.10", &group.sin_addr);

    using Clock = std::chrono::steady_clock;
    const auto begin = Clock::now() + plan_.startAfter;
    while (!stop_ && Clock::now() < begin) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto end = begin + plan_.duration;
    // Paced per millisecond: by each tick, as many datagrams as the rate allows.
    while (!stop_ && sent_ < plan_.maxCount) {
        const auto now = Clock::now();
        if (now >= end) {
            break;
        }
        const double elapsed = std::chrono::duration<double>(now - begin).count();
        const long due =
            std::min<long>(plan_.maxCount, static_cast<long>(elapsed * plan_.perSecond) + 1);
        while (sent_ < due) {
            if (sendto(fd, plan_.datagram.data(), plan_.datagram.size(), 0,
                       reinterpret_cast<const sockaddr*>(&group), sizeof group) < 0 &&
                error_.empty()) {
                error_ = std::string("sendto: ") + std::strerror(errno);
            }
            ++sent_;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    close(fd);
}

std::vector<std::uint8_t> ForgedReply(std::uint16_t opcode, std::uint16_t status,
                                      const std::array<std::uint8_t, 8>& session,
                                      const std::array<std::uint8_t, 8>& deviceId) {
    std::vector<std::uint8_t> bytes(44, 0);
    PutU16(bytes, 0, 0xAA55);
    PutU16(bytes, 2, opcode);
    PutU16(bytes, 4, status);
    std::copy(session.begin(), session.end(), bytes.begin() + 8);
    std::copy(deviceId.begin(), deviceId.end(), bytes.begin() + 16);
    return bytes;
}

std::chrono::microseconds ProcessCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

std::chrono::microseconds ThreadCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::microseconds(now.tv_nsec / 1000);
}

}  // namespace lab
