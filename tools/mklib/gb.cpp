#include "gb.h"

#include "cpconv.h"

#include <iconv.h>

#include <stdexcept>

#include "utf8.h"

namespace lexora::mklib {

namespace {

constexpr char32_t tableSize = 0x10000;

bool isGbByte(unsigned char byte) {
    return byte >= 0xA1 && byte <= 0xFE;
}

// One character through a glibc iconv descriptor from UTF-8 into a double-byte code set.
class DoubleByteConverter {
  public:
    explicit DoubleByteConverter(const char* to) : descriptor_(iconv_open(to, "UTF-8")) {
        if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert UTF-8 to ") + to);
        }
    }
    ~DoubleByteConverter() { iconv_close(descriptor_); }
    DoubleByteConverter(const DoubleByteConverter&) = delete;
    DoubleByteConverter& operator=(const DoubleByteConverter&) = delete;

    // The two bytes of c (lead in the high byte), or 0 when the code set lacks it.
    uint16_t convert(char32_t c) {
        char utf8[4];
        const std::size_t length = encodeUtf8(c, utf8);
        char output[8];
        char* in = utf8;
        std::size_t inLeft = length;
        char* out = output;
        std::size_t outLeft = sizeof output;
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(descriptor_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
            return 0;
        }
        if (out - output != 2) return 0;
        return static_cast<uint16_t>(static_cast<unsigned char>(output[0]) << 8 |
                                     static_cast<unsigned char>(output[1]));
    }

  private:
    static std::size_t encodeUtf8(char32_t c, char* out) {
        if (c < 0x800) {
            out[0] = static_cast<char>(0xC0 | c >> 6);
            out[1] = static_cast<char>(0x80 | (c & 0x3F));
            return 2;
        }
        out[0] = static_cast<char>(0xE0 | c >> 12);
        out[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }

    iconv_t descriptor_;
};

// A BIG5 character (lead in the high byte) in GB2312 through cpconv, or 0.
uint16_t big5ToGb(uint16_t big5) {
    const unsigned gb = CPC_ConvertADBCS(CPC_FLAG_BIG5_TO_GB, (big5 >> 8) | (big5 & 0xFF) << 8);
    const auto lead = static_cast<unsigned char>(gb & 0xFF);
    const auto trail = static_cast<unsigned char>(gb >> 8 & 0xFF);
    if (!isGbByte(lead) || !isGbByte(trail)) return 0;
    return static_cast<uint16_t>(lead << 8 | trail);
}

bool isSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Without its tables cpconv would copy BIG5 bytes unchanged, which must not pass for GB.
void requireCpconv() {
    char reason[256];
    if (CPC_LoadFailure(reason, sizeof reason) > 0) {
        throw std::runtime_error(std::string("cpconv did not load: ") + reason);
    }
}

} // namespace

GbEncoder::GbEncoder() : table_(tableSize, 0) {
    requireCpconv();
    for (char32_t c = 1; c < 0x80; ++c)
        table_[c] = static_cast<uint16_t>(c < 0x20 || c == 0x7F ? ' ' : c);
    table_[0xA0] = ' ';
    DoubleByteConverter toGb("GB2312");
    DoubleByteConverter toBig5("CP950");
    for (char32_t c = 0x80; c < tableSize; ++c) {
        if (isSurrogate(c) || table_[c] != 0) continue;
        table_[c] = toGb.convert(c);
        if (table_[c] != 0) continue;
        const uint16_t big5 = toBig5.convert(c);
        if (big5 != 0) table_[c] = big5ToGb(big5);
    }
}

bool GbEncoder::encode(std::string_view text, std::string& out) const {
    const std::size_t start = out.size();
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t c = nextCharacter(text, pos);
        const uint16_t gb = c < tableSize ? table_[c] : 0;
        if (gb == 0 || c == invalidCharacter) {
            out.resize(start);
            return false;
        }
        if (gb > 0xFF) out += static_cast<char>(gb >> 8);
        out += static_cast<char>(gb & 0xFF);
    }
    return true;
}

std::optional<std::string> GbEncoder::encode(std::string_view text) const {
    std::string out;
    if (!encode(text, out)) return std::nullopt;
    return out;
}

} // namespace lexora::mklib
