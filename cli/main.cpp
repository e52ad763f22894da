#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const int code =
        cli::RunCli(args, std::cin, std::cout, std::cerr, std::getenv("OSTREL_PASSWORD"));
    std::cout.flush();
    return code;
}
