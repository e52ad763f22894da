#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace cli {

// Prints "Password: " to promptTo and reads one line from the terminal fd
// with echo off. The terminal's settings come back on every way out: the
// line read, end of input, an error, or a signal that ends the program
// (SIGINT, SIGTERM, SIGHUP, SIGQUIT, which then take their usual course).
// Nothing when no line could be read. A fd that is not a terminal is read
// the same way, without touching its settings.
std::optional<std::string> ReadHiddenLine(int fd, std::FILE* promptTo);

// ReadHiddenLine on standard input, prompting on standard error.
std::optional<std::string> PromptForPassword();

}  // namespace cli
