// The turning globe of the title animation, the logo and the icon.
#ifndef LEXORA_ART_GLOBE_H
#define LEXORA_ART_GLOBE_H

#include "encode.h"

namespace lexora::art {

// A globe filling a square of `size` pixels, turned by `turn` (0 ... 1, a whole turn), lit from
// the upper left; the alpha holds how much of each pixel the globe covers.
IconPicture globe(int size, double turn);

// Paints a globe picture over an image at (x, y).
void paintGlobe(Image& image, const IconPicture& picture, int x, int y, double opacity = 1.0);

} // namespace lexora::art

#endif
