// The pieces of the Chinese display that the text drawing, the width and extent queries and
// their tests share inside lxsys.
#ifndef LEXORA_LXSYS_DRAWING_H
#define LEXORA_LXSYS_DRAWING_H

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace lxsys {

// The size of a glyph cell for a font: height h and width c in logical units.
struct GlyphMetrics {
    int height;
    int cellWidth;
};
GlyphMetrics glyphMetrics(const TEXTMETRICA& metrics, bool smallGlyphs);
// The same with the shared smallGlyphs switch.
GlyphMetrics glyphMetricsOf(const TEXTMETRICA& metrics);
TEXTMETRICA textMetricsOf(HDC dc);
bool chineseDisplayOn();

// One run of a text to draw: a maximal sequence of double-byte characters of the page, or of
// single bytes.
struct DrawingRun {
    int length;
    bool doubleByte;
};
// The run at the start of text, of which remaining > 0 bytes may be read.
DrawingRun nextDrawingRun(int page, const char* text, int remaining);

// True when all of [text, text + length) lies in committed memory this process may read.
bool isReadable(const void* text, std::size_t length);

// Bytes in a glyph of the glyph files: 16 rows of 16 pixels, leftmost pixel in the high bit.
constexpr int kGlyphBytes = 32;
enum class GlyphFetch { Copied, Absent, Unreadable };
// Copies glyph `index` of a page's table (the glyph of order number 256 + index). Absent (and a
// blank glyph) when the index lies beyond what the page's file held; Unreadable when the table
// cannot be locked.
GlyphFetch copyGlyph(int page, int index, uint8_t (&glyph)[kGlyphBytes]);

// Translates the short English text in buffer (NUL-terminated, room for
// kTranslationBufferSize bytes) into Chinese in place through the dictionary engine, loaded from
// beside the library the first time; the translation's length, or 0 or -1 when there is none.
constexpr int kTranslationBufferSize = 1024;
int translateShortText(char (&buffer)[kTranslationBufferSize]);

} // namespace lxsys

#endif
