// The GB and BIG5 character charts of glibc iconv, shared by the data generators.
//
// GB is GB2312, rows A1-F7. BIG5 is CP950, rows A1-F9, with the ETEN block C6A1-C8FE taken from
// BIG5-HKSCS where CP950 has no character there; rows FA-FE are user-defined and hold none.
// Private-use code points are not characters of either chart.
#ifndef LEXORA_TOOLS_CHARTS_H
#define LEXORA_TOOLS_CHARTS_H

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lexora::tools {

constexpr char32_t kNoChar = 0;
constexpr uint8_t kFirstLead = 0xA1;
constexpr uint8_t kLastLead = 0xFE;

uint16_t positionOf(uint8_t lead, uint8_t trail);

// GB trail bytes A1-FE.
std::vector<uint8_t> gbTrails();
// BIG5 trail bytes in table order: 40-7E, then A1-FE.
std::vector<uint8_t> big5Trails();

bool isValidChar(char32_t ch);

class Iconv {
  public:
    Iconv(const char* to, const char* from);
    ~Iconv();
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // The whole of `input` converted, or nothing when any of it cannot be converted.
    std::optional<std::string> convert(std::string input);

  private:
    iconv_t handle_;
};

// The two-byte position an encoder from UTF-32LE gives a character, if it gives two bytes.
std::optional<uint16_t> encodeChar(Iconv& encoder, char32_t ch);

// One double-byte code set: the character at each position and the position of each character.
class Chart {
  public:
    // A character already present keeps its first position.
    void add(uint16_t position, char32_t ch);
    void preferPosition(char32_t ch, uint16_t position) { positions_[ch] = position; }

    char32_t charAt(uint16_t position) const { return chars_[position]; }
    std::optional<uint16_t> positionOf(char32_t ch) const;

  private:
    std::vector<char32_t> chars_ = std::vector<char32_t>(0x10000, kNoChar);
    std::unordered_map<char32_t, uint16_t> positions_;
};

Chart loadGbChart();
// A character found at two positions is found where CP950 itself encodes it: 十 at A451 rather
// than the Suzhou numeral at A2CC, box drawings in row A2 rather than in row F9.
Chart loadBig5Chart();

} // namespace lexora::tools

#endif
