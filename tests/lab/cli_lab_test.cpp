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

TEST(LabApply, ReaddressesVerifiesPutsBackAndNamesTheSilentRecorder) {
    REQUIRE_LAB();
    const lab::Recorder* mutableOne = info.ByRole("mutable");
    const lab::Recorder* silent = info.ByRole("silent");
    ASSERT_TRUE(mutableOne && silent);
    const std::string moved = mutableOne->ip.substr(0, mutableOne->ip.rfind('.')) + ".53";
    const std::vector<std::string> env{"PW_" + mutableOne->key + "=" + mutableOne->password,
                                       "PW_" + silent->key + "=" + silent->password};
    const std::string header = "device,ip,netmask,gateway,password_env\n";
    const std::string plan =
        WritePlan(header + PlanLine(*mutableOne, moved) +
                  PlanLine(*silent, silent->ip.substr(0, silent->ip.rfind('.')) + ".54"));

    // A dry run sends nothing: no change request reaches either recorder.
    const int staticBefore = CountRequests(info, mutableOne->key, "setLanStatic");
    const int loginBefore = CountRequests(info, mutableOne->key, "login");
    {
        const lab::ProcessResult r = Nvr({"apply", plan, "--dry-run"}, env);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
        EXPECT_EQ(CountRequests(info, mutableOne->key, "setLanStatic"), staticBefore);
        EXPECT_EQ(CountRequests(info, mutableOne->key, "login"), loginBefore);
        EXPECT_EQ(CountRequests(info, silent->key, "setLanStatic"), 0);
    }
    {
        const lab::ProcessResult r = Nvr({"apply", plan, "--json"}, env);
        EXPECT_EQ(r.exitCode, 1) << "the silent line is not ok: " << r.out << r.err;
        const auto json = nlohmann::json::parse(r.out, nullptr, false);
        ASSERT_TRUE(json.is_array() && json.size() == 2u) << r.out;
        EXPECT_EQ(json[0]["result"], "ok");
        EXPECT_EQ(json[1]["result"], "no answer");
        EXPECT_NE(lab::HttpGet(moved).find(mutableOne->name), std::string::npos)
            << "console at the new address";
    }
    // Put back, by the same plan reader.
    const lab::ProcessResult back =
        Nvr({"apply", WritePlan(header + PlanLine(*mutableOne, mutableOne->ip))}, env);
    EXPECT_EQ(back.exitCode, 0) << back.out << back.err;
    EXPECT_NE(back.out.find("\tok\n"), std::string::npos) << back.out;
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
