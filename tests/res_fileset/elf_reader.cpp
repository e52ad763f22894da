#include "elf_reader.h"

const ElfSectionView* ElfView::Find(const std::string& name) const {
    for (const auto& section : sections) {
        if (section.name == name)
            return &section;
    }
    return nullptr;
}

namespace {

struct Reader {
    const std::string& bytes;
    bool bigEndian;

    bool Fits(std::size_t offset, std::size_t size) const {
        return offset <= bytes.size() && size <= bytes.size() - offset;
    }
    std::uint32_t At(std::size_t offset, int width) const {
        std::uint32_t value = 0;
        for (int i = 0; i < width; ++i) {
            const auto byte =
                static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
            if (bigEndian)
                value = value << 8 | byte;
            else
                value |= static_cast<std::uint32_t>(byte) << (8 * i);
        }
        return value;
    }
};

}  // namespace

std::optional<ElfView> ReadElf32(const std::string& bytes, std::string& why) {
    if (bytes.size() < 52 || bytes.compare(0, 4,
                                           "\x7f"
                                           "ELF") != 0) {
        why = "no ELF header";
        return std::nullopt;
    }
    if (bytes[4] != 1 || (bytes[5] != 1 && bytes[5] != 2) || bytes[6] != 1) {
        why = "not ELF32 version 1";
        return std::nullopt;
    }
    ElfView view;
    view.bigEndian = bytes[5] == 2;
    view.osAbi = static_cast<std::uint8_t>(bytes[7]);
    const Reader in{bytes, view.bigEndian};
    view.type = static_cast<std::uint16_t>(in.At(16, 2));
    view.machine = static_cast<std::uint16_t>(in.At(18, 2));
    view.sectionTableOffset = in.At(32, 4);
    const std::uint32_t entrySize = in.At(46, 2);
    const std::uint32_t count = in.At(48, 2);
    const std::uint32_t nameIndex = in.At(50, 2);
    if (in.At(40, 2) != 52 || entrySize != 40 || count == 0 || nameIndex >= count ||
        !in.Fits(view.sectionTableOffset, std::size_t{count} * entrySize)) {
        why = "bad section table";
        return std::nullopt;
    }
    std::vector<std::uint32_t> nameOffsets;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = view.sectionTableOffset + std::size_t{i} * entrySize;
        ElfSectionView section;
        nameOffsets.push_back(in.At(at, 4));
        section.type = in.At(at + 4, 4);
        section.flags = in.At(at + 8, 4);
        section.offset = in.At(at + 16, 4);
        section.size = in.At(at + 20, 4);
        section.align = in.At(at + 32, 4);
        if (section.type != 0 && section.type != 8) {
            if (!in.Fits(section.offset, section.size)) {
                why = "section " + std::to_string(i) + " lies outside the file";
                return std::nullopt;
            }
            section.data = bytes.substr(section.offset, section.size);
        }
        view.sections.push_back(std::move(section));
    }
    const std::string& names = view.sections[nameIndex].data;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t offset = nameOffsets[i];
        const auto end = names.find('\0', offset);
        if (offset >= names.size() || end == std::string::npos) {
            why = "section name outside the name table";
            return std::nullopt;
        }
        view.sections[i].name = names.substr(offset, end - offset);
    }
    return view;
}

std::vector<std::string> SplitStrings(const std::string& data) {
    std::vector<std::string> strings;
    std::size_t start = 0;
    while (start < data.size()) {
        const auto end = data.find('\0', start);
        const std::size_t stop = end == std::string::npos ? data.size() : end;
        if (stop > start)
            strings.push_back(data.substr(start, stop - start));
        start = stop + 1;
    }
    return strings;
}
