// The tool bar's button pictures, 20 x 20 pixels in the standard 16 colours on button grey.
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "draw.h"
#include "pictures.h"

namespace lexora::art {

namespace {

using namespace colour;

constexpr int kSize = kToolBarPictureSize;

void paintBold(Image& image, const glyphs::Unifont& font, const char* text, int x, int y,
               Rgb colour) {
    const Mask mask = textMask(font, text);
    paint(image, mask, x, y, colour);
    paint(image, mask, x + 1, y, colour);
}

// Help: a question mark on a blue disk.
Image helpPicture(const glyphs::Unifont& font) {
    Image image(kSize, kSize, kSilver);
    fillDisk(image, 10, 10, 9.8, kNavy);
    fillDisk(image, 10, 10, 8.8, kBlue);
    paintBold(image, font, "?", 6, 2, kWhite);
    return image;
}

// About: an "i" on a white disk.
Image aboutPicture(const glyphs::Unifont& font) {
    Image image(kSize, kSize, kSilver);
    fillDisk(image, 10, 10, 9.8, kNavy);
    fillDisk(image, 10, 10, 8.6, kWhite);
    paintBold(image, font, "i", 6, 2, kNavy);
    return image;
}

// Setup: a gear of eight teeth around a hub lit from the upper left.
Image setupPicture() {
    Image image(kSize, kSize, kSilver);
    auto inGear = [](int x, int y) {
        const double dx = x + 0.5 - 10, dy = y + 0.5 - 10;
        const double radius = std::hypot(dx, dy);
        const bool tooth = std::cos(8 * std::atan2(dy, dx)) > -0.1;
        return radius >= 3.1 && radius <= (tooth ? 9.6 : 7.1);
    };
    auto onEdge = [&](int x, int y) {
        return !inGear(x - 1, y) || !inGear(x + 1, y) || !inGear(x, y - 1) || !inGear(x, y + 1);
    };
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (!inGear(x, y)) continue;
            const bool lit = std::hypot(x + 0.5 - 10, y + 0.5 - 10) < 4.7 && x + y < 19;
            image.set(x, y, onEdge(x, y) ? kBlack : lit ? kWhite : kGrey);
        }
    }
    return image;
}

// Catching words: the pointer resting on a word, with the yellow prompt bar under it.
Image catchWordPicture() {
    Image image(kSize, kSize, kSilver);
    fillRect(image, 7, 11, 13, 8, kYellow);
    frameRect(image, 7, 11, 13, 8, kBlack);
    fillRect(image, 10, 13, 8, 1, kNavy);
    fillRect(image, 10, 15, 6, 1, kRed);
    stamp(image, 1, 1,
          {"k", "kk", "kwk", "kwwk", "kwwwk", "kwwwwk", "kwwwwwk", "kwwwwwwk", "kwwwwwwwk",
           "kwwwwwkkkk", "kwwkwwk", "kwk.kwwk", "kk..kwwk", "k....kwwk", ".....kwwk", "......kk"});
    return image;
}

// The converter: a red arrow to the right over a blue one to the left.
Image converterPicture() {
    Image image(kSize, kSize, kSilver);
    stampOutlined(image, 2, 2,
                  {".........r", ".........rr", "rrrrrrrrrrrr", "rrrrrrrrrrrrr", "rrrrrrrrrrrr",
                   ".........rr", ".........r"});
    stampOutlined(
        image, 5, 11,
        {"...b", "..bb", ".bbbbbbbbbbbb", "bbbbbbbbbbbbb", ".bbbbbbbbbbbb", "..bb", "...b"});
    return image;
}

const PixelArt kUpArrow = {"..l..", ".lll.", "lllll", ".lll.", ".lll.", ".lll.", ".lll."};
const PixelArt kDownArrow = {".rrr.", ".rrr.", ".rrr.", ".rrr.", "rrrrr", ".rrr.", "..r.."};

// The memory words: a spiral notebook.
void drawNotebook(Image& image) {
    stamp(image, 1, 2,
          {".kkkkkkkkkkkk", "kkwwwwwwwwwwk", ".kwrwwwwwwwwk", "kkwrnnnnnnnwk", ".kwrwwwwwwwwk",
           "kkwrnnnnnnwwk", ".kwrwwwwwwwwk", "kkwrnnnnnnnwk", ".kwrwwwwwwwwk", "kkwrnnnnwwwwk",
           ".kwrwwwwwwwwk", "kkwrnnnnnnnwk", ".kwrwwwwwwwwk", "kkwrwwwwwwwwk", ".kkkkkkkkkkkk"});
}

// The history: a diskette.
void drawDiskette(Image& image) {
    stamp(image, 1, 3,
          {"kkkkkkkkkkkkkk", "knnnsssssssnnk", "knnnsskssssnnk", "knnnsskssssnnk", "knnnsssssssnnk",
           "knnnnnnnnnnnnk", "knnwwwwwwwwnnk", "knnwggggggwnnk", "knnwwwwwwwwnnk", "knnwggggggwnnk",
           "knnwwwwwwwwnnk", "knnnnnnnnnnnnk", "kkkkkkkkkkkkkk"});
}

Image notebookPicture(bool store) {
    Image image(kSize, kSize, kSilver);
    drawNotebook(image);
    stampOutlined(image, 14, store ? 6 : 7, store ? kDownArrow : kUpArrow);
    return image;
}

Image diskettePicture(bool store) {
    Image image(kSize, kSize, kSilver);
    drawDiskette(image);
    stampOutlined(image, 14, store ? 7 : 8, store ? kDownArrow : kUpArrow);
    return image;
}

// The Chinese system: the character 中 in red with a grey shadow.
Image chineseSystemPicture(const glyphs::Unifont& font) {
    Image image(kSize, kSize, kSilver);
    paint(image, textMask(font, "中"), 3, 3, kGrey);
    paintBold(image, font, "中", 1, 2, kRed);
    return image;
}

// Dynamic English to Chinese: E, an arrow, and a small 中.
Image dynamicTranslationPicture() {
    Image image(kSize, kSize, kSilver);
    stamp(image, 1, 1, {"nnnnnn", "nn", "nn", "nnnnn", "nn", "nn", "nnnnnn"});
    stamp(image, 9, 2, {"....k", "....kk", "kkkkkkk", "....kk", "....k"});
    stamp(image, 7, 9,
          {".....rr", "rrrrrrrrrrrr", "rr...rr...rr", "rr...rr...rr", "rr...rr...rr",
           "rrrrrrrrrrrr", ".....rr", ".....rr", ".....rr", ".....rr"});
    return image;
}

// The user library: books on a shelf, the last one leaning.
Image userLibraryPicture() {
    Image image(kSize, kSize, kSilver);
    struct Book {
        int x, top;
        Rgb cover;
    };
    for (const Book& book : {Book{1, 4, kRed}, Book{5, 6, kGreen}, Book{9, 2, kBlue}}) {
        fillRect(image, book.x, book.top, 4, 17 - book.top, book.cover);
        frameRect(image, book.x, book.top, 4, 17 - book.top, kBlack);
        fillRect(image, book.x + 1, book.top + 2, 2, 1, kYellow);
        fillRect(image, book.x + 1, 14, 2, 1, kYellow);
    }
    for (int row = 5; row <= 16; ++row) {
        const int left = 13 + (16 - row) / 4;
        const bool end = row == 5 || row == 16;
        fillRect(image, left, row, 5, 1, end ? kBlack : kPurple);
        image.set(left, row, kBlack);
        image.set(left + 4, row, kBlack);
    }
    fillRect(image, 15, 7, 2, 1, kYellow);
    fillRect(image, 0, 17, kSize, 1, kOlive);
    fillRect(image, 0, 18, kSize, 1, kMaroon);
    return image;
}

} // namespace

const std::vector<int>& toolBarCommands() {
    static const std::vector<int> commands = {160, 140, 101, 109, 120, 121,
                                              122, 123, 102, 107, 144, 163};
    return commands;
}

Image toolBarPicture(int command, const glyphs::Unifont& font) {
    switch (command) {
    case 160:
        return helpPicture(font);
    case 140:
        return setupPicture();
    case 101:
        return catchWordPicture();
    case 109:
        return converterPicture();
    case 120:
        return notebookPicture(false);
    case 121:
        return notebookPicture(true);
    case 122:
        return diskettePicture(false);
    case 123:
        return diskettePicture(true);
    case 102:
        return chineseSystemPicture(font);
    case 107:
        return dynamicTranslationPicture();
    case 144:
        return userLibraryPicture();
    case 163:
        return aboutPicture(font);
    default:
        throw std::invalid_argument("no tool-bar picture for command " + std::to_string(command));
    }
}

} // namespace lexora::art
