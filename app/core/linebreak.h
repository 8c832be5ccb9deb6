// Breaking a text gadget's text into lines that fit a width: an English line at its last space,
// a Chinese line before the character that passes the limit, and a new line before every
// part-of-speech label.
#ifndef LEXORA_APP_LINEBREAK_H
#define LEXORA_APP_LINEBREAK_H

#include <functional>

namespace lexora {

// The width of `length` bytes of text from `text`, as drawn.
using MeasureText = std::function<int(const char* text, int length)>;

// Breaks `length` bytes of `text` (double-byte characters in the current code page) into lines
// narrower than `widthLimit`, stored one after another in `lines`, each ended by a NUL, never
// past `linesSize` bytes. Returns the number of lines stored.
int breakLines(const char* text, int length, int widthLimit, char* lines, int linesSize,
               const MeasureText& measure);

// The bytes of the character at `at` in the current code page, never reaching `end`: 2 where a
// double-byte character starts whose second byte lies before `end`, else 1.
int characterBytes(const char* at, const char* end);

} // namespace lexora

#endif
