#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A small reader of 32-bit ELF files for the tests: the header fields, the
// section table with names, and each section's bytes. Every offset and size
// is checked against the file before it is used.
struct ElfSectionView {
    std::string name;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t align = 0;
    std::string data;
};

struct ElfView {
    bool bigEndian = false;
    std::uint8_t osAbi = 0;
    std::uint16_t type = 0;
    std::uint16_t machine = 0;
    std::uint32_t sectionTableOffset = 0;
    std::vector<ElfSectionView> sections;  // with the null section at 0

    const ElfSectionView* Find(const std::string& name) const;
};

// Nothing, with the reason in why, for anything that is not a well-formed
// ELF32 file.
std::optional<ElfView> ReadElf32(const std::string& bytes, std::string& why);

// The zero-terminated strings of a section such as .modinfo.
std::vector<std::string> SplitStrings(const std::string& data);
