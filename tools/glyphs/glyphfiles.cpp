#include "glyphfiles.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace lexora::glyphs {

namespace {

constexpr char32_t kFirstBoxDrawing = 0x2500;
constexpr char32_t kLastBlockElement = 0x259F;

bool fillsCell(char32_t ch) {
    return ch >= kFirstBoxDrawing && ch <= kLastBlockElement;
}

// Each of the 8 pixels of a narrow row as two pixels of a 16-pixel row.
uint16_t doubled(uint8_t row) {
    uint16_t wide = 0;
    for (int pixel = 0; pixel < 8; ++pixel)
        if (row & (0x80 >> pixel)) wide |= static_cast<uint16_t>(0xC000 >> (2 * pixel));
    return wide;
}

uint16_t centred(uint8_t row) {
    return static_cast<uint16_t>(row << 4);
}

CellGlyph widen(const UnifontGlyph& narrow, uint16_t (*placeRow)(uint8_t)) {
    CellGlyph cell{};
    for (size_t row = 0; row < kGlyphRows; ++row) {
        const uint16_t pixels = placeRow(narrow.bytes[row]);
        cell.rows[row][0] = static_cast<uint8_t>(pixels >> 8);
        cell.rows[row][1] = static_cast<uint8_t>(pixels & 0xFF);
    }
    return cell;
}

void append(std::vector<uint8_t>& out, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

std::string codePointName(char32_t ch) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(ch));
    return name;
}

} // namespace

CellGlyph cellGlyphOf(const Unifont& font, char32_t ch) {
    const UnifontGlyph* glyph = font.find(ch);
    if (glyph == nullptr) return CellGlyph{};
    if (!glyph->wide) return widen(*glyph, fillsCell(ch) ? doubled : centred);
    CellGlyph cell{};
    std::copy(glyph->bytes.begin(), glyph->bytes.end(), &cell.rows[0][0]);
    return cell;
}

GlyphFile glyphFileOf(const Unifont& font, const tools::Chart& chart,
                      const std::vector<uint8_t>& trails) {
    GlyphFile file;
    for (int lead = tools::kFirstLead; lead <= tools::kLastLead; ++lead) {
        for (const uint8_t trail : trails) {
            const char32_t ch = chart.charAt(tools::positionOf(static_cast<uint8_t>(lead), trail));
            if (ch != tools::kNoChar) {
                ++file.characters;
                if (font.find(ch) == nullptr) ++file.missing;
            }
            const CellGlyph cell = ch == tools::kNoChar ? CellGlyph{} : cellGlyphOf(font, ch);
            append(file.bytes, &cell, sizeof cell);
        }
    }
    return file;
}

std::vector<uint8_t> phoneticTableOf(const Unifont& font) {
    std::vector<uint8_t> table;
    for (const char32_t ch : kPhoneticChars) {
        const UnifontGlyph* glyph = font.find(ch);
        if (glyph == nullptr || glyph->wide)
            throw std::runtime_error("the font has no 8 x 16 glyph of " + codePointName(ch));
        PhoneticGlyph phonetic{};
        std::copy_n(glyph->bytes.begin(), kGlyphRows, phonetic.rows);
        append(table, &phonetic, sizeof phonetic);
    }
    return table;
}

size_t countEmptyGlyphs(const std::vector<uint8_t>& file) {
    size_t empty = 0;
    for (size_t start = 0; start + sizeof(CellGlyph) <= file.size(); start += sizeof(CellGlyph)) {
        const auto first = file.begin() + static_cast<std::ptrdiff_t>(start);
        const auto last = first + static_cast<std::ptrdiff_t>(sizeof(CellGlyph));
        if (std::all_of(first, last, [](uint8_t byte) { return byte == 0; })) ++empty;
    }
    return empty;
}

} // namespace lexora::glyphs
