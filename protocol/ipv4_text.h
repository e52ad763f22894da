#pragma once

#include <string_view>

#include "protocol/no_qt.h"

// Whether a text is an IPv4 address in plain dotted decimal: four decimal
// octets from 0 to 255 without leading zeros, separated by ".", with nothing
// before or after. An address a recorder announces is turned into a URL, a
// share name or a connection only in this form: the system's own readers
// take "010" as octal and "10.0.0.1/x" or "localhost" as a host and a path.
bool IsDottedDecimalIpv4(std::string_view text);
