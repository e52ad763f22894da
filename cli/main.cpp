#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "ostrel_version.h"

int main(int argc, char** argv) {
    // A closed standard output would hand descriptor 1 to the first socket
    // opened, and the output to the network: refuse to run at all.
    if (fcntl(STDOUT_FILENO, F_GETFD) < 0) {
        std::fputs("ostrel-nvr: standard output is closed\n", stderr);
        return 1;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "ostrel-nvr " << OSTREL_VERSION << "\n";
        return 0;
    }
    const cli::PasswordPrompt prompt = isatty(STDIN_FILENO) ? cli::PromptForPassword : nullptr;
    int code =
        cli::RunCli(args, std::cin, std::cout, std::cerr, std::getenv("OSTREL_PASSWORD"), prompt);
    // Output that could not be written (a full disk, a closed pipe) is a
    // failure even when the command itself succeeded.
    std::cout.flush();
    errno = 0;
    const bool written = !std::cout.fail() && std::fflush(stdout) == 0 && !std::ferror(stdout);
    const int writeErrno = errno;
    const bool closed = std::fclose(stdout) == 0;
    if (!written || !closed) {
        const int why = writeErrno != 0 ? writeErrno : errno;
        std::fprintf(stderr, "ostrel-nvr: cannot write the output: %s\n",
                     why != 0 ? std::strerror(why) : "write error");
        if (code == 0) {
            code = 1;
        }
    }
    return code;
}
