#include "protocol/ipv4_text.h"

bool IsDottedDecimalIpv4(std::string_view text) {
    std::size_t pos = 0;
    for (int octet = 0; octet < 4; ++octet) {
        if (octet > 0) {
            if (pos >= text.size() || text[pos] != '.') {
                return false;
            }
            ++pos;
        }
        const std::size_t start = pos;
        int value = 0;
        while (pos < text.size() && pos - start < 4 && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + (text[pos] - '0');
            ++pos;
        }
        const std::size_t digits = pos - start;
        if (digits == 0 || digits > 3 || value > 255 || (digits > 1 && text[start] == '0')) {
            return false;
        }
    }
    return pos == text.size();
}
