#pragma once

#include <map>
#include <optional>
#include <string>

#include "charset_tables.h"
#include "file_set_items.h"

// Makes the bytes of each item of the file set from the character sets.
namespace ostrel::fileset {

// Caches the tables of each character set, which several items share.
class ItemBuilder {
public:
    // The item's bytes, exactly item.size long; nothing, with the reason in
    // why, when a character set is unknown or the data does not fit.
    std::optional<std::string> Build(const FileSetItem& item, std::string& why);

private:
    const CharsetTables* Tables(const std::string& charset, bool doubleByte, std::string& why);

    std::map<std::string, CharsetTables> tables_;
};

// Whether a code page is one of the double-byte sets (932, 936, 949, 950).
bool IsDoubleByteCodepage(unsigned codepage);
// Whether a character set of the modules is double-byte.
bool IsDoubleByteCharset(const std::string& charset);

}  // namespace ostrel::fileset
