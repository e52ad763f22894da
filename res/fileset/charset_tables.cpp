#include "charset_tables.h"

#include <cerrno>
#include <cstring>

#include <iconv.h>

namespace ostrel::fileset {

namespace {

iconv_t Handle(void* handle) {
    return static_cast<iconv_t>(handle);
}

bool Opened(void* handle) {
    return handle != reinterpret_cast<void*>(-1);
}

}  // namespace

CharsetDecoder::CharsetDecoder(const std::string& charset)
    : handle_(iconv_open("UCS-4LE", charset.c_str())) {}

CharsetDecoder::~CharsetDecoder() {
    if (Opened(handle_))
        iconv_close(Handle(handle_));
}

bool CharsetDecoder::Valid() const {
    return Opened(handle_);
}

std::optional<std::uint16_t> CharsetDecoder::Decode(const unsigned char* bytes, std::size_t count) {
    if (!Valid())
        return std::nullopt;
    iconv(Handle(handle_), nullptr, nullptr, nullptr, nullptr);
    char in[4] = {};
    std::memcpy(in, bytes, count < sizeof in ? count : sizeof in);
    char out[16] = {};
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = count < sizeof in ? count : sizeof in;
    std::size_t outLeft = sizeof out;
    const std::size_t result = iconv(Handle(handle_), &inPtr, &inLeft, &outPtr, &outLeft);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    // Exactly one character must come out, and it must fit the 16-bit tables.
    if (sizeof out - outLeft != 4)
        return std::nullopt;
    const std::uint32_t codePoint =
        static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
        static_cast<unsigned char>(out[2]) << 16 |
        static_cast<std::uint32_t>(static_cast<unsigned char>(out[3])) << 24;
    if (codePoint > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(codePoint);
}

CharsetEncoder::CharsetEncoder(const std::string& charset)
    : handle_(iconv_open(charset.c_str(), "UCS-4LE")) {}

CharsetEncoder::~CharsetEncoder() {
    if (Opened(handle_))
        iconv_close(Handle(handle_));
}

bool CharsetEncoder::Valid() const {
    return Opened(handle_);
}

std::string CharsetEncoder::Encode(std::uint32_t codePoint) {
    if (!Valid())
        return {};
    iconv(Handle(handle_), nullptr, nullptr, nullptr, nullptr);
    char in[4] = {static_cast<char>(codePoint & 0xFF), static_cast<char>(codePoint >> 8 & 0xFF),
                  static_cast<char>(codePoint >> 16 & 0xFF), static_cast<char>(codePoint >> 24)};
    char out[16] = {};
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = sizeof in;
    std::size_t outLeft = sizeof out;
    if (iconv(Handle(handle_), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return {};
    // Flush any shift state, so the bytes stand alone.
    if (iconv(Handle(handle_), nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
        return {};
    return std::string(out, sizeof out - outLeft);
}

std::optional<CharsetTables> ReadCharset(const std::string& charset, bool doubleByte,
                                         std::string& why) {
    CharsetDecoder decoder(charset);
    CharsetEncoder encoder(charset);
    if (!decoder.Valid() || !encoder.Valid()) {
        why = "the converter does not know " + charset + ": " + std::strerror(errno);
        return std::nullopt;
    }
    CharsetTables tables;
    tables.doubleByte = doubleByte;
    tables.toUnicode.assign(doubleByte ? 65536 : 256, 0);
    tables.fromUnicode.assign(65536, 0);

    std::vector<bool> singleByte(256, false);
    for (unsigned byte = 0; byte < 256; ++byte) {
        const unsigned char in = static_cast<unsigned char>(byte);
        if (auto u = decoder.Decode(&in, 1)) {
            tables.toUnicode[byte] = *u;
            singleByte[byte] = true;
        }
    }
    if (doubleByte) {
        // Codes of two bytes: a lead byte that is no character by itself.
        for (unsigned code = 0x100; code < 0x10000; ++code) {
            if (singleByte[code >> 8])
                continue;
            const unsigned char in[2] = {static_cast<unsigned char>(code >> 8),
                                         static_cast<unsigned char>(code & 0xFF)};
            if (auto u = decoder.Decode(in, 2))
                tables.toUnicode[code] = *u;
        }
    }
    for (std::uint32_t u = 1; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        const std::string bytes = encoder.Encode(u);
        if (bytes.size() == 1) {
            tables.fromUnicode[u] = static_cast<unsigned char>(bytes[0]);
        } else if (bytes.size() == 2 && doubleByte) {
            tables.fromUnicode[u] = static_cast<std::uint16_t>(
                static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]));
        }
    }
    return tables;
}

}  // namespace ostrel::fileset
