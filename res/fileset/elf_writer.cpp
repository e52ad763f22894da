#include "elf_writer.h"

namespace ostrel::fileset {

namespace {

constexpr std::size_t kHeaderSize = 52;
constexpr std::size_t kSectionHeaderSize = 40;

class Out {
public:
    explicit Out(bool bigEndian) : bigEndian_(bigEndian) {}

    void U8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void U16(std::uint16_t value) {
        if (bigEndian_) {
            U8(static_cast<std::uint8_t>(value >> 8));
            U8(static_cast<std::uint8_t>(value));
        } else {
            U8(static_cast<std::uint8_t>(value));
            U8(static_cast<std::uint8_t>(value >> 8));
        }
    }
    void U32(std::uint32_t value) {
        if (bigEndian_) {
            U16(static_cast<std::uint16_t>(value >> 16));
            U16(static_cast<std::uint16_t>(value));
        } else {
            U16(static_cast<std::uint16_t>(value));
            U16(static_cast<std::uint16_t>(value >> 16));
        }
    }
    void Bytes(const std::string& data) { bytes_ += data; }
    void PadTo(std::size_t offset) {
        if (bytes_.size() < offset)
            bytes_.append(offset - bytes_.size(), '\0');
    }
    std::string& Result() { return bytes_; }

private:
    bool bigEndian_;
    std::string bytes_;
};

std::size_t AlignUp(std::size_t offset, std::uint32_t align) {
    if (align <= 1)
        return offset;
    return (offset + align - 1) / align * align;
}

struct Placed {
    ElfSection section;
    std::uint32_t nameOffset = 0;
    std::size_t offset = 0;
};

}  // namespace

std::optional<std::string> WriteElf32(const ElfObject& object, std::optional<std::size_t> size) {
    std::vector<Placed> placed;
    for (const ElfSection& section : object.sections)
        placed.push_back({section});
    placed.push_back({ElfSection{".shstrtab", kShtStrtab, 0, 1, {}}});
    const std::size_t nameTable = placed.size() - 1;
    if (size)
        placed.push_back({ElfSection{".pad", kShtProgbits, 0, 1, {}}});

    std::string names(1, '\0');
    for (Placed& p : placed) {
        p.nameOffset = static_cast<std::uint32_t>(names.size());
        names += p.section.name;
        names += '\0';
    }
    placed[nameTable].section.data = names;

    const std::size_t sectionCount = placed.size() + 1;  // with the null section
    std::size_t offset = kHeaderSize + sectionCount * kSectionHeaderSize;
    for (Placed& p : placed) {
        if (size && &p == &placed.back()) {
            p.offset = offset;
            if (offset > *size)
                return std::nullopt;
            p.section.data.assign(*size - offset, '\0');
            break;
        }
        p.offset = AlignUp(offset, p.section.align);
        offset = p.offset + p.section.data.size();
    }

    Out out(object.bigEndian);
    // e_ident
    out.Bytes(
        std::string("\x7f"
                    "ELF",
                    4));
    out.U8(1);                         // ELFCLASS32
    out.U8(object.bigEndian ? 2 : 1);  // ELFDATA2MSB / ELFDATA2LSB
    out.U8(1);                         // EV_CURRENT
    out.U8(object.osAbi);
    out.PadTo(16);
    out.U16(1);  // ET_REL
    out.U16(object.machine);
    out.U32(1);                                        // e_version
    out.U32(0);                                        // e_entry
    out.U32(0);                                        // e_phoff
    out.U32(static_cast<std::uint32_t>(kHeaderSize));  // e_shoff
    out.U32(object.flags);
    out.U16(static_cast<std::uint16_t>(kHeaderSize));
    out.U16(0);  // e_phentsize
    out.U16(0);  // e_phnum
    out.U16(static_cast<std::uint16_t>(kSectionHeaderSize));
    out.U16(static_cast<std::uint16_t>(sectionCount));
    out.U16(static_cast<std::uint16_t>(nameTable + 1));

    out.PadTo(kHeaderSize + kSectionHeaderSize);  // the null section
    for (const Placed& p : placed) {
        out.U32(p.nameOffset);
        out.U32(p.section.type);
        out.U32(p.section.flags);
        out.U32(0);  // sh_addr
        out.U32(static_cast<std::uint32_t>(p.offset));
        out.U32(static_cast<std::uint32_t>(p.section.data.size()));
        out.U32(0);  // sh_link
        out.U32(0);  // sh_info
        out.U32(p.section.align);
        out.U32(0);  // sh_entsize
    }
    for (const Placed& p : placed) {
        out.PadTo(p.offset);
        out.Bytes(p.section.data);
    }
    if (size && out.Result().size() != *size)
        return std::nullopt;
    return std::move(out.Result());
}

}  // namespace ostrel::fileset
