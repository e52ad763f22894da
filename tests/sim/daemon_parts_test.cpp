// The daemon's pure parts: its configuration file, the HTTP console's request
// parsing and page, and the request log's fields.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <sys/wait.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <unistd.h>

#include "sim/daemon/config.h"
#include "sim/daemon/event_log.h"
#include "sim/daemon/http_console.h"

namespace {

using nlohmann::json;

json MinimalRecorder() {
    return json::parse(R"({
        "name": "NVR-Bravo", "deviceId": "00:1A:2B:3C:4D:5E:00:02",
        "lan": [{"interface": "lan0", "ip": "10.201.1.21", "netmask": "255.255.255.0"}]
    })");
}

sim::ConfigResult Parse(const json& root) {
    return sim::ParseConfig(root.dump());
}

std::string ErrorOf(json recorder) {
    const auto result = Parse(json{{"recorders", json::array({std::move(recorder)})}});
    EXPECT_FALSE(result.config.has_value());
    return result.error;
}

TEST(SimConfig, FullRecorderWithDefaults) {
    const auto text = R"({
      "http": {"port": 8080},
      "recorders": [{
        "_comment": "two ports, the second not served",
        "name": "NVR-Alpha", "deviceId": "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x01", "model": "KVR-610L",
        "numberA": 3, "numberB": -4, "shortText": "A1", "activeLan": 1,
        "admin": {"user": "root", "password": "pw"},
        "lan": [
          {"interface": "lan0", "ip": "10.201.1.11", "netmask": "255.255.255.0", "gateway": "10.201.1.1",
           "dns1": "10.201.1.1", "dns2": "8.8.8.8", "dhcp": true, "option": 2},
          {"ip": "10.201.1.12", "netmask": "255.255.0.0"}
        ],
        "volumes": ["Volume_1", "Volume_2"],
        "identity": {"short": "Alpha", "long": "first"},
        "dhcpPool": {"addresses": ["10.201.1.61"], "netmask": "255.255.255.0", "gateway": "10.201.1.1"},
        "http": {"enabled": false},
        "behaviours": [
          {"opcodes": ["login", 164], "silent": true},
          {"refuse": true, "delayMs": 250, "duplicates": 2, "unknownRecords": true, "malformed": "past-end",
           "foreignBurst": 10}
        ]
      }, {
        "name": "NVR-Bravo", "deviceId": "001a2b3c4d5e0002",
        "lan": [{"interface": "lan0", "ip": "10.201.1.21", "netmask": "255.255.255.0"}]
      }]
    })";
    const auto result = sim::ParseConfig(text);
    ASSERT_TRUE(result.config.has_value()) << result.error;
    ASSERT_EQ(result.config->recorders.size(), 2u);
    const auto& alpha = result.config->recorders[0];
    const auto& state = alpha.state;
    EXPECT_EQ(state.name, "NVR-Alpha");
    EXPECT_EQ(state.deviceId, (sim::DeviceId{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, 0x01}));
    EXPECT_EQ(state.model, "KVR-610L");
    EXPECT_EQ(state.numberB, -4);
    EXPECT_EQ(state.activeLan, 1);
    EXPECT_EQ(state.adminUser, "root");
    ASSERT_EQ(state.lan.size(), 2u);
    EXPECT_EQ(state.lan[0], (sim::LanPort{"10.201.1.11", "255.255.255.0", "10.201.1.1",
                                          "10.201.1.1", "8.8.8.8", true, 2}));
    EXPECT_EQ(state.lan[1].gateway, "");
    ASSERT_EQ(alpha.served.size(), 1u);  // only the port naming an interface
    EXPECT_EQ(alpha.served[0].port, 0);
    EXPECT_EQ(alpha.served[0].interface, "lan0");
    EXPECT_FALSE(alpha.http.enabled);
    EXPECT_EQ(alpha.http.port, 8080);  // the top-level default
    EXPECT_EQ(state.dhcpPool.addresses, std::vector<std::string>{"10.201.1.61"});
    ASSERT_EQ(state.scripts.size(), 2u);
    EXPECT_EQ(state.scripts[0].opcodes, (std::vector<std::uint16_t>{102, 164}));
    EXPECT_TRUE(state.scripts[0].silent);
    EXPECT_EQ(state.scripts[1].delay, std::chrono::milliseconds(250));
    EXPECT_EQ(state.scripts[1].malformed, sim::Malformation::PastEnd);
    EXPECT_EQ(state.scripts[1].foreignBurst, 10);

    const auto& bravo = result.config->recorders[1];
    EXPECT_EQ(bravo.state.model, "KVR-620");
    EXPECT_EQ(bravo.state.adminUser, "admin");
    EXPECT_EQ(bravo.state.adminPassword, "");
    EXPECT_TRUE(bravo.http.enabled);
    EXPECT_EQ(bravo.http.port, 8080);
}

TEST(SimConfig, ErrorsNameTheKey) {
    EXPECT_NE(sim::ParseConfig("{").error.find("not valid JSON"), std::string::npos);
    EXPECT_EQ(Parse(json::object()).error, "recorders: is required");
    EXPECT_EQ(Parse(json{{"recorders", json::array()}}).error,
              "recorders: must be a non-empty array");
    EXPECT_EQ(Parse(json{{"recorders", json::array({MinimalRecorder()})}, {"colour", 1}}).error,
              "colour: unknown key");

    auto r = MinimalRecorder();
    r.erase("name");
    EXPECT_EQ(ErrorOf(r), "recorders[0].name: is required");
    r = MinimalRecorder();
    r["deviceId"] = "00:1A:2B";
    EXPECT_NE(ErrorOf(r).find("recorders[0].deviceId: must name 8 bytes"), std::string::npos);
    r = MinimalRecorder();
    r["lan"][0]["ip"] = "10.201.1.300";
    EXPECT_EQ(ErrorOf(r), "recorders[0].lan[0].ip: must be a dotted IPv4 address");
    r = MinimalRecorder();
    r["lan"][0]["netmask"] = "255.0.255.0";
    EXPECT_EQ(ErrorOf(r), "recorders[0].lan[0].netmask: must be a contiguous dotted netmask");
    r = MinimalRecorder();
    r["lan"] = json::array({r["lan"][0], r["lan"][0], r["lan"][0]});
    EXPECT_EQ(ErrorOf(r), "recorders[0].lan: must be an array of one or two ports");
    r = MinimalRecorder();
    r["activeLan"] = 1;
    EXPECT_EQ(ErrorOf(r), "recorders[0].activeLan: must be between 0 and 0");
    r = MinimalRecorder();
    r["lan"][0]["dhcp"] = "yes";
    EXPECT_EQ(ErrorOf(r), "recorders[0].lan[0].dhcp: must be true or false");
    r = MinimalRecorder();
    r["volumes"] = json::array({"Volume_1", "a:b"});
    EXPECT_EQ(ErrorOf(r), "recorders[0].volumes[1]: must be non-empty and contain no \":\"");
    r = MinimalRecorder();
    r["admin"] = {{"password", std::string(49, 'p')}};
    EXPECT_EQ(ErrorOf(r), "recorders[0].admin.password: is longer than 48 bytes");
    r = MinimalRecorder();
    r["behaviours"] = json::array({{{"opcodes", json::array({"reboot"})}}});
    EXPECT_EQ(ErrorOf(r), "recorders[0].behaviours[0].opcodes[0]: is not an opcode name or number");
    r = MinimalRecorder();
    r["behaviours"] = json::array({{{"malformed", "garbled"}}});
    EXPECT_NE(ErrorOf(r).find("recorders[0].behaviours[0].malformed: must be one of"),
              std::string::npos);
    r = MinimalRecorder();
    r["behaviours"] = json::array({{{"delayMs", -1}}});
    EXPECT_EQ(ErrorOf(r), "recorders[0].behaviours[0].delayMs: must be between 0 and 60000");
    r = MinimalRecorder();
    r["http"] = {{"port", 0}};
    EXPECT_EQ(ErrorOf(r), "recorders[0].http.port: must be between 1 and 65535");
    r = MinimalRecorder();
    r["dhcpPool"] = {{"addresses", json::array({"10.0.0.x"})}};
    EXPECT_EQ(ErrorOf(r), "recorders[0].dhcpPool.addresses[0]: must be a dotted IPv4 address");

    // Two recorders with one id, or one address served twice on an interface.
    auto other = MinimalRecorder();
    other["name"] = "Twin";
    EXPECT_EQ(Parse(json{{"recorders", json::array({MinimalRecorder(), other})}}).error,
              "recorders[1].deviceId: is used by another recorder");
    other["deviceId"] = "00:1A:2B:3C:4D:5E:00:09";
    EXPECT_EQ(Parse(json{{"recorders", json::array({MinimalRecorder(), other})}}).error,
              "recorders[1].lan[0]: address 10.201.1.21 on lan0 is served twice");
    EXPECT_NE(sim::LoadConfigFile("/nonexistent/sim.json").error.find("cannot open"),
              std::string::npos);
    // The reader would skip a byte-order mark and keep the last of two equal
    // keys; both are refused, duplicates with their path.
    const std::string minimal = json{{"recorders", json::array({MinimalRecorder()})}}.dump();
    EXPECT_TRUE(sim::ParseConfig(minimal).config.has_value());
    EXPECT_NE(sim::ParseConfig("\xEF\xBB\xBF" + minimal).error.find("byte-order mark"),
              std::string::npos);
    EXPECT_EQ(sim::ParseConfig(R"({"recorders": [], "recorders": []})").error,
              "recorders: duplicate key");
    EXPECT_EQ(sim::ParseConfig(R"({"recorders": [{"name": "A"}, {"lan": [{"ip": "1", "x": [1, {}],
                                   "ip": "2"}], "name": "B"}]})")
                  .error,
              "recorders[1].lan[0].ip: duplicate key");
    EXPECT_EQ(
        sim::ParseConfig(R"({"recorders": [{"_c": [[], {"a": 1}], "name": "A", "name": "B"}]})")
            .error,
        "recorders[0].name: duplicate key");
    auto unserved = MinimalRecorder();
    unserved["lan"][0].erase("interface");
    EXPECT_EQ(ErrorOf(unserved), "recorders: no LAN port names an interface to serve on");
}

// What the second bad-input probe found: values and shapes the reader itself
// chokes on are refused with the key they sit at, before any recorder is made.
TEST(SimConfig, RefusesWhatTheReaderCannotHoldAndAddressesNotInPlainForm) {
    const std::string minimal = json{{"recorders", json::array({MinimalRecorder()})}}.dump();
    {
        // A number past the range of a double, anywhere a number goes.
        std::string text = minimal;
        text.replace(text.find("\"name\""), 0, "\"numberA\": 1e400, ");
        const auto result = sim::ParseConfig(text);
        EXPECT_FALSE(result.config.has_value());
        EXPECT_EQ(result.error.rfind("recorders[0].numberA: cannot be read", 0), 0u)
            << result.error;
        EXPECT_NE(sim::ParseConfig(R"({"recorders": [1, -1e999]})").error.find("recorders[1]: "),
                  std::string::npos);
    }
    {
        // An integer past the signed range does not wrap into a valid one.
        auto r = MinimalRecorder();
        r["lan"][0]["option"] = 18446744073709551615ULL;
        EXPECT_EQ(ErrorOf(r),
                  "recorders[0].lan[0].option: must be between -2147483648 and 2147483647");
    }
    {
        // Deep nesting and a large file are refused before the reader builds
        // anything (50,000 levels once took seconds and gigabytes).
        const std::string deep = std::string(1000, '[') + std::string(1000, ']');
        EXPECT_NE(sim::ParseConfig(deep).error.find("more than 32 deep"), std::string::npos)
            << sim::ParseConfig(deep).error;
        std::string nestedInString = minimal;
        nestedInString.replace(nestedInString.find("\"name\""), 0,
                               "\"_c\": \"" + std::string(100, '[') + "\", ");
        EXPECT_TRUE(sim::ParseConfig(nestedInString).config.has_value());
        std::string large = minimal;
        large.replace(large.find("\"name\""), 0,
                      "\"_c\": \"" + std::string(sim::kMaxConfigBytes, 'x') + "\", ");
        EXPECT_EQ(sim::ParseConfig(large).error, "is larger than 1024 KiB");
        const auto zero = sim::LoadConfigFile("/dev/zero");
        EXPECT_NE(zero.error.find("is larger than"), std::string::npos) << zero.error;
    }
    // Recorders announce their address as written: only the plain form.
    for (const char* text : {"010.201.001.150", "10.201.1.0150", "10.201.1.150/ev", " 10.0.0.1"}) {
        SCOPED_TRACE(text);
        auto r = MinimalRecorder();
        r["lan"][0]["ip"] = text;
        EXPECT_EQ(ErrorOf(r), "recorders[0].lan[0].ip: must be a dotted IPv4 address");
        r = MinimalRecorder();
        r["dhcpPool"] = {{"addresses", json::array({text})}};
        EXPECT_EQ(ErrorOf(r), "recorders[0].dhcpPool.addresses[0]: must be a dotted IPv4 address");
    }
}

// A hang-up (the terminal it ran in closed) ends the daemon as a stop does,
// without leaving its pid file behind to name a process that is gone.
TEST(SimDaemon, AHangUpEndsItCleanly) {
    if (geteuid() != 0 || std::system("unshare -n true 2>/dev/null") != 0) {
        GTEST_SKIP() << "needs a network namespace of its own (root and unshare)";
    }
    const std::string config = testing::TempDir() + "sim_hangup.json";
    const std::string pidFile = testing::TempDir() + "sim_hangup.pid";
    std::remove(pidFile.c_str());
    std::ofstream(config, std::ios::trunc)
        << R"({"recorders": [{"name": "N", "deviceId": "00:1A:2B:3C:4D:5E:00:42", "lan": [)"
           R"({"interface": "lo", "ip": "127.0.0.1", "netmask": "255.0.0.0"}],)"
           R"( "http": {"enabled": false}}]})";
    // The daemon replaces the shell, so the pid spawned is the daemon's.
    std::vector<std::string> args{"unshare",
                                  "-n",
                                  "sh",
                                  "-c",
                                  "ip link set lo up && exec \"$0\" --config \"$1\" --pid-file "
                                  "\"$2\" --log /dev/null",
                                  OSTREL_SIM_PATH,
                                  config,
                                  pidFile};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawnp(&pid, "unshare", nullptr, nullptr, argv.data(), environ), 0);
    for (int i = 0; i < 500 && !std::ifstream(pidFile); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(std::ifstream(pidFile)) << "the daemon did not start";
    ASSERT_EQ(kill(pid, SIGHUP), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_FALSE(std::ifstream(pidFile)) << "the pid file was left behind";
    std::remove(config.c_str());
}

TEST(SimConfig, DeviceIdForms) {
    const sim::DeviceId id{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, 0x01};
    for (const char* text :
         {"00:1a:2b:3c:4d:5e:00:01", "00-1A-2B-3C-4D-5E-00-01", "001A2B3C4D5E0001",
          "0x00,0x1A,0x2B,0x3C,0x4D,0x5E,0x00,0x01", "0:1a:2b:3c:4d:5e:0:1"})
        EXPECT_EQ(sim::ParseDeviceId(text), std::optional<sim::DeviceId>(id)) << text;
    for (const char* text :
         {"", "00:1a:2b:3c:4d:5e:00", "00:1a:2b:3c:4d:5e:00:01:02", "001A2B3C4D5E00",
          "00:1a:2b:3c:4d:5e:00:0g", "00:1a:2b:3c:4d:5e::01", "100:1a:2b:3c:4d:5e:00:01"})
        EXPECT_FALSE(sim::ParseDeviceId(text).has_value()) << text;
    EXPECT_EQ(sim::FormatDeviceId(id), "00:1a:2b:3c:4d:5e:00:01");
}

sim::RecorderState ConsoleRecorder() {
    sim::RecorderState state;
    state.name = "<script>alert('x')</script> & Co";
    state.model = "KVR-620";
    state.deviceId = {1, 2, 3, 4, 5, 6, 7, 8};
    state.lan = {{"10.201.1.21", "255.255.255.0", "10.201.1.1", "", "", true, 0}};
    state.volumes = {"Vol\"1"};
    return state;
}

TEST(SimHttp, ParsesRequestsAndRefusesGarbage) {
    using Parse = sim::HttpRequest::Parse;
    {
        const auto request = sim::ParseHttpRequest(
            "GET /index.html?x=1 HTTP/1.1\r\nHost: a\r\nUser-Agent: t\r\n\r\n");
        EXPECT_EQ(request.result, Parse::Complete);
        EXPECT_EQ(request.method, "GET");
        EXPECT_EQ(request.path, "/index.html");
        EXPECT_EQ(request.version, "HTTP/1.1");
    }
    EXPECT_EQ(sim::ParseHttpRequest("GET / HTTP/1.0\n\n").result, Parse::Complete);
    EXPECT_EQ(sim::ParseHttpRequest("GET http://10.201.1.21/ HTTP/1.1\r\n\r\n").path, "/");
    EXPECT_EQ(sim::ParseHttpRequest("GET / HTTP/1.1\r\nHost: a\r\n").result, Parse::Incomplete);
    EXPECT_EQ(sim::ParseHttpRequest("").result, Parse::Incomplete);
    EXPECT_EQ(sim::ParseHttpRequest("GET / HTTP/2.0\r\n\r\n").result, Parse::BadVersion);
    for (const char* bad :
         {"GET /\r\n\r\n", "GET  / HTTP/1.1\r\n\r\n", "G(T / HTTP/1.1\r\n\r\n",
          "GET / HTTP/1.1\r\nno colon here\r\n\r\n", "GET noslash HTTP/1.1\r\n\r\n",
          "GET /a\x01 HTTP/1.1\r\n\r\n", "\x16\x03\x01\x02\xfc\x03\x03 junk\r\n\r\n"})
        EXPECT_EQ(sim::ParseHttpRequest(bad).result, Parse::Bad) << bad;
    EXPECT_EQ(sim::ParseHttpRequest(std::string(sim::kMaxHttpRequest, 'A')).result,
              Parse::TooLarge);
}

TEST(SimHttp, ResponsesAndEscapedPage) {
    const auto state = ConsoleRecorder();
    auto respond = [&](const std::string& text) {
        return sim::RespondToHttp(sim::ParseHttpRequest(text), state, 0);
    };

    const auto ok = respond("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.bytes.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    const auto split = ok.bytes.find("\r\n\r\n");
    ASSERT_NE(split, std::string::npos);
    const auto body = ok.bytes.substr(split + 4);
    EXPECT_NE(ok.bytes.find("Content-Length: " + std::to_string(body.size()) + "\r\n"),
              std::string::npos);
    EXPECT_NE(ok.bytes.find("Content-Type: text/html; charset=utf-8\r\n"), std::string::npos);
    EXPECT_NE(ok.bytes.find("Connection: close\r\n"), std::string::npos);
    EXPECT_EQ(body.find("<script>"), std::string::npos);
    EXPECT_NE(body.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; Co"),
              std::string::npos);
    EXPECT_NE(body.find("KVR-620"), std::string::npos);
    EXPECT_NE(body.find("<td>10.201.1.21</td><td>255.255.255.0</td><td>10.201.1.1</td>"),
              std::string::npos);
    EXPECT_NE(body.find("Vol&quot;1"), std::string::npos);
    EXPECT_EQ(body.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(body.find("</html>"), std::string::npos);

    const auto head = respond("HEAD / HTTP/1.0\r\n\r\n");
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.bytes.rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
    EXPECT_EQ(head.bytes.substr(head.bytes.find("\r\n\r\n") + 4), "");
    EXPECT_NE(head.bytes.find("Content-Length: " + std::to_string(body.size())), std::string::npos);

    EXPECT_EQ(respond("GET /favicon.ico HTTP/1.1\r\n\r\n").status, 404);
    const auto post = respond("POST / HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc");
    EXPECT_EQ(post.status, 405);
    EXPECT_NE(post.bytes.find("Allow: GET, HEAD\r\n"), std::string::npos);
    EXPECT_EQ(respond("garbage\r\n\r\n").status, 400);
    EXPECT_EQ(respond("GET / HTTP/3.0\r\n\r\n").status, 505);
    EXPECT_EQ(respond(std::string(sim::kMaxHttpRequest + 10, 'A')).status, 431);

    EXPECT_EQ(sim::HtmlEscape("a\x01\nb"), "a  b");
}

TEST(SimEventLog, RequestFields) {
    sim::RecorderState state;
    state.name = "NVR-Bravo";
    state.deviceId = {0, 0x1A, 0, 0, 0, 0, 0, 2};
    sim::RequestLogEntry entry;
    entry.opcode = sim::op::kSetLanDhcp;
    entry.user = "admin";
    entry.authenticated = true;
    entry.records = {{sim::tlv::kDhcp, std::string("1\0\0\0", 4)},
                     {sim::tlv::kLanIndex, std::string("0\0\0\0", 4)}};
    entry.replies = 1;
    entry.status = 1;
    const auto fields = sim::RequestFields(state, entry);
    EXPECT_EQ(fields["recorder"], "NVR-Bravo");
    EXPECT_EQ(fields["deviceId"], "00:1a:00:00:00:00:00:02");
    EXPECT_EQ(fields["opcode"], 104);
    EXPECT_EQ(fields["op"], "setLanDhcp");
    EXPECT_EQ(fields["authenticated"], true);
    EXPECT_EQ(fields["records"],
              json::parse(R"([{"type": 505, "value": "1"}, {"type": 529, "value": "0"}])"));
    EXPECT_EQ(fields["status"], 1);

    entry.opcode = sim::op::kDiscover;
    const auto discovery = sim::RequestFields(state, entry);
    EXPECT_FALSE(discovery.contains("authenticated"));
    EXPECT_FALSE(discovery.contains("user"));
}

TEST(SimEventLog, LinesAreJsonEvenForBadUtf8) {
    const std::string path = ::testing::TempDir() + "/sim_event_log_test.jsonl";
    std::remove(path.c_str());
    {
        sim::EventLog log;
        ASSERT_TRUE(log.Open(path));
        log.Write("request", {{"recorder", std::string("bad\xff\xfe name")}});
        log.Write("stop", {{"signal", 15}});
    }
    std::ifstream in(path);
    std::string line;
    std::vector<json> lines;
    while (std::getline(in, line))
        lines.push_back(json::parse(line));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["event"], "request");
    EXPECT_EQ(lines[0]["time"].get<std::string>().size(), 24u);  // 2026-01-02T03:04:05.678Z
    EXPECT_EQ(lines[1]["signal"], 15);
    std::remove(path.c_str());
}

}  // namespace
