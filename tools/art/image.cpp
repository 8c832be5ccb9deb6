#include "image.h"

#include <algorithm>
#include <cmath>

namespace lexora::art {

namespace {

uint8_t mixChannel(uint8_t from, uint8_t to, double amount) {
    return static_cast<uint8_t>(std::lround(from + (to - from) * std::clamp(amount, 0.0, 1.0)));
}

} // namespace

Rgb mix(Rgb from, Rgb to, double amount) {
    return {mixChannel(from.r, to.r, amount), mixChannel(from.g, to.g, amount),
            mixChannel(from.b, to.b, amount)};
}

Image::Image(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Image::set(int x, int y, Rgb colour) {
    if (contains(x, y)) pixels_[index(x, y)] = colour;
}

void Image::blend(int x, int y, Rgb colour, double amount) {
    if (contains(x, y)) pixels_[index(x, y)] = mix(pixels_[index(x, y)], colour, amount);
}

Mask::Mask(int width, int height)
    : width_(width), height_(height), coverage_(static_cast<size_t>(width) * height, 0) {}

uint8_t Mask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return coverage_[static_cast<size_t>(y) * width_ + x];
}

void Mask::set(int x, int y, uint8_t coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    coverage_[static_cast<size_t>(y) * width_ + x] = coverage;
}

void paint(Image& image, const Mask& mask, int x, int y, Rgb colour, double opacity) {
    for (int row = 0; row < mask.height(); ++row)
        for (int column = 0; column < mask.width(); ++column)
            if (const uint8_t coverage = mask.at(column, row))
                image.blend(x + column, y + row, colour, opacity * coverage / 255.0);
}

} // namespace lexora::art
