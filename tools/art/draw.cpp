#include "draw.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lexora::art {

void fillRect(Image& image, int x, int y, int width, int height, Rgb colour) {
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            image.set(column, row, colour);
}

void frameRect(Image& image, int x, int y, int width, int height, Rgb colour) {
    fillRect(image, x, y, width, 1, colour);
    fillRect(image, x, y + height - 1, width, 1, colour);
    fillRect(image, x, y, 1, height, colour);
    fillRect(image, x + width - 1, y, 1, height, colour);
}

void fillDisk(Image& image, double cx, double cy, double radius, Rgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= radius * radius) image.set(x, y, colour);
        }
    }
}

namespace {

Rgb colourOfLetter(char letter) {
    switch (letter) {
    case 'k':
        return colour::kBlack;
    case 'm':
        return colour::kMaroon;
    case 'e':
        return colour::kGreen;
    case 'o':
        return colour::kOlive;
    case 'n':
        return colour::kNavy;
    case 'p':
        return colour::kPurple;
    case 't':
        return colour::kTeal;
    case 's':
        return colour::kSilver;
    case 'g':
        return colour::kGrey;
    case 'r':
        return colour::kRed;
    case 'l':
        return colour::kLime;
    case 'y':
        return colour::kYellow;
    case 'b':
        return colour::kBlue;
    case 'f':
        return colour::kFuchsia;
    case 'c':
        return colour::kAqua;
    case 'w':
        return colour::kWhite;
    default:
        throw std::invalid_argument(std::string("no colour for the letter ") + letter);
    }
}

bool drawnAt(const PixelArt& art, int column, int row) {
    if (row < 0 || row >= static_cast<int>(art.size())) return false;
    if (column < 0 || column >= static_cast<int>(art[row].size())) return false;
    return art[row][column] != '.';
}

} // namespace

void stamp(Image& image, int x, int y, const PixelArt& art) {
    for (int row = 0; row < static_cast<int>(art.size()); ++row)
        for (int column = 0; column < static_cast<int>(art[row].size()); ++column)
            if (art[row][column] != '.')
                image.set(x + column, y + row, colourOfLetter(art[row][column]));
}

void stampOutlined(Image& image, int x, int y, const PixelArt& art) {
    int widest = 0;
    for (std::string_view row : art)
        widest = std::max(widest, static_cast<int>(row.size()));
    for (int row = -1; row <= static_cast<int>(art.size()); ++row) {
        for (int column = -1; column <= widest; ++column) {
            if (drawnAt(art, column, row)) continue;
            if (drawnAt(art, column - 1, row) || drawnAt(art, column + 1, row) ||
                drawnAt(art, column, row - 1) || drawnAt(art, column, row + 1))
                image.set(x + column, y + row, colour::kBlack);
        }
    }
    stamp(image, x, y, art);
}

namespace {

// The next code point of UTF-8 text; malformed bytes stand for themselves.
char32_t nextCodePoint(std::string_view text, size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t point = more == 3   ? lead & 0x07
                     : more == 2 ? lead & 0x0F
                     : more == 1 ? lead & 0x1F
                                 : lead;
    for (; more > 0 && at < text.size(); --more)
        point = (point << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    return point;
}

} // namespace

Mask textMask(const glyphs::Unifont& font, std::string_view utf8) {
    std::vector<char32_t> points;
    for (size_t at = 0; at < utf8.size();)
        points.push_back(nextCodePoint(utf8, at));
    int width = 0;
    for (char32_t point : points) {
        const glyphs::UnifontGlyph* glyph = font.find(point);
        width += glyph && glyph->wide ? 16 : 8;
    }
    Mask mask(width, static_cast<int>(glyphs::kGlyphRows));
    int x = 0;
    for (char32_t point : points) {
        const glyphs::UnifontGlyph* glyph = font.find(point);
        const int glyphWidth = glyph && glyph->wide ? 16 : 8;
        if (glyph) {
            const int bytesPerRow = glyphWidth / 8;
            for (int row = 0; row < mask.height(); ++row)
                for (int column = 0; column < glyphWidth; ++column)
                    if (glyph->bytes[row * bytesPerRow + column / 8] & (0x80 >> (column % 8)))
                        mask.set(x + column, row, 255);
        }
        x += glyphWidth;
    }
    return mask;
}

namespace {

constexpr int kSubsamples = 4; // per output pixel and axis

double distanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double along =
        std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - ax - along * dx, py - ay - along * dy);
}

// Whether a point of the mask's plane lies on an inked pixel or on the band, one pixel wide,
// that joins two inked pixels touching only at a corner.
bool inked(const Mask& mask, double x, double y) {
    const int cellX = static_cast<int>(std::floor(x)), cellY = static_cast<int>(std::floor(y));
    if (mask.at(cellX, cellY)) return true;
    for (int row = cellY - 1; row <= cellY; ++row) {
        for (int column = cellX - 1; column <= cellX; ++column) {
            const bool falling = mask.at(column, row) && mask.at(column + 1, row + 1);
            const bool rising = mask.at(column + 1, row) && mask.at(column, row + 1);
            if (falling &&
                distanceToSegment(x, y, column + 0.5, row + 0.5, column + 1.5, row + 1.5) <= 0.5)
                return true;
            if (rising &&
                distanceToSegment(x, y, column + 1.5, row + 0.5, column + 0.5, row + 1.5) <= 0.5)
                return true;
        }
    }
    return false;
}

} // namespace

Mask smoothlyScaled(const Mask& mask, int scale) {
    if (scale < 1) throw std::invalid_argument("text scales by a whole factor of 1 or more");
    Mask large(mask.width() * scale, mask.height() * scale);
    for (int y = 0; y < large.height(); ++y) {
        for (int x = 0; x < large.width(); ++x) {
            int covered = 0;
            for (int sy = 0; sy < kSubsamples; ++sy)
                for (int sx = 0; sx < kSubsamples; ++sx)
                    covered += inked(mask, (x + (sx + 0.5) / kSubsamples) / scale,
                                     (y + (sy + 0.5) / kSubsamples) / scale);
            large.set(x, y, static_cast<uint8_t>(255 * covered / (kSubsamples * kSubsamples)));
        }
    }
    return large;
}

} // namespace lexora::art
