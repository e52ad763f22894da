#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include <sys/wait.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <unistd.h>

#include "tests/lab/lab_support.h"
#include "tests/lab/require_lab.h"

// The installer's commands of ostrel-nvr on real sockets: apply, watch,
// console and map/unmap against the lab's recorders and shares.
namespace {

lab::ProcessResult Nvr(std::vector<std::string> args, const std::vector<std::string>& env = {},
                       const std::string& input = "") {
    args.insert(args.begin(), OSTREL_NVR_PATH);
    return lab::RunProcess(args, input, env, std::chrono::seconds(120));
}

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "/" + name + "-" + std::to_string(getpid());
}

std::string WritePlan(const std::string& text) {
    const std::string path = TempPath("plan") + ".csv";
    std::ofstream(path) << text;
    return path;
}

int CountRequests(const lab::Info& info, const std::string& key, const std::string& op) {
    std::ifstream log(info.state + "/" + key + "/events.jsonl");
    int count = 0;
    for (std::string line; std::getline(log, line);) {
        if (line.find("\"event\":\"request\"") != std::string::npos &&
            line.find("\"op\":\"" + op + "\"") != std::string::npos) {
            ++count;
        }
    }
    return count;
}

std::string PlanLine(const lab::Recorder& recorder, const std::string& ip) {
    return recorder.id.empty() ? ""
                               : "\"" + recorder.id + "\"," + ip + "," + recorder.netmask + "," +
                                     recorder.gateway + ",PW_" + recorder.key + "\n";
}

// The address two hosts up from the recorder's own, on its subnet.
std::string Moved(const lab::Recorder& recorder) {
    const auto dot = recorder.ip.rfind('.');
    return recorder.ip.substr(0, dot + 1) +
           std::to_string(std::stoi(recorder.ip.substr(dot + 1)) + 2);
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(LabApply, ReaddressesARecorderOnEachInterfaceVerifiesPutsBackAndNamesTheSilentOne) {
    REQUIRE_LAB();
    // One recorder whose address really moves behind each client interface.
    std::vector<const lab::Recorder*> moving;
    for (const std::string& address : info.clientAddresses) {
        for (const lab::Recorder* recorder : info.Movable()) {
            if (recorder->interfaceAddress == address && recorder->supported) {
                moving.push_back(recorder);
                break;
            }
        }
    }
    const lab::Recorder* silent = info.ByRole("silent");
    ASSERT_EQ(moving.size(), 2u) << "the lab has a re-addressable recorder on each interface";
    ASSERT_TRUE(silent);
    std::vector<std::string> env{"PW_" + silent->key + "=" + silent->password};
    const std::string header = "device,ip,netmask,gateway,password_env\n";
    std::string there = header;
    std::string back = header;
    for (const lab::Recorder* recorder : moving) {
        env.push_back("PW_" + recorder->key + "=" + recorder->password);
        there += PlanLine(*recorder, Moved(*recorder));
        back += PlanLine(*recorder, recorder->ip);
    }
    const std::string plan = WritePlan(there + PlanLine(*silent, Moved(*silent)));

    // A dry run sends nothing: no login or change request reaches any of them.
    std::vector<int> before;
    for (const lab::Recorder* recorder : moving) {
        before.push_back(CountRequests(info, recorder->key, "login") +
                         CountRequests(info, recorder->key, "setLanStatic"));
    }
    {
        const lab::ProcessResult r = Nvr({"apply", plan, "--dry-run"}, env);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(Count(r.out, "\twould be sent\n"), 3) << r.out;
        for (std::size_t i = 0; i < moving.size(); ++i) {
            EXPECT_EQ(CountRequests(info, moving[i]->key, "login") +
                          CountRequests(info, moving[i]->key, "setLanStatic"),
                      before[i])
                << moving[i]->key;
        }
        EXPECT_EQ(CountRequests(info, silent->key, "setLanStatic"), 0);
    }
    {
        const lab::ProcessResult r = Nvr({"apply", plan, "--json"}, env);
        EXPECT_EQ(r.exitCode, 1) << "the silent line is not ok: " << r.out << r.err;
        const auto json = nlohmann::json::parse(r.out, nullptr, false);
        ASSERT_TRUE(json.is_array() && json.size() == 3u) << r.out;
        EXPECT_EQ(json[0]["result"], "ok");
        EXPECT_EQ(json[1]["result"], "ok");
        EXPECT_EQ(json[2]["result"], "no answer");
        // Each answers at its new address, on its own interface, and no more
        // at the old one.
        for (const lab::Recorder* recorder : moving) {
            SCOPED_TRACE(recorder->key);
            EXPECT_NE(lab::HttpGet(Moved(*recorder)).find(recorder->name), std::string::npos);
            EXPECT_TRUE(lab::HttpGet(recorder->ip, 80, std::chrono::milliseconds(1000)).empty());
        }
        const lab::ProcessResult search = Nvr({"search", "--json"});
        for (const lab::Recorder* recorder : moving) {
            EXPECT_NE(search.out.find("\"" + Moved(*recorder) + "\""), std::string::npos)
                << recorder->key << " in " << search.out;
        }
    }
    // Put back, by the same plan reader, and found there again.
    const lab::ProcessResult r = Nvr({"apply", WritePlan(back)}, env);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Count(r.out, "\tok\n"), 2) << r.out;
    for (const lab::Recorder* recorder : moving) {
        EXPECT_NE(lab::HttpGet(recorder->ip).find(recorder->name), std::string::npos)
            << recorder->key << " back at " << recorder->ip;
    }
}

TEST(LabConsole, PrintsTheUrlOfAReachableConsoleOnly) {
    REQUIRE_LAB();
    const lab::Recorder* plain = info.ByRole("plain");
    const lab::Recorder* silent = info.ByRole("silent");
    ASSERT_TRUE(plain && silent);
    const lab::ProcessResult r = Nvr({"console", "--device", plain->id, "--print-url"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "http://" + plain->ip + "\n");
    // A console that does not answer (or is closed) ends with the window's text.
    const lab::ProcessResult closed = Nvr({"console", "--device", silent->id, "--print-url"});
    if (lab::HttpGet(silent->ip, 80, std::chrono::milliseconds(1000)).empty()) {
        EXPECT_EQ(closed.exitCode, 1);
        EXPECT_EQ(closed.err, "ostrel-nvr: Device is no longer available.\n");
    }
}

TEST(LabDrives, MapAndUnmapALabShare) {
    REQUIRE_LAB();
    const lab::Recorder* recorder = info.ByKey("r3");
    ASSERT_TRUE(recorder && recorder->smb && !recorder->volumes.empty());
    const std::string home = TempPath("home");
    ASSERT_EQ(lab::RunProcess({"mkdir", "-p", home + "/config"}).exitCode, 0);
    const std::vector<std::string> env{"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                                       "OSTREL_PASSWORD=" + recorder->password};
    const lab::ProcessResult mapped = Nvr(
        {"map", "--device", recorder->id, "--volume", recorder->volumes[0], "--letter", "Q:"}, env);
    EXPECT_EQ(mapped.exitCode, 0) << mapped.err;
    EXPECT_EQ(mapped.out, "Successfully mapped drive. Q: \\\\" + recorder->ip + "\\" +
                              recorder->volumes[0] + "\n");
    const lab::ProcessResult drives = Nvr({"drives"}, env);
    EXPECT_NE(drives.out.find("Q:\t\\\\" + recorder->ip + "\\" + recorder->volumes[0] + "\tin use"),
              std::string::npos)
        << drives.out;
    const lab::ProcessResult again = Nvr(
        {"map", "--device", recorder->id, "--volume", recorder->volumes[0], "--letter", "Q:"}, env);
    EXPECT_EQ(again.exitCode, 2) << "a letter in use needs --force";
    const lab::ProcessResult unmapped = Nvr({"unmap", "Q:"}, env);
    EXPECT_EQ(unmapped.exitCode, 0) << unmapped.err;
    EXPECT_EQ(unmapped.out, "Successfully unmapped drive. (Q:)\n");
    EXPECT_NE(Nvr({"drives"}, env).out.find("Q:\t-\tfree"), std::string::npos);
    lab::RunProcess({"rm", "-rf", home});
}

// Counts the watch's events of a kind for a recorder in its JSON Lines.
int Events(const std::string& path, const std::string& event, const std::string& id) {
    std::ifstream in(path);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        const auto json = nlohmann::json::parse(line, nullptr, false);
        if (json.is_object() && json.value("event", "") == event && json.value("id", "") == id) {
            ++count;
        }
    }
    return count;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return done();
}

TEST(LabWatch, SeesARecorderGoAndComeBackAndEndsOnSigterm) {
    REQUIRE_LAB();
    const lab::Recorder* recorder = info.ByRole("plain");
    ASSERT_TRUE(recorder);
    const std::string output = TempPath("watch") + ".jsonl";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> args{OSTREL_NVR_PATH, "watch", "--interval", "0.5", "--json"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, OSTREL_NVR_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    const auto link = [&](const char* state) {
        return lab::RunProcess({"ip", "-n", recorder->netns, "link", "set", "lan0", state})
            .exitCode;
    };
    EXPECT_TRUE(WaitFor([&] { return Events(output, "appeared", recorder->id) == 1; },
                        std::chrono::seconds(30)));
    // The recorder's link goes down: it is gone after two searches without it.
    EXPECT_EQ(link("down"), 0);
    EXPECT_TRUE(WaitFor([&] { return Events(output, "disappeared", recorder->id) == 1; },
                        std::chrono::seconds(60)));
    // Up again, with the routes the link took with it.
    EXPECT_EQ(link("up"), 0);
    const std::string gateway = recorder->ip.substr(0, recorder->ip.rfind('.')) + ".1";
    lab::RunProcess(
        {"ip", "-n", recorder->netns, "route", "replace", "224.0.0.0/4", "dev", "lan0"});
    lab::RunProcess({"ip", "-n", recorder->netns, "route", "replace", "default", "via", gateway,
                     "dev", "lan0"});
    EXPECT_TRUE(WaitFor([&] { return Events(output, "appeared", recorder->id) == 2; },
                        std::chrono::seconds(60)));

    ASSERT_EQ(kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    std::remove(output.c_str());
}

}  // namespace
