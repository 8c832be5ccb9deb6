// The file formats of the pictures: Windows bitmaps (.BMP) in 16 colours or true colour, and icons
// (.ICO) with an alpha channel.
#ifndef LEXORA_ART_ENCODE_H
#define LEXORA_ART_ENCODE_H

#include <cstdint>
#include <vector>

#include "image.h"

namespace lexora::art {

using Bytes = std::vector<uint8_t>;

// A 4-bit bitmap with the standard 16-colour palette; each pixel takes the nearest colour.
Bytes encodeBitmap16(const Image& image);
// A 24-bit bitmap.
Bytes encodeBitmap24(const Image& image);

// One picture of an icon: the colours and how opaque each pixel is (0 ... 255).
struct IconPicture {
    Image image;
    std::vector<uint8_t> alpha;
};
// An icon holding the pictures (square, 256 pixels at most), each as 32-bit colour with alpha
// and the AND mask of its transparent pixels.
Bytes encodeIcon(const std::vector<IconPicture>& pictures);
// A cursor of one picture whose point is at (hotX, hotY).
Bytes encodeCursor(const IconPicture& picture, int hotX, int hotY);

} // namespace lexora::art

#endif
