// The pure arithmetic of recording a drawn text: splitting it into word-sized runs, the text a
// double-byte run reports, and where a text lands by its alignment. No window-system state.
#ifndef LEXORA_LXSYS_TEXTRUNS_H
#define LEXORA_LXSYS_TEXTRUNS_H

#include <cstddef>
#include <cstdint>

namespace lxsys {

// The 42 bytes that always end a word; NUL ends one too, and '.', ',' and '/' do unless the
// text's join flags keep them (see nextRun).
extern const unsigned char lookupBreakSet[42];

struct TextRun {
    int length = 0;
    bool isBreak = false;
    bool isDoubleByte = false;
};

// The run that starts at text (remaining bytes left, at least 1): a break run of consecutive
// break bytes, or a run of single-byte or of double-byte characters in the current code page.
// With joinSpaced a double-byte character takes along a single space that separates it from
// the next one. Never reads past remaining bytes.
TextRun nextRun(const char* text, int remaining, bool joinSpaced);

// Whether a double-byte character of the current code page starts at text (remaining bytes).
bool doubleByteAt(const char* text, int remaining);

// The text a double-byte run reports: its double-byte characters from the start, up to the
// first position that is not one, without the single spaces joinSpaced lets in between them;
// at most capacity - 1 bytes and a NUL. Its length.
int doubleByteRunText(const char* run, int length, bool joinSpaced, char* out, int capacity);

// Text-alignment bits as the window system defines them.
enum : unsigned {
    kAlignRight = 2,
    kAlignCentre = 6,
    kAlignBottom = 8,
    kAlignBaseline = 24,
};

// The screen rectangle of a whole text drawn with its reference point at (x, y) in screen
// coordinates, width by height device pixels, by its alignment; ascent and descent place
// baseline-aligned text. False when an edge would not fit 32 bits.
struct Placement {
    int32_t left, top, right, bottom;
};
bool placeText(unsigned alignment, int64_t x, int64_t y, int64_t width, int64_t height,
               int64_t ascent, int64_t descent, Placement& placed);

} // namespace lxsys

#endif
