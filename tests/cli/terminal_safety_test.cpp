// What reaches a terminal or a script: control bytes escaped, output errors
// reported, and the password read with echo off.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/format.h"
#include "cli/terminal.h"

namespace cli {
namespace {

TEST(CliEscaping, ControlBytesOfEveryKindBecomeQuestionMarks) {
    struct Case {
        const char* text;
        const char* printed;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"a\x1b[2Jb", "a?[2Jb"},          // ESC
        {"tab\there\r\n", "tab?here??"},  // other C0
        {"del\x7f", "del?"},              // DEL
        {"csi\x9b"
         "31m",
         "csi?31m"},            // raw C1
        {"nel\x85.", "nel?."},  // raw C1
        {"u\xc2\x9b"
         "x",
         "u?x"},                               // C1 written as UTF-8
        {"caf\xc3\xa9", "caf\xc3\xa9"},        // UTF-8 kept
        {"\xe2\x82\xac 5", "\xe2\x82\xac 5"},  // continuation bytes in C1 range kept
        {"caf\xe9", "caf?"},                   // not UTF-8: shown as JSON shows it
        {"cut\xe2\x82", "cut??"},              // a cut sequence
        {"\xc0\x9b", "??"},                    // an overlong form is no sequence
        {"gpj\xe2\x80\xae.exe", "gpj?.exe"},   // U+202E turns the text around
        {"\xe2\x81\xa6x\xd8\x9c", "?x?"},      // U+2066, U+061C
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PrintableText(c.text), c.printed) << c.text;
    }
}

TEST(CliEscaping, JsonCarriesNoRawNonAsciiByte) {
    DeviceSummary device;
    device.name =
        "csi\xc2\x9b"
        "caf\xc3\xa9 \x9b";
    device.model = "KVR-620";
    for (const std::string& json :
         {FormatSearchJson({device}), FormatVolumesJson({"Vol\xc2\x9b", "\x1b[1m"})}) {
        for (const char c : json) {
            EXPECT_LT(static_cast<unsigned char>(c), 0x80) << json;
            EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << json;
        }
    }
}

TEST(CliEscaping, ErrorsQuotingTheUserAreEscaped) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"\x1b]0;owned\x07"},
                                                 {"search",
                                                  "--x\x9b"
                                                  "1m"},
                                                 {"login", "--device"},
                                                 {"static", "--ip", "1\x1b"}}) {
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunCli(args, in, out, err, "pw"), kExitUsage);
        for (const char c : err.str().substr(0, err.str().size() - 1)) {
            const auto byte = static_cast<unsigned char>(c);
            EXPECT_TRUE(byte >= 0x20 && byte != 0x7F && !(byte >= 0x80 && byte <= 0x9F))
                << err.str();
        }
    }
}

// Runs the built program through the shell; its exit code and standard error.
struct ProgramRun {
    int code;
    std::string err;
};
ProgramRun RunProgram(const std::string& redirections) {
    const std::string errFile = testing::TempDir() + "cli_err.txt";
    const std::string command =
        std::string("'") + OSTREL_NVR_BINARY + "' help " + redirections + " 2>'" + errFile + "'";
    const int status = std::system(command.c_str());
    std::ifstream file(errFile);
    std::stringstream text;
    text << file.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

TEST(CliOutput, WriteErrorsAndAClosedOutputFail) {
    const ProgramRun ok = RunProgram(">/dev/null");
    EXPECT_EQ(ok.code, 0);
    EXPECT_TRUE(ok.err.empty());
    for (const char* redirection : {">/dev/full", ">&-"}) {
        const ProgramRun run = RunProgram(redirection);
        EXPECT_EQ(run.code, 1) << redirection;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.err.rfind("ostrel-nvr: ", 0), 0u) << run.err;
    }
}

TEST(CliPassword, ReadFromATerminalWithEchoOffAndTheSettingsRestored) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        GTEST_SKIP() << "no pseudo-terminal";
    }
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    termios before{};
    ASSERT_EQ(tcgetattr(slave, &before), 0);
    ASSERT_NE(before.c_lflag & ECHO, 0u);

    std::FILE* prompt = std::tmpfile();
    ASSERT_NE(prompt, nullptr);
    // Typed ahead: the line waits in the terminal's input, read with echo off.
    // TCSAFLUSH drops input typed before the prompt, so type after it starts.
    std::thread typist([&] {
        usleep(100 * 1000);
        ASSERT_EQ(write(master, "s3cret\n", 7), 7);
    });
    const auto password = ReadHiddenLine(slave, prompt);
    typist.join();
    ASSERT_TRUE(password.has_value());
    EXPECT_EQ(*password, "s3cret");

    termios after{};
    ASSERT_EQ(tcgetattr(slave, &after), 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    // Nothing of the password came back to the screen.
    fcntl(master, F_SETFL, O_NONBLOCK);
    char echoed[64] = {};
    const ssize_t n = read(master, echoed, sizeof echoed - 1);
    EXPECT_EQ(std::string(echoed, n > 0 ? static_cast<std::size_t>(n) : 0).find("s3cret"),
              std::string::npos);
    std::rewind(prompt);
    char shown[32] = {};
    EXPECT_NE(std::fgets(shown, sizeof shown, prompt), nullptr);
    EXPECT_STREQ(shown, "Password: ");
    std::fclose(prompt);
    close(slave);
    close(master);
}

}  // namespace
}  // namespace cli
