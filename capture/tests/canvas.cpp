#include "canvas.h"

#include <fstream>

namespace {

std::string besideProgram(const char* name) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of('\\') + 1) + name;
}

constexpr int kGlyphBytes = 32;
constexpr int kGlyphSide = 16;

Glyph glyphOfFile(const char* name, int index) {
    Glyph glyph(kGlyphBytes);
    std::ifstream file(besideProgram(name), std::ios::binary);
    file.seekg(index * kGlyphBytes);
    file.read(reinterpret_cast<char*>(glyph.data()), kGlyphBytes);
    return glyph;
}

} // namespace

uint32_t pixelOf(COLORREF colour) {
    return static_cast<uint32_t>(GetRValue(colour)) << 16 |
           static_cast<uint32_t>(GetGValue(colour)) << 8 | GetBValue(colour);
}

Glyph gbGlyph(unsigned char lead, unsigned char trail) {
    return glyphOfFile("DICT_GB.FNT", (lead - 0xA1) * 94 + (trail - 0xA1));
}

Glyph big5Glyph(unsigned char lead, unsigned char trail) {
    int column = trail <= 0x7E ? trail - 0x40 : trail - 0xA1 + 63;
    return glyphOfFile("DICT_B5.FNT", (lead - 0xA1) * 157 + column);
}

bool inkAt(const Glyph& glyph, int row, int column) {
    return (glyph[row * 2 + column / 8] & (0x80 >> (column % 8))) != 0;
}

Canvas::Canvas(int width, int height, int fontHeight, bool underlined)
    : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<uint32_t*>(bits);
    previousBitmap_ = SelectObject(dc_, bitmap_);
    font_ = CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, underlined, FALSE, ANSI_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                        DEFAULT_PITCH, "Tahoma");
    previousFont_ = SelectObject(dc_, font_);
    SetTextColor(dc_, kInk);
    SetBkColor(dc_, kPaper);
    fill(kUnder);
}

Canvas::~Canvas() {
    SelectObject(dc_, previousFont_);
    SelectObject(dc_, previousBitmap_);
    DeleteObject(font_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Canvas::fill(COLORREF colour) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i)
        pixels_[i] = pixelOf(colour);
}

uint32_t Canvas::at(int x, int y) {
    GdiFlush();
    return pixels_[y * width_ + x];
}

int Canvas::countOther(RECT area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += at(x, y) != pixelOf(colour);
    return count;
}

int Canvas::glyphMismatches(int x, int y, const Glyph& glyph, COLORREF paper) {
    int wrong = 0;
    for (int row = 0; row < kGlyphSide; ++row)
        for (int column = 0; column < kGlyphSide; ++column)
            wrong += at(x + column, y + row) != pixelOf(inkAt(glyph, row, column) ? kInk : paper);
    return wrong;
}
