#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The embedded file set: every item the program carries as a resource of type
// "CODEPAGE", what kind of data it is, the name it is written under on a
// recorder, and the install lists per language and volume layout. The bytes
// themselves are made at build time by ostrel-filesetgen from this table.
namespace ostrel::fileset {

enum class ItemKind {
    kCodepageTable,  // header and case pairs of a code page
    kUnicodeMap,     // code ⇄ Unicode tables
    kLegacyModule,   // ELF32 big-endian PowerPC, kernel 2.4 (".o")
    kModule266,      // ELF32 little-endian ARM, kernel 2.6.6 (".ko")
    kModule2612,     // ELF32 little-endian ARM, kernel 2.6.12.6 ("_12.ko")
};

enum class VolumeLayout { kHddA, kHdd1 };

struct FileSetItem {
    unsigned id;
    std::uint32_t size;
    // The name it is written under; empty for the items no install list names.
    const char* fileName;
    ItemKind kind;
    unsigned codepage;
    // The character set the data is made from, by its iconv name.
    const char* charset;
    // Modules: the kernel's name of the character set ("cp850", "euc-jp").
    // Unicode maps: the name in the map's header ("850", "KOI8-R").
    const char* shortName;
};

// Every item, by ascending identifier.
std::span<const FileSetItem> FileSetItems();
// The item with this identifier, or null.
const FileSetItem* FindFileSetItem(unsigned id);

// The name of the exported copy: "<id>_<file name>", or "<id>_<kind>" for an
// item that is never installed ("223_module-cp852-2.6.12.6").
std::string ExportName(const FileSetItem& item);

// The languages of the codepage installation, in the order of the language
// dialog's list.
constexpr int kLanguageCount = 9;
// The codepage number of a language index, as text ("950"); empty outside 0–8.
const char* LanguageCodepageText(int language);
// The identifiers written for a language and layout, in order (empty for
// the languages that need no files, and outside 0–8).
std::vector<unsigned> InstallList(int language, VolumeLayout layout);

}  // namespace ostrel::fileset
