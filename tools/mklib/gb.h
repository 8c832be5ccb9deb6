// UTF-8 to GB2312 for entry texts: glibc's GB2312 table first, then the character's BIG5 form
// through cpconv's BIG5-to-GB table, which maps traditional and variant characters.
#ifndef LEXORA_MKLIB_GB_H
#define LEXORA_MKLIB_GB_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexora::mklib {

class GbEncoder {
  public:
    // Builds the table of every character of the Basic Multilingual Plane at once, so that
    // encoding is a lookup and the encoder can be shared between threads.
    GbEncoder();

    // Appends the GB2312 form of text to out; false, with out unchanged, when a character has
    // none. Control characters and no-break spaces become spaces: in meanings the bytes below
    // 0x20 are part-of-speech codes.
    bool encode(std::string_view text, std::string& out) const;
    std::optional<std::string> encode(std::string_view text) const;

  private:
    std::vector<uint16_t> table_; // code point -> GB bytes (lead in the high byte), 0 for none
};

// The number of bytes of the GB character that starts with lead: 2 for a lead above 0x80.
inline std::size_t gbCharacterLength(unsigned char lead) {
    return lead > 0x80 ? 2 : 1;
}

} // namespace lexora::mklib

#endif
