// Byte text in a double-byte page, as the program's parts handle it between themselves.
#ifndef LEXORA_APP_TEXT_H
#define LEXORA_APP_TEXT_H

#include <cstddef>

namespace lexora {

// Whether the bytes at `text` start a double-byte character: a byte above 0x80 followed by one
// of at least 0x40.
inline bool startsDoubleByte(const char* text) {
    return static_cast<unsigned char>(text[0]) > 0x80 &&
           static_cast<unsigned char>(text[1]) >= 0x40;
}

// Copies `source` into `dest` of `size` bytes, cut before a character that no longer fits (a
// double-byte pair is never split) and always NUL-terminated; returns the bytes copied.
std::size_t copyWholeCharacters(const char* source, char* dest, std::size_t size);

} // namespace lexora

#endif
