#include <QChar>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <iconv.h>

#include "addons/embedded_file.h"

// The tables the program carries, read back against the system's converter:
// the Unicode maps entry by entry, and the codepage tables' case pairs.
namespace {

std::string Item(unsigned id) {
    return std::string(ostrel::addons::FindEmbeddedResource("CODEPAGE", id));
}

std::uint16_t Le16(const std::string& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                      static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

// Decodes bytes to exactly one character with iconv; nothing otherwise.
class Decoder {
public:
    explicit Decoder(const char* charset) : cd_(iconv_open("UTF-32LE", charset)) {}
    ~Decoder() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    std::optional<std::uint32_t> operator()(std::string in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char out[16];
        char* inPtr = in.data();
        char* outPtr = out;
        std::size_t inLeft = in.size();
        std::size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            sizeof out - outLeft != 4)
            return std::nullopt;
        std::uint32_t value;
        std::memcpy(&value, out, 4);
        return value;
    }

private:
    iconv_t cd_;
};

constexpr std::size_t kMapHeader = 30;

struct MapCase {
    unsigned id;
    const char* charset;
    const char* name;
    bool doubleByte;
};

}  // namespace

TEST(FileSetTables, SingleByteMapsMatchTheCharacterSetBothWays) {
    for (const MapCase& map :
         {MapCase{148, "CP850", "850", false}, MapCase{184, "KOI8-R", "KOI8-R", false},
          MapCase{224, "CP852", "852", false}, MapCase{228, "CP857", "857", false}}) {
        SCOPED_TRACE(map.name);
        Decoder decode(map.charset);
        ASSERT_TRUE(decode.Valid());
        const std::string item = Item(map.id);
        ASSERT_EQ(item.size(), 131614u);
        EXPECT_EQ(item.substr(0, 2), "\x01\x80");
        std::string field(map.name);
        field.resize(28, '\0');
        EXPECT_EQ(item.substr(2, 28), field);

        const std::size_t fromUnicode = kMapHeader + 256 * 2;
        int mapped = 0;
        for (unsigned byte = 0; byte < 256; ++byte) {
            const std::uint16_t entry = Le16(item, kMapHeader + byte * 2);
            const auto expected = decode(std::string(1, static_cast<char>(byte)));
            EXPECT_EQ(entry, expected.value_or(0)) << "byte " << byte;
            if (entry != 0) {
                ++mapped;
                EXPECT_EQ(Le16(item, fromUnicode + entry * 2u), byte) << "U+" << std::hex << entry;
            }
        }
        EXPECT_GT(mapped, 250);
        // Characters outside the set have no code.
        EXPECT_EQ(Le16(item, fromUnicode + 0x4E00 * 2), 0);
    }
}

TEST(FileSetTables, DoubleByteMapsRoundTripOnAThousandCodes) {
    for (const MapCase& map :
         {MapCase{156, "CP950", "950", true}, MapCase{160, "CP936", "936", true},
          MapCase{164, "CP932", "932", true}, MapCase{168, "CP949", "949", true}}) {
        SCOPED_TRACE(map.name);
        Decoder decode(map.charset);
        ASSERT_TRUE(decode.Valid());
        const std::string item = Item(map.id);
        ASSERT_EQ(item.size(), 262174u);
        std::string field(map.name);
        field.resize(28, '\0');
        EXPECT_EQ(item.substr(2, 28), field);
        const std::size_t fromUnicode = kMapHeader + 65536 * 2;

        int checked = 0;
        for (unsigned code = 0x8140; code < 0xFF00; code += 7) {
            const std::string bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            const auto expected = decode(bytes);
            if (!expected || *expected > 0xFFFF)
                continue;
            ++checked;
            const std::uint16_t entry = Le16(item, kMapHeader + code * 2);
            EXPECT_EQ(entry, *expected) << "code " << std::hex << code;
            // The reverse table gives a code of that same character.
            const std::uint16_t back = Le16(item, fromUnicode + entry * 2u);
            const std::string backBytes =
                back < 0x100
                    ? std::string(1, static_cast<char>(back))
                    : std::string{static_cast<char>(back >> 8), static_cast<char>(back & 0xFF)};
            EXPECT_EQ(decode(backBytes).value_or(0), entry) << "code " << std::hex << code;
        }
        EXPECT_GE(checked, 1000);
        // ASCII stands for itself in both directions.
        EXPECT_EQ(Le16(item, kMapHeader + 'A' * 2), 'A');
        EXPECT_EQ(Le16(item, fromUnicode + 'A' * 2), 'A');
    }
}

TEST(FileSetTables, CodepageTablesHoldWellFormedCasePairs) {
    struct TableCase {
        unsigned id;
        unsigned codepage;
        const char* charset;
        std::size_t entries;
        std::size_t upperHalfPairsAtLeast;
    };
    for (const TableCase& table :
         {TableCase{143, 850, "CP850", 31, 31}, TableCase{169, 866, "CP866", 145, 36},
          TableCase{222, 852, "CP852", 41, 40}, TableCase{225, 857, "CP857", 31, 30}}) {
        SCOPED_TRACE(table.charset);
        Decoder decode(table.charset);
        const std::string item = Item(table.id);
        ASSERT_EQ(item.size(), 8 + 4 * table.entries);
        EXPECT_EQ(item[0], 1);
        EXPECT_EQ(item[1], 0);
        EXPECT_EQ(Le16(item, 2), table.codepage);
        EXPECT_EQ(Le16(item, 4) | Le16(item, 6) << 16, table.entries * 4);
        std::size_t upperHalfPairs = 0;
        int previous = -1;
        for (std::size_t at = 8; at < item.size(); at += 4) {
            const auto lower = static_cast<unsigned char>(item[at]);
            const auto upper = static_cast<unsigned char>(item[at + 1]);
            EXPECT_EQ(item.substr(at + 2, 2), "\x01\x01");
            EXPECT_GT(lower, previous) << "entries ascend by lower-case code";
            previous = lower;
            if (lower == upper)
                continue;  // identity entries complete the table
            const auto l = decode(std::string(1, static_cast<char>(lower)));
            const auto u = decode(std::string(1, static_cast<char>(upper)));
            ASSERT_TRUE(l && u);
            EXPECT_TRUE(QChar::isLower(*l)) << int(lower);
            EXPECT_EQ(QChar::toUpper(*l), *u) << int(lower);
            upperHalfPairs += lower >= 0x80 ? 1 : 0;
        }
        EXPECT_GE(upperHalfPairs, table.upperHalfPairsAtLeast);
    }
    // The double-byte code pages have a header and nothing else.
    for (unsigned id : {151u, 157u, 161u, 165u}) {
        const std::string item = Item(id);
        ASSERT_EQ(item.size(), 8u);
        EXPECT_EQ(item.substr(4), std::string(4, '\0'));
    }
    // The Cyrillic map is the codepage-866 table again.
    EXPECT_EQ(Item(171), Item(169));
}
