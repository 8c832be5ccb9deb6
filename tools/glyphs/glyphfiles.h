// The glyph files of the Chinese display and the phonetic glyph table, built from Unifont.
//
// A glyph file is a headerless sequence of 16 × 16 glyphs, one per two-byte position of its code
// page in order (lead A1-FE, each lead's trail bytes in order): glyph k starts at byte 32 × k.
// Positions without a character, and characters the font lacks, get an empty glyph.
#ifndef LEXORA_GLYPHS_GLYPHFILES_H
#define LEXORA_GLYPHS_GLYPHFILES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "charts.h"
#include "unifont.h"

namespace lexora::glyphs {

#pragma pack(push, 1)
// A full-width glyph: 16 rows top first, 2 bytes a row, the leftmost pixel in the most
// significant bit of the first byte, a set bit is ink.
struct CellGlyph {
    uint8_t rows[kGlyphRows][2];
};
// A phonetic glyph: 16 rows top first, 1 byte a row, the leftmost pixel in the most significant
// bit.
struct PhoneticGlyph {
    uint8_t rows[kGlyphRows];
};
#pragma pack(pop)
static_assert(sizeof(CellGlyph) == 32 && offsetof(CellGlyph, rows) == 0);
static_assert(sizeof(PhoneticGlyph) == 16 && offsetof(PhoneticGlyph, rows) == 0);

constexpr size_t kGbGlyphs = 94 * 94;
constexpr size_t kBig5Glyphs = 94 * 157;

// The characters of the phonetic glyph table, in table order: ɛ ɔ ɑ ə ʌ θ ð ʃ ʒ ŋ æ.
constexpr std::array<char32_t, 11> kPhoneticChars = {0x025B, 0x0254, 0x0251, 0x0259, 0x028C, 0x03B8,
                                                     0x00F0, 0x0283, 0x0292, 0x014B, 0x00E6};

struct GlyphFile {
    std::vector<uint8_t> bytes;
    size_t characters = 0; // positions that hold a character
    size_t missing = 0;    // characters the font has no glyph for
};

// The full-width glyph of a character. A 16 × 16 glyph is taken as it is. An 8 × 16 glyph is
// centred, except that box drawings and block elements (U+2500-U+259F) are widened to the whole
// cell, each pixel doubled, so that their lines and blocks meet those of the neighbouring cells
// as they do in a full-width font. A character the font lacks gets an empty glyph.
CellGlyph cellGlyphOf(const Unifont& font, char32_t ch);

// The glyph file of a chart whose trail bytes, in order, are `trails` (tools::gbTrails() or
// tools::big5Trails()).
GlyphFile glyphFileOf(const Unifont& font, const tools::Chart& chart,
                      const std::vector<uint8_t>& trails);

// The phonetic glyph table: the 8 × 16 glyphs of kPhoneticChars in order, 176 bytes. Throws
// std::runtime_error when the font has no 8 × 16 glyph of one of them.
std::vector<uint8_t> phoneticTableOf(const Unifont& font);

size_t countEmptyGlyphs(const std::vector<uint8_t>& file);

} // namespace lexora::glyphs

#endif
