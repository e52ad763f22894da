#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Character-set tables read from the system's converter (glibc iconv), for
// the generator of the file set.
namespace ostrel::fileset {

struct CharsetTables {
    bool doubleByte = false;
    // Single-byte sets: 256 entries, byte → Unicode. Double-byte sets: 65536
    // entries, code (lead byte × 256 + trail byte, or the byte itself for a
    // character of one byte) → Unicode. 0 where the set has no character.
    std::vector<std::uint16_t> toUnicode;
    // 65536 entries, Unicode → byte or code; 0 where the set has no code.
    std::vector<std::uint16_t> fromUnicode;
};

// Builds the tables of `charset` (an iconv name); nothing, with the reason in
// why, when the converter does not know it.
std::optional<CharsetTables> ReadCharset(const std::string& charset, bool doubleByte,
                                         std::string& why);

// The character of one or two bytes in `charset`, when the bytes make exactly
// one character of the Basic Multilingual Plane.
class CharsetDecoder {
public:
    explicit CharsetDecoder(const std::string& charset);
    ~CharsetDecoder();
    CharsetDecoder(const CharsetDecoder&) = delete;
    CharsetDecoder& operator=(const CharsetDecoder&) = delete;

    bool Valid() const;
    std::optional<std::uint16_t> Decode(const unsigned char* bytes, std::size_t count);

private:
    void* handle_;
};

class CharsetEncoder {
public:
    explicit CharsetEncoder(const std::string& charset);
    ~CharsetEncoder();
    CharsetEncoder(const CharsetEncoder&) = delete;
    CharsetEncoder& operator=(const CharsetEncoder&) = delete;

    bool Valid() const;
    // The bytes of one character; empty when the set has none for it.
    std::string Encode(std::uint32_t codePoint);

private:
    void* handle_;
};

}  // namespace ostrel::fileset
