// Pictures in memory: RGB images and coverage masks, and the blending of a colour through a mask.
#ifndef LEXORA_ART_IMAGE_H
#define LEXORA_ART_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lexora::art {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// The 16 colours of the standard Windows palette, in its order.
namespace colour {
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kMaroon{128, 0, 0};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kOlive{128, 128, 0};
inline constexpr Rgb kNavy{0, 0, 128};
inline constexpr Rgb kPurple{128, 0, 128};
inline constexpr Rgb kTeal{0, 128, 128};
inline constexpr Rgb kSilver{192, 192, 192};
inline constexpr Rgb kGrey{128, 128, 128};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kLime{0, 255, 0};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kFuchsia{255, 0, 255};
inline constexpr Rgb kAqua{0, 255, 255};
inline constexpr Rgb kWhite{255, 255, 255};
} // namespace colour

inline constexpr Rgb kPalette16[16] = {
    colour::kBlack, colour::kMaroon,  colour::kGreen, colour::kOlive,
    colour::kNavy,  colour::kPurple,  colour::kTeal,  colour::kSilver,
    colour::kGrey,  colour::kRed,     colour::kLime,  colour::kYellow,
    colour::kBlue,  colour::kFuchsia, colour::kAqua,  colour::kWhite};

// `from` moved towards `to` by `amount` (0 ... 1).
Rgb mix(Rgb from, Rgb to, double amount);

class Image {
  public:
    Image(int width, int height, Rgb fill);
    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
    // Points outside the image are left alone.
    void set(int x, int y, Rgb colour);
    void blend(int x, int y, Rgb colour, double amount);

  private:
    size_t index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// How much of each pixel a shape covers, 0 ... 255.
class Mask {
  public:
    Mask(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    uint8_t at(int x, int y) const;
    void set(int x, int y, uint8_t coverage);

  private:
    int width_;
    int height_;
    std::vector<uint8_t> coverage_;
};

// Paints `colour` through the mask placed at (x, y).
void paint(Image& image, const Mask& mask, int x, int y, Rgb colour, double opacity = 1.0);

} // namespace lexora::art

#endif
