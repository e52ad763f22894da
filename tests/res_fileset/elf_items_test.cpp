#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <iconv.h>

#include "addons/embedded_file.h"
#include "elf_reader.h"
#include "res/fileset/file_set_items.h"

// The kernel-module items read back: by the test's own ELF reader, and by
// binutils' readelf where it is installed.
using namespace ostrel::fileset;
using ostrel::addons::FindEmbeddedResource;

namespace {

bool IsModule(const FileSetItem& item) {
    return item.kind == ItemKind::kLegacyModule || item.kind == ItemKind::kModule266 ||
           item.kind == ItemKind::kModule2612;
}

std::uint16_t DecodeByte(const char* charset, unsigned char byte) {
    iconv_t cd = iconv_open("UTF-32LE", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return 0xFFFF;
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
                    outLeft == sizeof out - 4;
    iconv_close(cd);
    std::uint32_t value = 0;
    std::memcpy(&value, out, 4);
    return ok && value <= 0xFFFF ? static_cast<std::uint16_t>(value) : 0;
}

}  // namespace

TEST(FileSetModules, HeadersSectionsAndModuleInfoReadBack) {
    int modules = 0;
    for (const FileSetItem& item : FileSetItems()) {
        if (!IsModule(item))
            continue;
        ++modules;
        SCOPED_TRACE(ExportName(item));
        const std::string bytes(FindEmbeddedResource("CODEPAGE", item.id));
        std::string why;
        const auto elf = ReadElf32(bytes, why);
        ASSERT_TRUE(elf) << why;
        const bool legacy = item.kind == ItemKind::kLegacyModule;
        EXPECT_EQ(elf->type, 1) << "ET_REL";
        EXPECT_EQ(elf->bigEndian, legacy);
        EXPECT_EQ(elf->machine, legacy ? 20 : 40);
        EXPECT_EQ(elf->osAbi, legacy ? 0 : 97);

        // Every byte of the file is described: the header, the section
        // table, and the sections, the last of which ends the file.
        std::size_t end = elf->sectionTableOffset + elf->sections.size() * 40;
        for (const auto& section : elf->sections)
            end = std::max<std::size_t>(end, section.offset + section.size);
        EXPECT_EQ(end, bytes.size());

        for (const char* name : {".text", ".data", ".modinfo", ".shstrtab"})
            EXPECT_NE(elf->Find(name), nullptr) << name;
        const ElfSectionView* text = elf->Find(".text");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->flags, 0x6u) << "alloc + exec";

        const ElfSectionView* modinfo = elf->Find(".modinfo");
        ASSERT_NE(modinfo, nullptr);
        const auto info = SplitStrings(modinfo->data);
        const std::string vermagic = legacy                              ? "vermagic=2.4 "
                                     : item.kind == ItemKind::kModule266 ? "vermagic=2.6.6 "
                                                                         : "vermagic=2.6.12.6 ";
        ASSERT_EQ(info.size(), 4u);
        EXPECT_EQ(info[0], "license=GPL");
        EXPECT_EQ(info[1], std::string("description=NLS ") + item.shortName);
        EXPECT_EQ(info[2], std::string("charset=") + item.shortName);
        EXPECT_EQ(info[3].rfind(vermagic, 0), 0u) << info[3];

        // .data is the character set's table of one-byte characters, in the
        // target's byte order.
        const ElfSectionView* data = elf->Find(".data");
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(data->size, 512u);
        for (unsigned byte : {0x41u, 0x80u, 0xA0u, 0xE4u, 0xFFu}) {
            const auto hi = static_cast<unsigned char>(data->data[byte * 2]);
            const auto lo = static_cast<unsigned char>(data->data[byte * 2 + 1]);
            const unsigned entry = legacy ? (hi << 8 | lo) : (lo << 8 | hi);
            EXPECT_EQ(entry, DecodeByte(item.charset, static_cast<unsigned char>(byte)))
                << "byte " << byte;
        }
    }
    EXPECT_EQ(modules, 30);
}

TEST(FileSetModules, ReaderRefusesBrokenFiles) {
    const std::string good(FindEmbeddedResource("CODEPAGE", 179));
    std::string why;
    ASSERT_TRUE(ReadElf32(good, why)) << why;
    EXPECT_FALSE(ReadElf32(good.substr(0, 100), why)) << "section table cut off";
    std::string badOffset = good;
    badOffset[32] = '\x7f';  // e_shoff far past the end (little-endian low byte)
    badOffset[35] = '\x7f';
    EXPECT_FALSE(ReadElf32(badOffset, why));
    EXPECT_FALSE(ReadElf32("plain text, not a module", why));
}

TEST(FileSetModules, ReadelfReadsEveryModuleWithoutAWarning) {
    if (!std::filesystem::exists("/usr/bin/readelf"))
        GTEST_SKIP() << "binutils' readelf is not installed";
    for (const FileSetItem& item : FileSetItems()) {
        if (!IsModule(item))
            continue;
        const std::string path = std::string(OSTREL_FILESET_DIR) + "/" + ExportName(item);
        SCOPED_TRACE(path);
        const std::string command = "/usr/bin/readelf -h -S -p .modinfo '" + path + "' 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        std::array<char, 4096> buffer{};
        std::size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            out.append(buffer.data(), got);
        const int status = pclose(pipe);
        EXPECT_EQ(status, 0) << out;
        std::string lower = out;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_EQ(lower.find("warning"), std::string::npos) << out;
        EXPECT_EQ(lower.find("error"), std::string::npos) << out;
        EXPECT_NE(out.find("REL (Relocatable file)"), std::string::npos) << out;
        const bool legacy = item.kind == ItemKind::kLegacyModule;
        EXPECT_NE(out.find(legacy ? "PowerPC" : "ARM"), std::string::npos) << out;
        EXPECT_NE(out.find(std::string("charset=") + item.shortName), std::string::npos) << out;
    }
}
