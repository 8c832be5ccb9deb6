// GNU Unifont's glyphs, read from its .hex format: one glyph a line, "CODEPOINT:BITMAP", the code
// point in 4 to 6 hexadecimal digits, the bitmap in 32 (8 × 16 pixels) or 64 (16 × 16 pixels)
// hexadecimal digits, rows top first, the leftmost pixel in the most significant bit.
#ifndef LEXORA_GLYPHS_UNIFONT_H
#define LEXORA_GLYPHS_UNIFONT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <string>
#include <unordered_map>

namespace lexora::glyphs {

constexpr size_t kGlyphRows = 16;

struct UnifontGlyph {
    bool wide = false; // 16 × 16; otherwise 8 × 16
    // Two bytes a row when wide; otherwise one byte a row in the first 16 bytes.
    std::array<uint8_t, 2 * kGlyphRows> bytes{};
};

class Unifont {
  public:
    // Reads a whole .hex text; throws std::runtime_error naming `name` and the line when any
    // line is malformed or too long, a code point is listed twice, or the text holds no glyph.
    // Blank lines are skipped.
    static Unifont read(std::istream& in, const std::string& name);
    // Reads a .hex file; throws std::runtime_error when it cannot be read or is malformed.
    static Unifont load(const std::filesystem::path& path);

    // The glyph of a character, or nullptr when the font has none.
    const UnifontGlyph* find(char32_t ch) const;
    size_t size() const { return glyphs_.size(); }

  private:
    std::unordered_map<char32_t, UnifontGlyph> glyphs_;
};

// The main of a generator that draws from Unifont: `tool --unifont FILE --out DIR`. Runs `run`
// with the loaded font and the output directory (created); a usage error exits 2, a failure
// (reported with the tool's name) 1.
using UnifontToolRun = std::function<void(const Unifont& font, const std::filesystem::path& out)>;
int runUnifontTool(int argc, char** argv, const char* name, const UnifontToolRun& run);

} // namespace lexora::glyphs

#endif
