// The Chinese display inside another program: lxtarget draws its texts, and once the hooks have
// brought the library into it, the library draws the glyphs there, decodes and converts what it
// draws, and translates its English screen texts, its menu bar's too.
#include "canvas.h"
#include "gui.h"
#include "target/report.h"
#include "testutil.h"

#include "cpconv.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace gui = testsupport;

constexpr int kCell = 16;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
// The background colour the target gives its opaque BIG5 text, and the same as an argument.
constexpr uint32_t kPaperBlue = 0xC0E0FF;
constexpr char kPaperBlueArgument[] = "c0e0ff";
// Long enough for the dictionary engine to load inside the target on a busy machine.
constexpr DWORD kTranslationWaitMs = 30000;

// "我們的國家是一個美麗的地方" in BIG5, and the GB it is shown as under GB.
const std::string kBig5Sentence = "\xa7\xda\xad\xcc\xaa\xba\xb0\xea\xae\x61\xac\x4f\xa4\x40"
                                  "\xad\xd3\xac\xfc\xc4\x52\xaa\xba\xa6\x61\xa4\xe8";
const std::string kGbSentence = "\xce\xd2\xc3\xc7\xb5\xc4\xb9\xfa\xbc\xd2\xca\xc7\xd2\xbb"
                                "\xb8\xf6\xc3\xc0\xc0\xf6\xb5\xc4\xb5\xd8\xb7\xbd";

std::vector<Glyph> glyphsOf(const std::string& text, Glyph (*glyph)(unsigned char, unsigned char)) {
    std::vector<Glyph> glyphs;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        glyphs.push_back(
            glyph(static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i + 1])));
    return glyphs;
}

bool isDark(uint32_t pixel) {
    return (pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF) < 384;
}

// Pixels of the screen from `at` on that differ from the glyphs drawn in 16 x 16 cells side by
// side, ink on paper; -1 when the screen cannot be read there.
int screenMismatches(POINT at, const std::vector<Glyph>& glyphs, uint32_t ink, uint32_t paper) {
    int width = kCell * static_cast<int>(glyphs.size());
    std::optional<gui::ScreenImage> image =
        gui::captureScreen({at.x, at.y, at.x + width, at.y + kCell});
    if (!image || image->width != width || image->height != kCell) return -1;
    int wrong = 0;
    for (size_t cell = 0; cell < glyphs.size(); ++cell)
        for (int row = 0; row < kCell; ++row)
            for (int column = 0; column < kCell; ++column) {
                int x = kCell * static_cast<int>(cell) + column;
                wrong += image->at(x, row) != (inkAt(glyphs[cell], row, column) ? ink : paper);
            }
    return wrong;
}

// The dark pixels of an image, cut to the smallest rectangle that holds them all, so that two
// drawings of one text compare wherever each was placed.
struct Ink {
    int width = 0;
    int height = 0;
    std::vector<bool> dark;
    bool operator==(const Ink&) const = default;
};

Ink inkOf(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    int left = width, top = height, right = 0, bottom = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (isDark(pixel(x, y))) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x + 1);
                bottom = std::max(bottom, y + 1);
            }
    Ink ink;
    if (right <= left) return ink;
    ink.width = right - left;
    ink.height = bottom - top;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            ink.dark.push_back(isDark(pixel(x, y)));
    return ink;
}

std::optional<Ink> inkOnScreen(const RECT& area) {
    std::optional<gui::ScreenImage> image = gui::captureScreen(area);
    if (!image) return std::nullopt;
    return inkOf(image->width, image->height, [&](int x, int y) { return image->at(x, y); });
}

// A menu bar item's text drawn here, as the system draws it into the item: in the menu font,
// centred on one line, through this process's own redirected text output.
Ink menuTextDrawnHere(const wchar_t* text, const RECT& item) {
    int width = item.right - item.left;
    int height = item.bottom - item.top;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
    Canvas canvas(width, height, kCell);
    canvas.fill(RGB(255, 255, 255));
    HGDIOBJ previous = SelectObject(canvas.dc(), font);
    SetTextColor(canvas.dc(), RGB(0, 0, 0));
    SetBkMode(canvas.dc(), TRANSPARENT);
    RECT all{0, 0, width, height};
    DrawTextW(canvas.dc(), text, -1, &all, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    Ink ink = inkOf(width, height, [&](int x, int y) { return canvas.at(x, y); });
    SelectObject(canvas.dc(), previous);
    DeleteObject(font);
    return ink;
}

// True once the window system has loaded a module of this name into the process.
bool moduleLoadedInto(DWORD processId, const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32First(snapshot, &module); more && !found;
         more = Module32Next(snapshot, &module))
        found = lstrcmpiA(module.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

std::vector<std::string> textAt(const std::string& text, int y) {
    return {"--text", text, "--route", "textouta", "--x", "20", "--y", std::to_string(y)};
}

// Bytes drawn in the target's English font; at a whole height of 16 pixels its glyph cells come
// out 16 x 16 and the glyphs are copied unscaled.
std::vector<std::string> bytesAt(const std::string& bytes, int y) {
    return {"--bytes", lxtarget::toHex(bytes), "--route", "textouta", "--x", "20",
            "--y",     std::to_string(y)};
}

class ChineseInTarget : public testing::Test {
  protected:
    void SetUp() override {
        if (!gui::displayAvailable()) GTEST_SKIP() << "no X display: run the tests under xvfb-run";
        saved_ = record();
        savedPage_ = CPC_GetCodePage();
        LXbActiveHZSYS(0);
        LXbSetDecode(0, 0, 0, 0);
        LXbSetDynamicHH(0);
        LXbSetDrawPrompt(0);
        ASSERT_EQ(LXbHookAll(recorder_.window()), 1);
    }
    void TearDown() override {
        if (!saved_) return;
        target_.stop();
        LXbUnhookAll(recorder_.window());
        LXbSetDynamicHH(saved_->dynamicTranslate);
        LXbSetDrawPrompt(saved_->drawPrompt);
        LXbSetDecode(saved_->decodeAutoCodePage, saved_->decodeMime, saved_->decodeHz,
                     saved_->decodeIso2022);
        LXbActiveHZSYS(saved_->chineseDisplay);
        CPC_SetCodePage(savedPage_);
    }
    // Starts the target with its texts in 16-pixel fonts and waits until the call-window hook
    // has loaded the library into it, which selects the GB page for every process.
    void start(std::vector<std::string> arguments, const char* size = "--cell-height") {
        arguments.insert(arguments.end(), {size, std::to_string(kCell)});
        ASSERT_TRUE(target_.start(arguments)) << target_.error();
        SendMessageA(target_.window(), WM_NULL, 0, 0);
        ASSERT_TRUE(
            gui::waitUntil([&] { return moduleLoadedInto(target_.processId(), "lxsys.dll"); }));
    }
    // Repaints the whole target, menu bar included, until shown() holds; false when it never
    // does within timeoutMs.
    bool repaintUntil(const std::function<bool()>& shown, DWORD timeoutMs = gui::kWaitMs) {
        DWORD start = GetTickCount();
        do {
            RedrawWindow(target_.window(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
            if (gui::waitUntil(shown, 1000)) return true;
        } while (GetTickCount() - start < timeoutMs);
        return false;
    }
    POINT topLeftOf(size_t text) const {
        const RECT& rect = target_.texts().at(text).rect;
        return {rect.left, rect.top};
    }
    // Whether the target's text shows these glyphs in black on the given paper.
    std::function<bool()> showsGlyphs(size_t text, std::vector<Glyph> glyphs,
                                      uint32_t paper = kWhite) const {
        POINT at = topLeftOf(text);
        return [=] { return screenMismatches(at, glyphs, kBlack, paper) == 0; };
    }
    const gui::DrawnText& menuItem() const {
        for (const gui::DrawnText& text : target_.texts())
            if (text.route == "menu") return text;
        throw std::runtime_error("the target reported no menu bar");
    }
    // Pixels of the target's text that differ in darkness from the same text drawn here, in the
    // target's font, through this process's own redirected TextOutA.
    int mismatchesWithOwnDrawing() {
        const gui::DrawnText& drawn = target_.texts().at(0);
        LOGFONTA description{};
        description.lfHeight = -kCell;
        description.lfWeight = FW_NORMAL;
        description.lfCharSet = GB2312_CHARSET;
        description.lfOutPrecision = OUT_TT_PRECIS;
        lstrcpynA(description.lfFaceName, target_.fontFace().c_str(), LF_FACESIZE);
        HFONT font = CreateFontIndirectA(&description);
        Canvas own(200, 60, kCell);
        HGDIOBJ previous = SelectObject(own.dc(), font);
        SetTextColor(own.dc(), RGB(0, 0, 0));
        SetBkColor(own.dc(), RGB(255, 255, 255));
        TextOutA(own.dc(), 0, 0, drawn.text.data(), static_cast<int>(drawn.text.size()));
        SIZE size{};
        GetTextExtentPoint32A(own.dc(), drawn.text.data(), static_cast<int>(drawn.text.size()),
                              &size);
        RECT area{drawn.rect.left, drawn.rect.top, drawn.rect.left + size.cx,
                  drawn.rect.top + size.cy};
        std::optional<gui::ScreenImage> image = gui::captureScreen(area);
        int wrong = image && image->width == size.cx && image->height == size.cy ? 0 : -1;
        for (int y = 0; wrong >= 0 && y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                wrong += isDark(image->at(x, y)) != isDark(own.at(x, y));
        SelectObject(own.dc(), previous);
        DeleteObject(font);
        return wrong;
    }

    gui::MessageRecorder recorder_;
    gui::TargetProgram target_;

  private:
    std::optional<CaptureShared> saved_; // the switches as they were, once SetUp got so far
    short savedPage_ = CPC_PAGE_GB;
};

// The glyphs drawn inside the target are those drawn here, in the same font and cell.
TEST_F(ChineseInTarget, GbTextIsDrawnByTheLibraryInside) {
    ASSERT_NO_FATAL_FAILURE(start(
        {"--gb", "b0a1d6d0", "--route", "textouta", "--x", "20", "--y", "20"}, "--font-size"));
    LXbActiveHZSYS(1);
    EXPECT_TRUE(repaintUntil([&] { return mismatchesWithOwnDrawing() == 0; }));
}

// With the BIG5 page, BIG5 characters show their glyphs of DICT_B5.FNT: over the DC's
// background colour when it is opaque, over what was there when it is transparent.
TEST_F(ChineseInTarget, Big5TextShowsItsGlyphsInBothModes) {
    const std::string chinese = "\xa4\xa4\xa4\xe5"; // "中文"
    std::vector<std::string> arguments = bytesAt(chinese, 20);
    arguments.insert(arguments.end(), {"--paper", kPaperBlueArgument});
    for (const std::string& argument : bytesAt(chinese, 60))
        arguments.push_back(argument);
    arguments.insert(arguments.end(), {"--paper", kPaperBlueArgument, "--transparent"});
    ASSERT_NO_FATAL_FAILURE(start(arguments));
    CPC_SetCodePage(CPC_PAGE_BIG5);
    LXbActiveHZSYS(1);
    std::vector<Glyph> glyphs = glyphsOf(chinese, big5Glyph);
    EXPECT_TRUE(repaintUntil(showsGlyphs(0, glyphs, kPaperBlue)));
    EXPECT_TRUE(repaintUntil(showsGlyphs(1, glyphs, kWhite)));
}

// BIG5 text drawn while the page is GB shows as the GB glyphs of its conversion once automatic
// detection is on.
TEST_F(ChineseInTarget, Big5TextUnderGbIsShownConverted) {
    ASSERT_NO_FATAL_FAILURE(start(bytesAt(kBig5Sentence, 20)));
    LXbActiveHZSYS(1);
    LXbSetDecode(1, 0, 0, 0);
    EXPECT_TRUE(repaintUntil(showsGlyphs(0, glyphsOf(kGbSentence, gbGlyph))));
}

// HZ text is decoded before it is drawn: "~{VPND~}" shows "中文".
TEST_F(ChineseInTarget, HzTextIsDecoded) {
    ASSERT_NO_FATAL_FAILURE(start(textAt("~{VPND~}", 20)));
    LXbActiveHZSYS(1);
    LXbSetDecode(0, 0, 1, 0);
    EXPECT_TRUE(repaintUntil(showsGlyphs(0, glyphsOf("\xd6\xd0\xce\xc4", gbGlyph))));
}

// With dynamic translation the menu bar's "File" and a text of the target show the dictionary's
// "档案"; the same text drawn between LXbSetDrawPrompt(1) and (0) stays as it was.
TEST_F(ChineseInTarget, DynamicTranslationReachesTheMenuBarButNotPromptText) {
    std::vector<std::string> arguments = {"--menu", "File"};
    for (const std::string& argument : textAt("File", 20))
        arguments.push_back(argument);
    arguments.push_back("--prompt");
    for (const std::string& argument : textAt("File", 60))
        arguments.push_back(argument);
    ASSERT_NO_FATAL_FAILURE(start(arguments));
    // The pointer away from the menu bar, whose item it could show hot or pressed.
    ASSERT_TRUE(gui::movePointer({0, 0}));
    LXbActiveHZSYS(1);
    const RECT menu = menuItem().rect;
    const Ink english = menuTextDrawnHere(L"File", menu);
    ASSERT_FALSE(english.dark.empty());
    ASSERT_TRUE(repaintUntil([&] { return inkOnScreen(menu) == english; }));
    const RECT prompt = target_.texts().at(0).rect;
    const std::optional<gui::ScreenImage> before = gui::captureScreen(prompt);
    ASSERT_TRUE(before);

    LXbSetDynamicHH(1);
    const Ink translated = menuTextDrawnHere(L"File", menu);
    ASSERT_NE(translated, english);
    EXPECT_TRUE(
        repaintUntil(showsGlyphs(1, glyphsOf("\xb5\xb5\xb0\xb8", gbGlyph)), kTranslationWaitMs));
    EXPECT_TRUE(repaintUntil([&] { return inkOnScreen(menu) == translated; }));
    const std::optional<gui::ScreenImage> after = gui::captureScreen(prompt);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->pixels, before->pixels);
}

} // namespace
