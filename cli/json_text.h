#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace cli {

// JSON as the command line writes it, with a line end. Texts from recorders
// and from the user's files need not be UTF-8: a byte that is not is
// replaced rather than ending the program, and every non-ASCII character is
// escaped, so no control character reaches a terminal that shows the JSON.
// indent -1 writes one line.
template <typename Json>
std::string JsonText(const Json& value, int indent = -1) {
    return value.dump(indent, ' ', true, Json::error_handler_t::replace) + '\n';
}

}  // namespace cli
