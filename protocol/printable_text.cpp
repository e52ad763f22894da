#include "protocol/printable_text.h"

namespace {

// The length of the well-formed UTF-8 sequence at the start of text, 0 when
// there is none (ASCII included).
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) ||
        (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F)) {
        return 0;
    }
    return length;
}

// C1 controls written as UTF-8 (U+0080 to U+009F), and the characters that
// turn the direction of the text around (U+061C, U+200E, U+200F, U+202A to
// U+202E, U+2066 to U+2069), with which a name could show as another.
bool IsControlSequence(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(sequence[i]); };
    if (sequence.size() == 2) {
        return (byte(0) == 0xC2 && byte(1) <= 0x9F) || (byte(0) == 0xD8 && byte(1) == 0x9C);
    }
    if (sequence.size() == 3 && byte(0) == 0xE2) {
        return (byte(1) == 0x80 && (byte(2) == 0x8E || byte(2) == 0x8F)) ||
               (byte(1) == 0x80 && byte(2) >= 0xAA && byte(2) <= 0xAE) ||
               (byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9);
    }
    return false;
}

}  // namespace

std::string PrintableText(std::string_view text) {
    // C0 controls, DEL and the C1 controls (a lone byte 0x80-0x9F, or U+0080 to
    // U+009F in UTF-8) would reach the terminal as commands; each becomes '?'.
    // Other bytes, UTF-8 or a legacy code page, are kept.
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text.substr(i));
        if (length > 0) {
            const std::string_view sequence = text.substr(i, length);
            out += IsControlSequence(sequence) ? std::string_view("?") : sequence;
            i += length;
            continue;
        }
        // A byte that starts no UTF-8 sequence is shown as "?", as JSON
        // shows it as U+FFFD: a terminal would take it as anything.
        const auto byte = static_cast<unsigned char>(text[i]);
        out += byte < 0x20 || byte >= 0x7F ? '?' : text[i];
        ++i;
    }
    return out;
}
