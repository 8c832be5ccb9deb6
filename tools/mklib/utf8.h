// Reading UTF-8 text one character at a time.
#ifndef LEXORA_MKLIB_UTF8_H
#define LEXORA_MKLIB_UTF8_H

#include <cstddef>
#include <string_view>

namespace lexora::mklib {

constexpr char32_t invalidCharacter = 0xFFFD;

// Decodes the character at pos and moves pos past it. A malformed sequence yields
// invalidCharacter and moves pos by one byte.
char32_t nextCharacter(std::string_view text, std::size_t& pos);

} // namespace lexora::mklib

#endif
