#pragma once

#include <string>
#include <string_view>

#include "protocol/no_qt.h"

// The text with every control character (C0, DEL and C1, raw or in UTF-8),
// every character that turns the text's direction (U+202E and its kin) and
// every byte that is not part of UTF-8 replaced by "?"; other text is kept.
// For text from the network or the system that goes to a terminal.
std::string PrintableText(std::string_view text);
