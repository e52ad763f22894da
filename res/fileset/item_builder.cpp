#include "item_builder.h"

#include <QChar>
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "elf_writer.h"

namespace ostrel::fileset {

namespace {

constexpr std::size_t kTableHeaderSize = 8;
constexpr std::size_t kMapNameField = 28;

void PutLe16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void PutLe32(std::string& out, std::uint32_t value) {
    PutLe16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutLe16(out, static_cast<std::uint16_t>(value >> 16));
}

void PutBe16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xFF);
}

using Pair = std::pair<std::uint8_t, std::uint8_t>;

// The entries of a single-byte code page's table, `count` of them:
//  1. every case pair of the upper half: a byte 0x80–0xFF holding a
//     lower-case letter whose one upper-case letter the code page also has;
//  2. if the size holds more, the ASCII pairs a/A ... z/Z, in that order;
//  3. if it still holds more, identity pairs (code, code) of the upper-half
//     codes not yet listed, ascending.
// The chosen entries are sorted by their lower-case code.
std::optional<std::vector<Pair>> CaseEntries(const CharsetTables& tables, std::size_t count,
                                             std::string& why) {
    std::vector<Pair> pairs;
    std::vector<bool> listed(256, false);
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        const char32_t lower = tables.toUnicode[byte];
        if (lower == 0 || !QChar::isLower(lower))
            continue;
        const char32_t upper = QChar::toUpper(lower);
        if (upper == lower || upper > 0xFFFF || tables.fromUnicode[upper] == 0)
            continue;
        pairs.emplace_back(static_cast<std::uint8_t>(byte),
                           static_cast<std::uint8_t>(tables.fromUnicode[upper]));
        listed[byte] = true;
    }
    if (pairs.size() > count) {
        why = "the code page has " + std::to_string(pairs.size()) + " case pairs, room for " +
              std::to_string(count);
        return std::nullopt;
    }
    for (unsigned letter = 'a'; letter <= 'z' && pairs.size() < count; ++letter) {
        pairs.emplace_back(static_cast<std::uint8_t>(letter),
                           static_cast<std::uint8_t>(letter - 'a' + 'A'));
    }
    for (unsigned byte = 0x80; byte < 0x100 && pairs.size() < count; ++byte) {
        if (!listed[byte])
            pairs.emplace_back(static_cast<std::uint8_t>(byte), static_cast<std::uint8_t>(byte));
    }
    if (pairs.size() < count) {
        why = "not enough entries for the table's size";
        return std::nullopt;
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

std::string ModuleInfo(const FileSetItem& item) {
    const char* vermagic = item.kind == ItemKind::kLegacyModule ? "2.4 ppc"
                           : item.kind == ItemKind::kModule266  ? "2.6.6 ARMv5 gcc-3.4"
                                                                : "2.6.12.6 ARMv5 gcc-3.4";
    std::string info;
    for (const std::string& entry :
         {std::string("license=GPL"), std::string("description=NLS ") + item.shortName,
          std::string("charset=") + item.shortName, std::string("vermagic=") + vermagic}) {
        info += entry;
        info += '\0';
    }
    return info;
}

}  // namespace

bool IsDoubleByteCodepage(unsigned codepage) {
    return codepage == 932 || codepage == 936 || codepage == 949 || codepage == 950;
}

bool IsDoubleByteCharset(const std::string& charset) {
    for (const char* name :
         {"CP932", "CP936", "CP949", "CP950", "BIG5", "GB2312", "EUC-JP", "EUC-KR", "SJIS"}) {
        if (charset == name)
            return true;
    }
    return false;
}

const CharsetTables* ItemBuilder::Tables(const std::string& charset, bool doubleByte,
                                         std::string& why) {
    const std::string key = charset + (doubleByte ? "/2" : "/1");
    auto it = tables_.find(key);
    if (it == tables_.end()) {
        auto tables = ReadCharset(charset, doubleByte, why);
        if (!tables)
            return nullptr;
        it = tables_.emplace(key, std::move(*tables)).first;
    }
    return &it->second;
}

std::optional<std::string> ItemBuilder::Build(const FileSetItem& item, std::string& why) {
    std::string out;
    switch (item.kind) {
        case ItemKind::kCodepageTable: {
            std::vector<Pair> entries;
            if (!IsDoubleByteCodepage(item.codepage)) {
                if (item.size < kTableHeaderSize || (item.size - kTableHeaderSize) % 4 != 0) {
                    why = "a codepage table's size must be 8 plus a multiple of 4";
                    return std::nullopt;
                }
                const CharsetTables* tables = Tables(item.charset, false, why);
                if (tables == nullptr)
                    return std::nullopt;
                auto chosen = CaseEntries(*tables, (item.size - kTableHeaderSize) / 4, why);
                if (!chosen)
                    return std::nullopt;
                entries = std::move(*chosen);
            }
            out += '\x01';
            out += '\x00';
            PutLe16(out, static_cast<std::uint16_t>(item.codepage));
            PutLe32(out, static_cast<std::uint32_t>(entries.size() * 4));
            for (const Pair& pair : entries) {
                out += static_cast<char>(pair.first);
                out += static_cast<char>(pair.second);
                out += '\x01';
                out += '\x01';
            }
            break;
        }
        case ItemKind::kUnicodeMap: {
            const CharsetTables* tables =
                Tables(item.charset, IsDoubleByteCodepage(item.codepage), why);
            if (tables == nullptr)
                return std::nullopt;
            out += '\x01';
            out += '\x80';
            std::string name(item.shortName);
            name.resize(kMapNameField, '\0');
            out += name;
            for (std::uint16_t value : tables->toUnicode)
                PutLe16(out, value);
            for (std::uint16_t value : tables->fromUnicode)
                PutLe16(out, value);
            break;
        }
        case ItemKind::kLegacyModule:
        case ItemKind::kModule266:
        case ItemKind::kModule2612: {
            const CharsetTables* tables =
                Tables(item.charset, IsDoubleByteCharset(item.charset), why);
            if (tables == nullptr)
                return std::nullopt;
            const bool legacy = item.kind == ItemKind::kLegacyModule;
            // .data: the set's byte-to-Unicode table (the characters of one
            // byte; 0 for lead bytes and unused codes), in the target's order.
            std::string data;
            for (unsigned byte = 0; byte < 256; ++byte) {
                if (legacy)
                    PutBe16(data, tables->toUnicode[byte]);
                else
                    PutLe16(data, tables->toUnicode[byte]);
            }
            ElfObject object;
            object.bigEndian = legacy;
            object.machine = legacy ? kEmPpc : kEmArm;
            object.osAbi = legacy ? kOsAbiNone : kOsAbiArm;
            object.sections = {
                ElfSection{".text", kShtProgbits, kShfAlloc | kShfExecInstr, 4, {}},
                ElfSection{".data", kShtProgbits, kShfAlloc | kShfWrite, 4, data},
                ElfSection{".modinfo", kShtProgbits, kShfAlloc, 1, ModuleInfo(item)},
            };
            auto elf = WriteElf32(object, item.size);
            if (!elf) {
                why = "the module's sections are larger than its size";
                return std::nullopt;
            }
            out = std::move(*elf);
            break;
        }
    }
    if (out.size() != item.size) {
        why = "made " + std::to_string(out.size()) + " bytes, the item has " +
              std::to_string(item.size);
        return std::nullopt;
    }
    return out;
}

}  // namespace ostrel::fileset
