// Drawing into memory for the Chinese display's tests: a DIB section with a Tahoma font, its
// pixels read back, and the glyphs of DICT_GB.FNT and DICT_B5.FNT beside the test program.
#ifndef LEXORA_LXSYS_CANVAS_H
#define LEXORA_LXSYS_CANVAS_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr COLORREF kInk = RGB(200, 0, 0);
constexpr COLORREF kPaper = RGB(0, 200, 0);
constexpr COLORREF kUnder = RGB(0, 0, 200);

// 0x00RRGGBB, as a 32-bit DIB holds a colour.
uint32_t pixelOf(COLORREF colour);

// The 32 bytes of a GB character's glyph as DICT_GB.FNT holds them: 16 rows of 2 bytes.
using Glyph = std::vector<uint8_t>;
Glyph gbGlyph(unsigned char lead, unsigned char trail);
// The same of a BIG5 character from DICT_B5.FNT: 157 glyphs a lead byte, trail bytes 0x40-0x7E
// first, then 0xA1-0xFE.
Glyph big5Glyph(unsigned char lead, unsigned char trail);
bool inkAt(const Glyph& glyph, int row, int column);

// A 32-bit top-down DIB section with a memory DC, ink and paper colours and a Tahoma font of the
// given cell height; filled with kUnder.
class Canvas {
  public:
    Canvas(int width, int height, int fontHeight, bool underlined = false);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC dc() const { return dc_; }
    void fill(COLORREF colour);
    uint32_t at(int x, int y);
    // Pixels of the rectangle not of the given colour.
    int countOther(RECT area, COLORREF colour);
    // Pixels of the 16 x 16 cell at (x, y) that differ from the glyph in ink on paper.
    int glyphMismatches(int x, int y, const Glyph& glyph, COLORREF paper);

  private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previousBitmap_;
    HFONT font_;
    HGDIOBJ previousFont_;
    uint32_t* pixels_;
};

#endif
