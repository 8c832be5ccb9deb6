// Drawing on images: rectangles, disks, pixel art given as rows of letters, and text in GNU
// Unifont's glyphs.
#ifndef LEXORA_ART_DRAW_H
#define LEXORA_ART_DRAW_H

#include <string>
#include <string_view>
#include <vector>

#include "image.h"
#include "unifont.h"

namespace lexora::art {

void fillRect(Image& image, int x, int y, int width, int height, Rgb colour);
void frameRect(Image& image, int x, int y, int width, int height, Rgb colour);
// Every pixel whose centre lies within `radius` of (cx, cy).
void fillDisk(Image& image, double cx, double cy, double radius, Rgb colour);

// Pixel art: one string a row, one letter a pixel, '.' leaves the pixel alone. The letters
// are the 16 colours: k black, m maroon, e green, o olive, n navy, p purple, t teal, s silver,
// g grey, r red, l lime, y yellow, b blue, f fuchsia, c aqua, w white.
using PixelArt = std::vector<std::string_view>;
void stamp(Image& image, int x, int y, const PixelArt& art);
// As stamp, and a black line drawn around the outside of the art's shape.
void stampOutlined(Image& image, int x, int y, const PixelArt& art);

// Text as a mask of Unifont's glyphs (8 or 16 pixels wide, 16 high); a character the font lacks
// is left blank.
Mask textMask(const glyphs::Unifont& font, std::string_view utf8);
// The mask of pixel art enlarged `scale` times, anti-aliased, with the steps of its diagonal
// strokes filled in so that they run as smooth lines.
Mask smoothlyScaled(const Mask& mask, int scale);

} // namespace lexora::art

#endif
