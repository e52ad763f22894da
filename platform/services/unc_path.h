#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Network names of the form \\host\share\folder\file.
namespace ostrel::platform {

struct UncPath {
    std::string host;
    std::string share;
    std::vector<std::string> components;  // below the share, in order

    // "\\host\share\a\b" with backslashes.
    std::string Text() const;
    // "smb://host/share/a/b" with every name percent-encoded as URLs need.
    std::string SmbUrl() const;
};

// Splits a path into named components. Backslashes and slashes both separate;
// empty components and "." are dropped. A ".." component (which could step
// out of the share or folder the path starts in) or a control character
// refuses the whole path.
std::optional<std::vector<std::string>> SplitPathComponents(std::string_view text);

// Reads "\\host\share[\more...]" (either separator, at least two leading).
// Nothing when the host or share is missing or a component is refused.
std::optional<UncPath> ParseUncPath(std::string_view text);

// True when the text starts with two path separators.
bool StartsAsUncPath(std::string_view text);

// Percent-encodes everything except unreserved URL characters.
std::string PercentEncode(std::string_view text);

}  // namespace ostrel::platform
