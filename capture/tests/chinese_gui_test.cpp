// The Chinese display inside another program: lxtarget draws GB text with TextOutA and, once the
// hooks have brought the library into it, the library draws the glyphs there.
#include "canvas.h"
#include "gui.h"
#include "testutil.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>

namespace {

namespace gui = testsupport;

class ChineseInTarget : public testing::Test {
  protected:
    void SetUp() override {
        if (!gui::displayAvailable()) GTEST_SKIP() << "no X display: run the tests under xvfb-run";
        savedDisplay_ = record().chineseDisplay;
        LXbActiveHZSYS(0);
        ASSERT_EQ(LXbHookAll(recorder_.window()), 1);
        ASSERT_TRUE(target_.start({"--gb", "b0a1d6d0", "--route", "textouta", "--x", "20", "--y",
                                   "20", "--font-size", "16"}))
            << target_.error();
    }
    void TearDown() override {
        LXbUnhookAll(recorder_.window());
        LXbActiveHZSYS(savedDisplay_);
    }
    // Repaints the target with the library inside it (the call-window hook loads it there).
    void repaint() {
        SendMessageA(target_.window(), WM_NULL, 0, 0);
        RedrawWindow(target_.window(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        gui::pumpFor(300);
    }
    // Pixels of the target's text that differ in darkness from the same text drawn here, in the
    // target's font, through this process's own redirected TextOutA.
    int mismatchesWithOwnDrawing() {
        const gui::DrawnText& drawn = target_.texts().at(0);
        LOGFONTA description{};
        description.lfHeight = -16;
        description.lfWeight = FW_NORMAL;
        description.lfCharSet = GB2312_CHARSET;
        description.lfOutPrecision = OUT_TT_PRECIS;
        lstrcpynA(description.lfFaceName, target_.fontFace().c_str(), LF_FACESIZE);
        HFONT font = CreateFontIndirectA(&description);
        Canvas own(200, 60, 16);
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
    static bool isDark(uint32_t pixel) {
        return (pixel >> 16 & 0xFF) + (pixel >> 8 & 0xFF) + (pixel & 0xFF) < 384;
    }

    gui::MessageRecorder recorder_;
    gui::TargetProgram target_;

  private:
    int savedDisplay_ = 0;
};

// The glyphs drawn inside the target are those drawn here, in the same font and cell.
TEST_F(ChineseInTarget, GbTextIsDrawnByTheLibraryInside) {
    LXbActiveHZSYS(1);
    repaint();
    EXPECT_EQ(mismatchesWithOwnDrawing(), 0);
}

} // namespace
