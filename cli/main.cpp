#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "ostrel_version.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "ostrel-nvr " << OSTREL_VERSION << "\n";
        return 0;
    }
    const int code =
        cli::RunCli(args, std::cin, std::cout, std::cerr, std::getenv("OSTREL_PASSWORD"));
    std::cout.flush();
    return code;
}
