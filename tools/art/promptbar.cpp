// The prompt bar's button pictures, 16 x 16 pixels in the standard 16 colours on button grey; the
// pin and the line wrapping show both their states, the raised one above the pressed one.
#include <stdexcept>
#include <string>

#include "draw.h"
#include "pictures.h"

namespace lexora::art {

namespace {

using namespace colour;

constexpr int kSize = kPromptBarPictureSize;

// The pin: lying on its side while the bar moves freely, stuck in while it is locked.
Image pinPicture() {
    Image image(kSize, 2 * kSize, kSilver);
    stamp(image, 0, 4, {"kkk", "kwwk", "kwwkkkk", "kwwkwwgkkkkkkkk", "kwwkkkk", "kwwk", "kkk"});
    stamp(image, 0, kSize + 1,
          {"....kkkkkk", "....kwwwgk", "....kwwwgk", "...kkkkkkkk", "...kwwwwwgk", "...kkkkkkkk",
           ".......k", ".......k", ".......k", ".......k", "......sks", "kkkkkkkkkkkkkkkk"});
    return image;
}

// Quit: a door with an arrow leaving through it.
Image quitPicture() {
    Image image(kSize, kSize, kSilver);
    stamp(image, 1, 1,
          {"kkkkkkkk", "kmmmmmmk", "kmmmmmmk", "kmmmmmmk", "kmmmmmmk", "kmmmmmmk", "kmmmmyyk",
           "kmmmmmmk", "kmmmmmmk", "kmmmmmmk", "kmmmmmmk", "kmmmmmmk", "kmmmmmmk", "kkkkkkkk"});
    stampOutlined(image, 8, 5, {"....l", "....ll", "lllllll", "....ll", "....l"});
    return image;
}

// Hide the bar: the bar with an arrow down into a line.
Image hidePicture() {
    Image image(kSize, kSize, kSilver);
    fillRect(image, 1, 2, 14, 5, kYellow);
    frameRect(image, 1, 2, 14, 5, kBlack);
    fillRect(image, 3, 4, 7, 1, kNavy);
    stamp(image, 5, 8, {".kkk.", ".kkk.", "kkkkk", ".kkk.", "..k.."});
    fillRect(image, 1, 14, 14, 1, kBlack);
    return image;
}

// Configuration: a small gear.
Image configurePicture() {
    Image image(kSize, kSize, kSilver);
    stamp(image, 1, 1,
          {"......kk", "...k.kggk.k", "..kgkggggkgk", "...kggggggk", "..kgggkkgggk",
           "kkgggk..kgggkk", "kggggk..kggggk", "kkgggk..kgggkk", "..kgggkkgggk", "...kggggggk",
           "..kgkggggkgk", "...k.kggk.k", "......kk"});
    return image;
}

// Text converter: two arrows the opposite ways.
Image converterPicture() {
    Image image(kSize, kSize, kSilver);
    stampOutlined(image, 1, 1, {".......r", "rrrrrrrrr", "rrrrrrrrrr", "rrrrrrrrr", ".......r"});
    stampOutlined(image, 4, 9, {"..b", ".bbbbbbbbb", "bbbbbbbbbb", ".bbbbbbbbb", "..b"});
    return image;
}

// The Chinese system: 中.
Image chinesePicture(const glyphs::Unifont& font) {
    Image image(kSize, kSize, kSilver);
    paint(image, textMask(font, "中"), 0, 0, kRed);
    return image;
}

// Dynamic English to Chinese: E over a small 中.
Image dynamicPicture() {
    Image image(kSize, kSize, kSilver);
    stamp(image, 0, 0, {"nnnnn", "nn", "nnnn", "nn", "nnnnn"});
    stamp(image, 6, 1, {"...k", "kkkkk", "...k"});
    stamp(image, 5, 6,
          {"....r", "rrrrrrrrrr", "r...r....r", "r...r....r", "rrrrrrrrrr", "....r", "....r",
           "....r", "....r"});
    return image;
}

// Store the word: a notebook with an arrow into it.
Image storePicture() {
    Image image(kSize, kSize, kSilver);
    stamp(image, 1, 2,
          {".kkkkkkkkk", "kkwwwwwwwk", ".kwnnnnnwk", "kkwwwwwwwk", ".kwnnnnwwk", "kkwwwwwwwk",
           ".kwnnnnnwk", "kkwwwwwwwk", ".kwnnnwwwk", "kkwwwwwwwk", ".kwwwwwwwk", ".kkkkkkkkk"});
    stampOutlined(image, 11, 4, {".r.", ".r.", ".r.", "rrr", ".r."});
    return image;
}

// Line wrapping: one long line while off, the line broken with a return arrow while on.
Image wrapPicture() {
    Image image(kSize, 2 * kSize, kSilver);
    fillRect(image, 1, 7, 12, 1, kNavy);
    stamp(image, 12, 5, {"k", "kk", "kkk", "kk", "k"});
    fillRect(image, 1, kSize + 3, 10, 1, kNavy);
    fillRect(image, 1, kSize + 11, 7, 1, kNavy);
    stamp(image, 9, kSize + 5,
          {".....k", ".....k", ".....k", "..k..k", ".kk..k", "kkkkkk", ".kk", "..k"});
    return image;
}

} // namespace

const std::vector<int>& promptBarButtons() {
    static const std::vector<int> buttons = {201, 202, 203, 204, 205, 206, 207, 208, 211};
    return buttons;
}

Image promptBarPicture(int button, const glyphs::Unifont& font) {
    switch (button) {
    case 201:
        return pinPicture();
    case 202:
        return quitPicture();
    case 203:
        return hidePicture();
    case 204:
        return configurePicture();
    case 205:
        return converterPicture();
    case 206:
        return chinesePicture(font);
    case 207:
        return dynamicPicture();
    case 208:
        return storePicture();
    case 211:
        return wrapPicture();
    default:
        throw std::invalid_argument("no prompt-bar picture for button " + std::to_string(button));
    }
}

} // namespace lexora::art
