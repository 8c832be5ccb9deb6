#include "controls.h"

#include "core/files.h"

namespace lexora {

namespace {

constexpr int kGlyphRows = 16;
constexpr int kGlyphColumns = 8;
constexpr int kGlyphAdvance = 7;

void drawGlyph(HDC dc, int x, int y, const unsigned char* rows, COLORREF colour) {
    for (int row = 0; row < kGlyphRows; ++row)
        for (int column = 0; column < kGlyphColumns; ++column)
            if (rows[row] & (0x80 >> column)) SetPixel(dc, x + column, y + row, colour);
}

// The bytes of the character at `text`: a lead byte above 0x80 with a following byte above
// 0x20 make one double-byte character.
int characterLength(const unsigned char* text) {
    return text[0] > 0x80 && text[1] > 0x20 ? 2 : 1;
}

} // namespace

void drawPhoneticText(HDC dc, int x, int y, const char* text) {
    COLORREF colour = GetTextColor(dc);
    const auto* at = reinterpret_cast<const unsigned char*>(text);
    while (*at) {
        if (const unsigned char* glyph = phoneticGlyph(static_cast<char>(*at))) {
            drawGlyph(dc, x, y, glyph, colour);
            x += kGlyphAdvance;
            ++at;
            continue;
        }
        int length = characterLength(at);
        const char* character = reinterpret_cast<const char*>(at);
        TextOutA(dc, x, y, character, length);
        SIZE extent{};
        GetTextExtentPointA(dc, character, length, &extent);
        x += extent.cx;
        at += length;
    }
}

} // namespace lexora
