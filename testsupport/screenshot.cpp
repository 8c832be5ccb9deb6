// Copies of the display: pixels for tests to inspect, BMP files of failures.
#include "gui.h"
#include "process.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <fstream>

namespace testsupport {
namespace {

// The BMP file layout is the platform's own packed headers; check it is what the file holds.
static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(offsetof(BITMAPFILEHEADER, bfSize) == 2);
static_assert(offsetof(BITMAPFILEHEADER, bfOffBits) == 10);
static_assert(sizeof(BITMAPINFOHEADER) == 40);

constexpr WORD kBmpSignature = 0x4D42; // "BM"

// The screen's device context and a memory one holding a top-down 32-bit section.
class ScreenCopy {
  public:
    ScreenCopy(int width, int height) {
        screen_ = GetDC(nullptr);
        memory_ = CreateCompatibleDC(screen_);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        section_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (section_) previous_ = SelectObject(memory_, section_);
    }
    ~ScreenCopy() {
        if (section_) {
            SelectObject(memory_, previous_);
            DeleteObject(section_);
        }
        DeleteDC(memory_);
        ReleaseDC(nullptr, screen_);
    }
    ScreenCopy(const ScreenCopy&) = delete;
    ScreenCopy& operator=(const ScreenCopy&) = delete;

    const std::uint32_t* copy(const RECT& rect) {
        if (!section_ || !bits_) return nullptr;
        int width = rect.right - rect.left;
        int height = rect.bottom - rect.top;
        if (!BitBlt(memory_, 0, 0, width, height, screen_, rect.left, rect.top,
                    SRCCOPY | CAPTUREBLT))
            return nullptr;
        GdiFlush();
        return static_cast<const std::uint32_t*>(bits_);
    }

  private:
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP section_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

// BMP rows are 24-bit, bottom-up, each padded to a multiple of 4 bytes.
std::string bmpFile(const ScreenImage& image) {
    std::size_t stride = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
    std::size_t pixelBytes = stride * static_cast<std::size_t>(image.height);
    BITMAPFILEHEADER file{};
    file.bfType = kBmpSignature;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixelBytes);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = image.width;
    info.biHeight = image.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(pixelBytes);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    std::string row(stride, '\0');
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t pixel = image.at(x, y);
            std::size_t at = static_cast<std::size_t>(x) * 3;
            row[at] = static_cast<char>(pixel & 0xFF);
            row[at + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[at + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
        bytes += row;
    }
    return bytes;
}

// A file name from a test's name: letters, digits, '.', '-' and '_' kept, others become '_'.
std::string fileNameFor(const testing::TestInfo& test) {
    std::string name = std::string(test.test_suite_name()) + "." + test.name();
    for (char& c : name) {
        bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '.' || c == '-' || c == '_';
        if (!kept) c = '_';
    }
    return name;
}

class ScreenshotOnFailure : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { taken_ = false; }
    void OnTestPartResult(const testing::TestPartResult& result) override {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        if (!result.failed() || taken_ || !test) return;
        taken_ = true;
        std::string path = artefactsDirectory() + "\\" + fileNameFor(*test) + ".bmp";
        if (saveScreenshot(path))
            std::printf("[ screenshot ] %s\n", path.c_str());
        else
            std::printf("[ screenshot ] could not write %s\n", path.c_str());
    }
    bool taken_ = false;
};

} // namespace

std::optional<ScreenImage> captureScreen(const RECT& screenRect) {
    RECT display{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT rect;
    if (!IntersectRect(&rect, &screenRect, &display)) return std::nullopt;
    ScreenImage image;
    image.width = rect.right - rect.left;
    image.height = rect.bottom - rect.top;
    ScreenCopy screen(image.width, image.height);
    const std::uint32_t* pixels = screen.copy(rect);
    if (!pixels) return std::nullopt;
    std::size_t count =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    image.pixels.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        image.pixels.push_back(pixels[i] & 0xFFFFFF);
    return image;
}

bool saveScreenshot(const std::string& path) {
    RECT display{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::optional<ScreenImage> image = captureScreen(display);
    if (!image) return false;
    std::string bytes = bmpFile(*image);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

std::string artefactsDirectory() {
    std::string self = selfPath();
    std::string bin = self.substr(0, self.find_last_of("\\/"));
    std::string directory = bin.substr(0, bin.find_last_of("\\/") + 1) + "artefacts";
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory;
}

void installScreenshotOnFailure() {
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
}

} // namespace testsupport
