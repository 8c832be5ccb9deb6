#include "globe.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lexora::art {

namespace {

constexpr int kSamples = 4; // per pixel and axis, for smooth edges
constexpr Rgb kOcean{28, 84, 186};
constexpr Rgb kShallows{64, 140, 214};
constexpr Rgb kLand{64, 148, 62};
constexpr Rgb kHighland{150, 138, 72};
constexpr Rgb kIce{236, 240, 244};

// Continents from a few waves over longitude and latitude; whole multiples of the longitude
// keep the surface continuous all the way round.
double landHeight(double longitude, double latitude) {
    return std::sin(2 * longitude + 0.6) * std::cos(2.2 * latitude) +
           0.55 * std::sin(3 * longitude - 1.3 + 1.8 * latitude) +
           0.35 * std::cos(5 * longitude + 2.6 * latitude + 0.4) - 0.25;
}

Rgb surfaceColour(double longitude, double latitude) {
    if (std::abs(latitude) > 1.25) return kIce;
    const double height = landHeight(longitude, latitude);
    if (height > 0.75) return kHighland;
    if (height > 0.2) return kLand;
    if (height > 0.05) return kShallows;
    return kOcean;
}

struct Sample {
    bool inside = false;
    double red = 0, green = 0, blue = 0;
};

Sample sampleAt(double x, double y, double turn) {
    const double z2 = 1 - x * x - y * y;
    if (z2 < 0) return {};
    const double z = std::sqrt(z2);
    const double latitude = std::asin(-y);
    const double longitude = std::atan2(x, z) + 2 * std::numbers::pi * turn;
    const Rgb surface = surfaceColour(longitude, latitude);
    // Light from the upper left and the front, and a glint.
    const double lightX = -0.5, lightY = -0.6, lightZ = 0.62;
    const double diffuse = std::max(0.0, x * lightX + y * lightY + z * lightZ);
    const double light = 0.3 + 0.8 * diffuse;
    const double glint = std::pow(std::max(0.0, diffuse), 24) * 0.5;
    return {true, std::min(255.0, surface.r * light + 255 * glint),
            std::min(255.0, surface.g * light + 255 * glint),
            std::min(255.0, surface.b * light + 255 * glint)};
}

} // namespace

IconPicture globe(int size, double turn) {
    IconPicture picture{Image(size, size, colour::kBlack),
                        std::vector<uint8_t>(static_cast<size_t>(size) * size, 0)};
    const double radius = size / 2.0 - 0.5;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Sample sum;
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double x = (px + (sx + 0.5) / kSamples - size / 2.0) / radius;
                    const double y = (py + (sy + 0.5) / kSamples - size / 2.0) / radius;
                    const Sample sample = sampleAt(x, y, turn);
                    if (!sample.inside) continue;
                    ++covered;
                    sum.red += sample.red;
                    sum.green += sample.green;
                    sum.blue += sample.blue;
                }
            }
            if (covered == 0) continue;
            picture.image.set(px, py,
                              {static_cast<uint8_t>(std::lround(sum.red / covered)),
                               static_cast<uint8_t>(std::lround(sum.green / covered)),
                               static_cast<uint8_t>(std::lround(sum.blue / covered))});
            picture.alpha[py * size + px] =
                static_cast<uint8_t>(255 * covered / (kSamples * kSamples));
        }
    }
    return picture;
}

void paintGlobe(Image& image, const IconPicture& picture, int x, int y, double opacity) {
    const int size = picture.image.width();
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column)
            if (const uint8_t alpha = picture.alpha[row * size + column])
                image.blend(x + column, y + row, picture.image.at(column, row),
                            opacity * alpha / 255.0);
}

} // namespace lexora::art
