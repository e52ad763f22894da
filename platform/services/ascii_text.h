#pragma once

#include <string>

// Small ASCII text helpers the services share: names of shares, hosts,
// registry keys and program files compare without regard to case, as on
// Windows, and settings lines are read without their surrounding blanks.
namespace ostrel::platform {

// `text` with every ASCII letter in lower case; other bytes unchanged.
std::string Lower(std::string text);

// `text` without leading and trailing spaces, tabs and carriage returns.
std::string Trim(const std::string& text);

// Whether `a` and `b` are the same apart from the case of ASCII letters.
bool EqualNoCase(const std::string& a, const std::string& b);

}  // namespace ostrel::platform
