// The larger pictures: the title animation, the background, the logo and the icon.
#include "pictures.h"

#include "draw.h"
#include "glyphfiles.h"
#include "globe.h"

#include <wordbank.h>

#include <algorithm>
#include <string>

namespace lexora::art {

namespace {

Rgb verticalGradient(Rgb top, Rgb bottom, int y, int height) {
    return mix(top, bottom, height > 1 ? static_cast<double>(y) / (height - 1) : 0.0);
}

void fillGradient(Image& image, Rgb top, Rgb bottom) {
    for (int y = 0; y < image.height(); ++y)
        fillRect(image, 0, y, image.width(), 1, verticalGradient(top, bottom, y, image.height()));
}

// Text centred across the image, with a soft shadow when asked.
void centredText(Image& image, const glyphs::Unifont& font, const char* text, int y, int scale,
                 Rgb colour, bool shadow = false) {
    const Mask mask = smoothlyScaled(textMask(font, text), scale);
    const int x = (image.width() - mask.width()) / 2;
    if (shadow) paint(image, mask, x + scale, y + scale, colour::kBlack, 0.55);
    paint(image, mask, x, y, colour);
}

} // namespace

Image animationFrame(int index) {
    Image image(kAnimationFrameSize, kAnimationFrameSize, colour::kSilver);
    const int size = kAnimationFrameSize - 4;
    // The surface moves from left to right, one twelfth of a turn a frame.
    paintGlobe(image, globe(size, -static_cast<double>(index) / kAnimationFrames), 2, 2);
    return image;
}

Image backgroundFace() {
    constexpr int kWidth = 404, kHeight = 242, kLattice = 24;
    Image image(kWidth, kHeight, colour::kWhite);
    fillGradient(image, {214, 227, 242}, {245, 242, 230});
    // A faint lattice of diagonal lines with a dot in each diamond.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int rising = (x + y) % kLattice;
            const int falling = (x - y + kHeight * kLattice) % kLattice;
            if (rising == 0 || falling == 0)
                image.blend(x, y, colour::kWhite, 0.5);
            else if (rising == kLattice / 2 && falling == kLattice / 2)
                image.blend(x, y, {120, 146, 190}, 0.3);
        }
    }
    return image;
}

Image logo(const glyphs::Unifont& font) {
    constexpr int kWidth = 320, kHeight = 240;
    Image image(kWidth, kHeight, colour::kBlack);
    fillGradient(image, {16, 38, 96}, {44, 102, 170});
    paintGlobe(image, globe(200, 0.15), 60, 30, 0.16);
    constexpr Rgb kGold{255, 206, 72};
    centredText(image, font, "LEXORA", 10, 4, kGold, true);
    centredText(image, font, "词海舟", 82, 2, colour::kWhite, true);
    fillRect(image, 60, 124, 200, 1, kGold);
    centredText(image, font, "English-Chinese Dictionary", 132, 1, {222, 232, 255});
    centredText(image, font, "for Windows NT   V2.0", 150, 1, {222, 232, 255});
    centredText(image, font, "晨野坊  Morrow Fields Ltd.", 212, 1, {196, 208, 232});
    return image;
}

Image smallLogo(const glyphs::Unifont& font) {
    constexpr int kWidth = 152, kHeight = 114;
    Image image(kWidth, kHeight, colour::kBlack);
    fillGradient(image, {16, 38, 96}, {44, 102, 170});
    paintGlobe(image, globe(100, 0.15), 26, 10, 0.2);
    centredText(image, font, "LEXORA", 12, 2, {255, 206, 72}, true);
    centredText(image, font, "词海舟", 50, 1, colour::kWhite);
    fillRect(image, 26, 72, 100, 1, {255, 206, 72});
    centredText(image, font, "V2.0", 80, 1, {222, 232, 255});
    return image;
}

namespace {

// The capitals of a soundmark's letter form that stand for phonetic symbols.
constexpr char kSoundmarkLetters[] = "CEGNOQRSVXZ";

// A phonetic code ('/' or '0' ... '9') as drawn by the program: its glyph in the phonetic table.
Mask phoneticGlyphMask(const std::vector<uint8_t>& table, char code) {
    const int index = code == '/' ? 0 : code - '0' + 1;
    const int rows = static_cast<int>(glyphs::kGlyphRows);
    Mask mask(8, rows);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < 8; ++column)
            if (table.at(static_cast<size_t>(index * rows + row)) & (0x80 >> column))
                mask.set(column, row, 255);
    return mask;
}

} // namespace

Image phoneticLetterTable(const glyphs::Unifont& font) {
    constexpr int kCellWidth = 15, kCellHeight = 18, kGlyphInset = 4;
    constexpr int kColumns = sizeof kSoundmarkLetters - 1;
    // The codes come from the user library's own conversion, so the table cannot disagree with it.
    char codes[sizeof kSoundmarkLetters];
    std::copy_n(kSoundmarkLetters, sizeof codes, codes);
    WBK_CVTSound(WBK_LETTERS_TO_CODES, codes);
    const std::vector<uint8_t> glyphTable = glyphs::phoneticTableOf(font);
    Image image(kColumns * kCellWidth + 1, 2 * kCellHeight + 1, colour::kWhite);
    fillRect(image, 0, 0, image.width(), kCellHeight, {255, 255, 224});
    for (int column = 0; column < kColumns; ++column) {
        const int x = column * kCellWidth;
        frameRect(image, x, 0, kCellWidth + 1, kCellHeight + 1, colour::kGrey);
        frameRect(image, x, kCellHeight, kCellWidth + 1, kCellHeight + 1, colour::kGrey);
        paint(image, textMask(font, std::string(1, kSoundmarkLetters[column])), x + kGlyphInset, 1,
              colour::kNavy);
        paint(image, phoneticGlyphMask(glyphTable, codes[column]), x + kGlyphInset, kCellHeight + 1,
              colour::kBlack);
    }
    return image;
}

namespace {

CursorPicture cursorOf(const PixelArt& art, int hotX, int hotY) {
    constexpr int kCursorSize = 32;
    Image image(kCursorSize, kCursorSize, colour::kBlack);
    stamp(image, 0, 0, art);
    std::vector<uint8_t> alpha(kCursorSize * kCursorSize, 0);
    for (int row = 0; row < static_cast<int>(art.size()); ++row)
        for (int column = 0; column < static_cast<int>(art[row].size()); ++column)
            if (art[row][column] != '.') alpha[row * kCursorSize + column] = 255;
    return {{image, alpha}, hotX, hotY};
}

} // namespace

CursorPicture handCursor() {
    return cursorOf({".....kk", "....kwwk", "....kwwk", "....kwwk", "....kwwk", "....kwwkkk",
                     "....kwwkwwkkk", "....kwwkwwkwwkk", ".kk.kwwkwwkwwkwk", "kwwkkwwwwwwwwkwk",
                     "kwwwkwwwwwwwwwwk", ".kwwkwwwwwwwwwwk", "..kwwwwwwwwwwwwk", "..kwwwwwwwwwwwk",
                     "...kwwwwwwwwwwk", "...kwwwwwwwwwk", "....kwwwwwwwwk", "....kwwwwwwwwk",
                     "....kkkkkkkkkk"},
                    5, 0);
}

CursorPicture textLineCursor() {
    return cursorOf({"k",
                     "kk",
                     "kwk",
                     "kwwk",
                     "kwwwk",
                     "kwwwwk",
                     "kwwwwwk",
                     "kwwwwwwk",
                     "kwwwwwwwk",
                     "kwwwwwkkkk",
                     "kwwkwwk",
                     "kwk.kwwk",
                     "kk..kwwkkkkkkkk",
                     "k....kwwkyyyyyk",
                     ".....kwwkyyyyyk",
                     "......kkyrrrryk",
                     ".......kyyyyyyk",
                     ".......kynnnyyk",
                     ".......kyyyyyyk",
                     ".......kkkkkkkk"},
                    0, 0);
}

std::vector<IconPicture> programIcon() {
    std::vector<IconPicture> pictures;
    for (int size : {16, 32, 48})
        pictures.push_back(globe(size, 0.0));
    return pictures;
}

} // namespace lexora::art
