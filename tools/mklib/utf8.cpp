#include "utf8.h"

namespace lexora::mklib {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The sequence length a lead byte announces and the payload bits it carries; 0 for a byte that
// cannot start a character.
std::size_t sequenceLength(unsigned char lead, char32_t& bits) {
    if (lead < 0x80) {
        bits = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        bits = lead & 0x1F;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        bits = lead & 0x0F;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        bits = lead & 0x07;
        return 4;
    }
    return 0;
}

bool isOverlongOrOutOfRange(char32_t c, std::size_t length) {
    static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF);
}

} // namespace

char32_t nextCharacter(std::string_view text, std::size_t& pos) {
    char32_t c = 0;
    const std::size_t length = sequenceLength(static_cast<unsigned char>(text[pos]), c);
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return invalidCharacter;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(byte)) {
            ++pos;
            return invalidCharacter;
        }
        c = c << 6 | (byte & 0x3F);
    }
    if (isOverlongOrOutOfRange(c, length)) {
        ++pos;
        return invalidCharacter;
    }
    pos += length;
    return c;
}

} // namespace lexora::mklib
