#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A small writer of 32-bit ELF relocatable objects (ET_REL): the file header,
// the section header table right after it, then the sections' contents in
// order, the section-name table and, when a size is asked for, a padding
// section that brings the file to exactly that size. No symbols, no
// relocations: enough for an object that binutils reads cleanly.
namespace ostrel::fileset {

constexpr std::uint32_t kShtProgbits = 1;
constexpr std::uint32_t kShtStrtab = 3;
constexpr std::uint32_t kShfWrite = 0x1;
constexpr std::uint32_t kShfAlloc = 0x2;
constexpr std::uint32_t kShfExecInstr = 0x4;
constexpr std::uint16_t kEmPpc = 20;
constexpr std::uint16_t kEmArm = 40;
constexpr std::uint8_t kOsAbiNone = 0;
constexpr std::uint8_t kOsAbiArm = 97;

struct ElfSection {
    std::string name;
    std::uint32_t type = kShtProgbits;
    std::uint32_t flags = 0;
    std::uint32_t align = 1;
    std::string data;
};

struct ElfObject {
    bool bigEndian = false;
    std::uint16_t machine = 0;
    std::uint8_t osAbi = kOsAbiNone;
    std::uint32_t flags = 0;
    std::vector<ElfSection> sections;  // without the null section and .shstrtab
};

// The bytes of the object. With `size`, a section ".pad" of zeros fills the
// file to that size; nothing when the sections alone are already larger.
std::optional<std::string> WriteElf32(const ElfObject& object,
                                      std::optional<std::size_t> size = std::nullopt);

}  // namespace ostrel::fileset
