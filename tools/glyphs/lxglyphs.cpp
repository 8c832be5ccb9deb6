// lxglyphs: generates the glyph files of the Chinese display, DICT_GB.FNT and DICT_B5.FNT, and
// the phonetic glyph table PHONETIC.GLY, from GNU Unifont's unifont.hex and the GB and BIG5
// charts of glibc iconv. The same input always yields the same bytes.
//   lxglyphs --unifont unifont.hex --out DIR
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "charts.h"
#include "files.h"
#include "glyphfiles.h"
#include "unifont.h"

namespace {

namespace fs = std::filesystem;
using namespace lexora;

struct Options {
    fs::path unifont;
    fs::path out;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view flag = argv[i];
        if (flag == "--unifont") {
            options.unifont = argv[i + 1];
        } else if (flag == "--out") {
            options.out = argv[i + 1];
        } else {
            return std::nullopt;
        }
    }
    if (argc % 2 == 0 || options.unifont.empty() || options.out.empty()) return std::nullopt;
    return options;
}

void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    tools::writeFile(path,
                     std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void writeGlyphFile(const fs::path& path, const glyphs::GlyphFile& file) {
    writeBytes(path, file.bytes);
    std::printf("%s: %zu glyphs, %zu characters (%zu not in the font), %zu empty\n",
                path.filename().c_str(), file.bytes.size() / sizeof(glyphs::CellGlyph),
                file.characters, file.missing, glyphs::countEmptyGlyphs(file.bytes));
}

void run(const Options& options) {
    const glyphs::Unifont font = glyphs::Unifont::load(options.unifont);
    const std::vector<uint8_t> phonetic = glyphs::phoneticTableOf(font);
    const glyphs::GlyphFile gb = glyphs::glyphFileOf(font, tools::loadGbChart(), tools::gbTrails());
    const glyphs::GlyphFile big5 =
        glyphs::glyphFileOf(font, tools::loadBig5Chart(), tools::big5Trails());

    tools::makeDirectory(options.out);
    writeGlyphFile(options.out / "DICT_GB.FNT", gb);
    writeGlyphFile(options.out / "DICT_B5.FNT", big5);
    writeBytes(options.out / "PHONETIC.GLY", phonetic);
}

} // namespace

int main(int argc, char** argv) {
    const auto options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: lxglyphs --unifont FILE --out DIR\n";
        return 2;
    }
    try {
        run(*options);
    } catch (const std::exception& error) {
        std::cerr << "lxglyphs: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
