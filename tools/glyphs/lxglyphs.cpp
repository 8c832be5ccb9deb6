// lxglyphs: generates the glyph files of the Chinese display, DICT_GB.FNT and DICT_B5.FNT, and
// the phonetic glyph table PHONETIC.GLY, from GNU Unifont's unifont.hex and the GB and BIG5
// charts of glibc iconv. The same input always yields the same bytes.
//   lxglyphs --unifont unifont.hex --out DIR
#include <cstdio>
#include <filesystem>
#include <vector>

#include "charts.h"
#include "files.h"
#include "glyphfiles.h"
#include "unifont.h"

namespace {

namespace fs = std::filesystem;
using namespace lexora;

void writeGlyphFile(const fs::path& path, const glyphs::GlyphFile& file) {
    tools::writeFile(path, file.bytes);
    std::printf("%s: %zu glyphs, %zu characters (%zu not in the font), %zu empty\n",
                path.filename().c_str(), file.bytes.size() / sizeof(glyphs::CellGlyph),
                file.characters, file.missing, glyphs::countEmptyGlyphs(file.bytes));
}

void run(const glyphs::Unifont& font, const fs::path& out) {
    const std::vector<uint8_t> phonetic = glyphs::phoneticTableOf(font);
    const glyphs::GlyphFile gb = glyphs::glyphFileOf(font, tools::loadGbChart(), tools::gbTrails());
    const glyphs::GlyphFile big5 =
        glyphs::glyphFileOf(font, tools::loadBig5Chart(), tools::big5Trails());
    writeGlyphFile(out / "DICT_GB.FNT", gb);
    writeGlyphFile(out / "DICT_B5.FNT", big5);
    tools::writeFile(out / "PHONETIC.GLY", phonetic);
}

} // namespace

int main(int argc, char** argv) {
    return glyphs::runUnifontTool(argc, argv, "lxglyphs", run);
}
