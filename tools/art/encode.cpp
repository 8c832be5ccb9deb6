#include "encode.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace lexora::art {

namespace {

static_assert(std::endian::native == std::endian::little, "the records are written as they lie");

#pragma pack(push, 1)
struct FileHeader {
    uint16_t type; // "BM"
    uint32_t size;
    uint16_t reserved1;
    uint16_t reserved2;
    uint32_t pixelOffset;
};
struct InfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height; // positive: rows bottom-up
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPixelsPerMetre;
    int32_t yPixelsPerMetre;
    uint32_t coloursUsed;
    uint32_t coloursImportant;
};
struct IconDirectory {
    uint16_t reserved;
    uint16_t type; // 1 = icon
    uint16_t count;
};
struct IconEntry {
    uint8_t width; // 0 = 256
    uint8_t height;
    uint8_t colourCount;
    uint8_t reserved;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t size;
    uint32_t offset;
};
#pragma pack(pop)

static_assert(sizeof(FileHeader) == 14);
static_assert(offsetof(FileHeader, type) == 0 && offsetof(FileHeader, size) == 2 &&
              offsetof(FileHeader, reserved1) == 6 && offsetof(FileHeader, reserved2) == 8 &&
              offsetof(FileHeader, pixelOffset) == 10);
static_assert(sizeof(InfoHeader) == 40);
static_assert(offsetof(InfoHeader, size) == 0 && offsetof(InfoHeader, width) == 4 &&
              offsetof(InfoHeader, height) == 8 && offsetof(InfoHeader, planes) == 12 &&
              offsetof(InfoHeader, bitCount) == 14 && offsetof(InfoHeader, compression) == 16 &&
              offsetof(InfoHeader, imageSize) == 20 &&
              offsetof(InfoHeader, xPixelsPerMetre) == 24 &&
              offsetof(InfoHeader, yPixelsPerMetre) == 28 &&
              offsetof(InfoHeader, coloursUsed) == 32 &&
              offsetof(InfoHeader, coloursImportant) == 36);
static_assert(sizeof(IconDirectory) == 6);
static_assert(offsetof(IconDirectory, reserved) == 0 && offsetof(IconDirectory, type) == 2 &&
              offsetof(IconDirectory, count) == 4);
static_assert(sizeof(IconEntry) == 16);
static_assert(offsetof(IconEntry, width) == 0 && offsetof(IconEntry, height) == 1 &&
              offsetof(IconEntry, colourCount) == 2 && offsetof(IconEntry, reserved) == 3 &&
              offsetof(IconEntry, planes) == 4 && offsetof(IconEntry, bitCount) == 6 &&
              offsetof(IconEntry, size) == 8 && offsetof(IconEntry, offset) == 12);

// 96 dots per inch.
constexpr int32_t kPixelsPerMetre = 3780;

template <class Record> void append(Bytes& out, const Record& record) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    out.insert(out.end(), bytes, bytes + sizeof record);
}

// Rows of a bitmap are padded to whole 32-bit words.
uint32_t rowBytes(int width, int bitCount) {
    return ((static_cast<uint32_t>(width) * bitCount + 31) / 32) * 4;
}

InfoHeader infoHeader(int width, int height, uint16_t bitCount, uint32_t paletteSize) {
    InfoHeader info{};
    info.size = sizeof info;
    info.width = width;
    info.height = height;
    info.planes = 1;
    info.bitCount = bitCount;
    info.imageSize = rowBytes(width, bitCount) * static_cast<uint32_t>(height);
    info.xPixelsPerMetre = kPixelsPerMetre;
    info.yPixelsPerMetre = kPixelsPerMetre;
    info.coloursUsed = paletteSize;
    return info;
}

Bytes bitmapFile(const InfoHeader& info, const Bytes& palette, const Bytes& pixels) {
    FileHeader file{};
    file.type = 0x4D42;
    file.pixelOffset = static_cast<uint32_t>(sizeof file + sizeof info + palette.size());
    file.size = file.pixelOffset + static_cast<uint32_t>(pixels.size());
    Bytes out;
    append(out, file);
    append(out, info);
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

int distance(Rgb a, Rgb b) {
    const int r = a.r - b.r, g = a.g - b.g, bl = a.b - b.b;
    return r * r + g * g + bl * bl;
}

uint8_t nearestOf16(Rgb colour) {
    uint8_t best = 0;
    for (uint8_t i = 1; i < 16; ++i)
        if (distance(colour, kPalette16[i]) < distance(colour, kPalette16[best])) best = i;
    return best;
}

void checkSize(const Image& image) {
    if (image.width() <= 0 || image.height() <= 0)
        throw std::invalid_argument("a picture needs at least one pixel");
}

} // namespace

Bytes encodeBitmap16(const Image& image) {
    checkSize(image);
    Bytes palette;
    for (const Rgb& colour : kPalette16)
        palette.insert(palette.end(), {colour.b, colour.g, colour.r, 0});
    const uint32_t stride = rowBytes(image.width(), 4);
    Bytes pixels(stride * static_cast<uint32_t>(image.height()), 0);
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* row = &pixels[stride * static_cast<uint32_t>(image.height() - 1 - y)];
        for (int x = 0; x < image.width(); ++x) {
            const uint8_t index = nearestOf16(image.at(x, y));
            row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
    }
    return bitmapFile(infoHeader(image.width(), image.height(), 4, 16), palette, pixels);
}

Bytes encodeBitmap24(const Image& image) {
    checkSize(image);
    const uint32_t stride = rowBytes(image.width(), 24);
    Bytes pixels(stride * static_cast<uint32_t>(image.height()), 0);
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* row = &pixels[stride * static_cast<uint32_t>(image.height() - 1 - y)];
        for (int x = 0; x < image.width(); ++x) {
            const Rgb colour = image.at(x, y);
            row[3 * x] = colour.b;
            row[3 * x + 1] = colour.g;
            row[3 * x + 2] = colour.r;
        }
    }
    return bitmapFile(infoHeader(image.width(), image.height(), 24, 0), {}, pixels);
}

namespace {

// An icon picture: the bitmap header (height counts the colour rows and the mask rows), the
// BGRA rows bottom-up, then the 1-bit AND mask (set where the picture is transparent).
Bytes iconPictureBytes(const IconPicture& picture) {
    const Image& image = picture.image;
    const int size = image.width();
    InfoHeader info = infoHeader(size, 2 * size, 32, 0);
    info.imageSize = rowBytes(size, 32) * size + rowBytes(size, 1) * size;
    Bytes out;
    append(out, info);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Rgb colour = image.at(x, y);
            out.insert(out.end(), {colour.b, colour.g, colour.r, picture.alpha[y * size + x]});
        }
    }
    const uint32_t maskStride = rowBytes(size, 1);
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < size; ++x)
            if (picture.alpha[y * size + x] < 128)
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

namespace {

void checkIconPicture(const IconPicture& picture) {
    const int size = picture.image.width();
    if (size <= 0 || size > 256 || picture.image.height() != size ||
        picture.alpha.size() != static_cast<size_t>(size) * size)
        throw std::invalid_argument("an icon picture is square, 1 to 256 pixels");
}

// Icons and cursors share their file format; a cursor's entry holds its point where an icon's
// holds its planes and bits.
struct Hotspot {
    uint16_t x;
    uint16_t y;
};

Bytes encodeIconFile(const std::vector<IconPicture>& pictures, uint16_t type,
                     const Hotspot* hotspot) {
    for (const IconPicture& picture : pictures)
        checkIconPicture(picture);
    Bytes out;
    append(out, IconDirectory{0, type, static_cast<uint16_t>(pictures.size())});
    std::vector<Bytes> bodies;
    auto offset =
        static_cast<uint32_t>(sizeof(IconDirectory) + pictures.size() * sizeof(IconEntry));
    for (const IconPicture& picture : pictures) {
        bodies.push_back(iconPictureBytes(picture));
        const int size = picture.image.width();
        IconEntry entry{};
        entry.width = static_cast<uint8_t>(size % 256);
        entry.height = static_cast<uint8_t>(size % 256);
        entry.planes = hotspot ? hotspot->x : 1;
        entry.bitCount = hotspot ? hotspot->y : 32;
        entry.size = static_cast<uint32_t>(bodies.back().size());
        entry.offset = offset;
        offset += entry.size;
        append(out, entry);
    }
    for (const Bytes& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

} // namespace

Bytes encodeIcon(const std::vector<IconPicture>& pictures) {
    return encodeIconFile(pictures, 1, nullptr);
}

Bytes encodeCursor(const IconPicture& picture, int hotX, int hotY) {
    const int size = picture.image.width();
    if (hotX < 0 || hotY < 0 || hotX >= size || hotY >= size)
        throw std::invalid_argument("a cursor's point lies inside its picture");
    const Hotspot hotspot{static_cast<uint16_t>(hotX), static_cast<uint16_t>(hotY)};
    return encodeIconFile({picture}, 2, &hotspot);
}

} // namespace lexora::art
