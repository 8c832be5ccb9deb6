#include "charts.h"

#include <array>
#include <stdexcept>

namespace lexora::tools {

namespace {

constexpr uint8_t kLastGbLead = 0xF7;
constexpr uint8_t kLastBig5Lead = 0xF9;
constexpr uint16_t kFirstEtenPosition = 0xC6A1;
constexpr uint16_t kLastEtenPosition = 0xC8FE;

// The character at a two-byte position through a decoder to UTF-32LE, or kNoChar when the
// position holds no single character. Private-use code points are not characters here.
char32_t decodePosition(Iconv& decoder, uint16_t position) {
    const std::string bytes{static_cast<char>(position >> 8), static_cast<char>(position & 0xFF)};
    const auto utf32 = decoder.convert(bytes);
    if (!utf32 || utf32->size() != 4) return kNoChar;
    char32_t ch = 0;
    for (int i = 3; i >= 0; --i)
        ch = ch << 8 | static_cast<uint8_t>((*utf32)[i]);
    const bool privateUse = ch >= 0xE000 && ch <= 0xF8FF;
    return privateUse || !isValidChar(ch) ? kNoChar : ch;
}

bool inEtenBlock(uint16_t position) {
    return position >= kFirstEtenPosition && position <= kLastEtenPosition;
}

} // namespace

uint16_t positionOf(uint8_t lead, uint8_t trail) {
    return static_cast<uint16_t>(lead << 8 | trail);
}

std::vector<uint8_t> gbTrails() {
    std::vector<uint8_t> trails;
    for (int trail = 0xA1; trail <= 0xFE; ++trail)
        trails.push_back(static_cast<uint8_t>(trail));
    return trails;
}

std::vector<uint8_t> big5Trails() {
    std::vector<uint8_t> trails;
    for (int trail = 0x40; trail <= 0x7E; ++trail)
        trails.push_back(static_cast<uint8_t>(trail));
    for (int trail = 0xA1; trail <= 0xFE; ++trail)
        trails.push_back(static_cast<uint8_t>(trail));
    return trails;
}

bool isValidChar(char32_t ch) {
    return ch != kNoChar && ch <= 0x10FFFF && (ch < 0xD800 || ch > 0xDFFF);
}

Iconv::Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("cannot open iconv from ") + from + " to " + to);
}

Iconv::~Iconv() {
    iconv_close(handle_);
}

std::optional<std::string> Iconv::convert(std::string input) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    std::array<char, 64> output{};
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    if (iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    if (iconv(handle_, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    return std::string(output.data(), out);
}

std::optional<uint16_t> encodeChar(Iconv& encoder, char32_t ch) {
    std::string utf32;
    for (int i = 0; i < 4; ++i)
        utf32 += static_cast<char>(ch >> (8 * i) & 0xFF);
    const auto bytes = encoder.convert(utf32);
    if (!bytes || bytes->size() != 2) return std::nullopt;
    return positionOf(static_cast<uint8_t>((*bytes)[0]), static_cast<uint8_t>((*bytes)[1]));
}

void Chart::add(uint16_t position, char32_t ch) {
    chars_[position] = ch;
    positions_.try_emplace(ch, position);
}

std::optional<uint16_t> Chart::positionOf(char32_t ch) const {
    const auto found = positions_.find(ch);
    if (found == positions_.end()) return std::nullopt;
    return found->second;
}

Chart loadGbChart() {
    Iconv decoder("UTF-32LE", "GB2312");
    Chart chart;
    for (int lead = kFirstLead; lead <= kLastGbLead; ++lead) {
        for (const uint8_t trail : gbTrails()) {
            const uint16_t position = positionOf(static_cast<uint8_t>(lead), trail);
            if (const char32_t ch = decodePosition(decoder, position)) chart.add(position, ch);
        }
    }
    return chart;
}

Chart loadBig5Chart() {
    Iconv decoder("UTF-32LE", "CP950");
    Iconv etenDecoder("UTF-32LE", "BIG5-HKSCS");
    Iconv encoder("CP950", "UTF-32LE");
    Chart chart;
    std::vector<uint16_t> positions;
    for (int lead = kFirstLead; lead <= kLastBig5Lead; ++lead) {
        for (const uint8_t trail : big5Trails()) {
            const uint16_t position = positionOf(static_cast<uint8_t>(lead), trail);
            char32_t ch = decodePosition(decoder, position);
            if (!ch && inEtenBlock(position)) ch = decodePosition(etenDecoder, position);
            if (!ch) continue;
            chart.add(position, ch);
            positions.push_back(position);
        }
    }
    for (const uint16_t position : positions) {
        const char32_t ch = chart.charAt(position);
        if (encodeChar(encoder, ch) == position) chart.preferPosition(ch, position);
    }
    return chart;
}

} // namespace lexora::tools
