// Drawing with the Chinese display, read back from a DIB section: glyph bits, opaque and
// transparent mode, small glyphs, forced cell widths, underline, alignment; the redirected width
// and extent queries; dynamic translation through the dictionary engine.
#include "canvas.h"
#include "drawing.h"
#include "drawing_fakes.h"
#include "internal.h"
#include "textout.h"

#include "cpconv.h"

#include <gtest/gtest.h>
#include <string>

namespace {

lxsys::GlyphMetrics cellOf(const Canvas& canvas) {
    return lxsys::glyphMetricsOf(lxsys::textMetricsOf(canvas.dc()));
}

class Drawing : public testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(lxsys::loadGlyphTables()); }
    static void TearDownTestSuite() {
        lxsys::releaseDrawing();
        lxsys::freeGlyphTables();
    }
    void SetUp() override {
        previousPage_ = CPC_SetCodePage(CPC_PAGE_GB);
        switches() = {};
        switches().chineseDisplay = 1;
        systemTexts().clear();
    }
    void TearDown() override {
        CPC_SetCodePage(previousPage_);
        switches() = {};
    }
    static BOOL draw(HDC dc, int x, int y, const std::string& text, const INT* dx = nullptr,
                     bool extended = false) {
        return lxsys::drawText(dc, x, y, 0, nullptr, text.data(), static_cast<int>(text.size()), dx,
                               extended);
    }
    static void expectGlyph(Canvas& canvas, int x, int y, const Glyph& glyph, COLORREF paper) {
        EXPECT_EQ(canvas.glyphMismatches(x, y, glyph, paper), 0);
    }

    short previousPage_ = CPC_PAGE_GB;
};

TEST_F(Drawing, GlyphsMatchTheGlyphFileInBothModes) {
    Canvas canvas(100, 40, 16);
    ASSERT_EQ(cellOf(canvas).height, 16);
    ASSERT_EQ(cellOf(canvas).cellWidth, 16);
    SetBkMode(canvas.dc(), OPAQUE);
    EXPECT_TRUE(draw(canvas.dc(), 4, 4, "\xb0\xa1\xd6\xd0"));
    expectGlyph(canvas, 4, 4, gbGlyph(0xB0, 0xA1), kPaper);
    expectGlyph(canvas, 20, 4, gbGlyph(0xD6, 0xD0), kPaper);
    EXPECT_EQ(canvas.countOther({36, 0, 100, 40}, kUnder), 0);

    canvas.fill(kUnder);
    SetBkMode(canvas.dc(), TRANSPARENT);
    draw(canvas.dc(), 4, 4, "\xb0\xa1");
    expectGlyph(canvas, 4, 4, gbGlyph(0xB0, 0xA1), kUnder);
    EXPECT_TRUE(systemTexts().empty());
}

TEST_F(Drawing, WithoutTheChineseDisplayTheSystemDrawsEverything) {
    switches().chineseDisplay = 0;
    Canvas canvas(100, 40, 16);
    draw(canvas.dc(), 4, 4,
         "ab\xb0\xa1"
         "cd");
    ASSERT_EQ(systemTexts().size(), 3u);
    EXPECT_EQ(systemTexts()[1].text, "\xb0\xa1");
    SIZE ab{};
    GetTextExtentPointA(canvas.dc(), "ab", 2, &ab);
    EXPECT_EQ(systemTexts()[1].x, 4 + ab.cx);
}

TEST_F(Drawing, MixedTextAdvancesByCellsAndExtents) {
    Canvas canvas(120, 40, 16);
    SetBkMode(canvas.dc(), TRANSPARENT);
    draw(canvas.dc(), 2, 4,
         "ab\xb0\xa1"
         "cd");
    SIZE ab{};
    GetTextExtentPointA(canvas.dc(), "ab", 2, &ab);
    expectGlyph(canvas, 2 + ab.cx, 4, gbGlyph(0xB0, 0xA1), kUnder);
    ASSERT_EQ(systemTexts().size(), 2u);
    EXPECT_EQ(systemTexts()[1].text, "cd");
    EXPECT_EQ(systemTexts()[1].x, 2 + ab.cx + 16);
}

TEST_F(Drawing, SmallGlyphsLeaveOutTheLeading) {
    switches().smallGlyphs = 1;
    Canvas canvas(60, 40, 16);
    TEXTMETRICA metrics = lxsys::textMetricsOf(canvas.dc());
    ASSERT_GT(metrics.tmInternalLeading, 0);
    int height = 16 - metrics.tmInternalLeading;
    EXPECT_EQ(cellOf(canvas).height, height);
    SetBkMode(canvas.dc(), OPAQUE);
    draw(canvas.dc(), 0, 0, "\xb0\xa1");
    EXPECT_EQ(canvas.countOther({0, 0, 16, height}, kUnder), 16 * height);
    EXPECT_EQ(canvas.countOther({0, height, 60, 40}, kUnder), 0);
}

TEST_F(Drawing, AdvancesForceNarrowerCellsButNeverBelowSix) {
    Canvas canvas(100, 40, 16);
    SetBkMode(canvas.dc(), OPAQUE);
    const INT eight[] = {4, 4, 4, 4};
    draw(canvas.dc(), 0, 0, "\xb0\xa1\xb0\xa1", eight, true);
    // Two cells 8 wide, the second at 0 + 4 + 4.
    EXPECT_EQ(canvas.countOther({0, 0, 16, 16}, kUnder), 16 * 16);
    EXPECT_EQ(canvas.countOther({16, 0, 100, 40}, kUnder), 0);

    canvas.fill(kUnder);
    const INT one[] = {1, 1};
    draw(canvas.dc(), 0, 0, "\xb0\xa1", one, true);
    EXPECT_EQ(canvas.countOther({0, 0, 6, 16}, kUnder), 6 * 16);
    EXPECT_EQ(canvas.countOther({6, 0, 100, 40}, kUnder), 0);
}

TEST_F(Drawing, UnderlineAlignmentAndCurrentPosition) {
    Canvas canvas(100, 60, 16, true);
    SetBkMode(canvas.dc(), TRANSPARENT);
    draw(canvas.dc(), 10, 10, "\xb0\xa1");
    EXPECT_EQ(canvas.countOther({10, 24, 26, 25}, kInk), 0); // the row at y + 16 - 2

    Canvas baseline(100, 60, 16);
    SetBkMode(baseline.dc(), OPAQUE);
    SetTextAlign(baseline.dc(), TA_BASELINE | TA_UPDATECP);
    MoveToEx(baseline.dc(), 20, 40, nullptr);
    draw(baseline.dc(), 0, 0, "\xb0\xa1\xb0\xa1");
    int top = 40 - lxsys::textMetricsOf(baseline.dc()).tmAscent;
    POINT position{};
    GetCurrentPositionEx(baseline.dc(), &position);
    EXPECT_EQ(position.x, 52);
    EXPECT_EQ(position.y, 40);
    EXPECT_EQ(baseline.countOther({20, top, 52, top + 16}, kUnder), 32 * 16);
    EXPECT_EQ(baseline.countOther({0, top + 16, 100, 60}, kUnder), 0);
}

// The process runs out of GDI handles (65536 under Wine) within the loop if drawing a glyph kept a
// bitmap, brush or pen; the DC gets its own objects, colours and modes back.
TEST_F(Drawing, DrawingKeepsGdiObjectsBalanced) {
    constexpr int kMoreThanTheHandleLimit = 70000;
    Canvas canvas(100, 40, 16, true);
    Canvas check(40, 40, 16);
    HDC dc = canvas.dc();
    SetBkMode(dc, TRANSPARENT);
    SetStretchBltMode(dc, COLORONCOLOR);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    const INT narrow[] = {5, 5};
    for (int i = 0; i < kMoreThanTheHandleLimit; ++i)
        draw(dc, 0, 0, "\xb0\xa1", narrow, true);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetTextColor(dc), kInk);
    EXPECT_EQ(GetBkColor(dc), kPaper);
    EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
    SetBkMode(check.dc(), TRANSPARENT);
    draw(check.dc(), 4, 4, "\xb0\xa1");
    expectGlyph(check, 4, 4, gbGlyph(0xB0, 0xA1), kUnder);
}

TEST_F(Drawing, CharacterWidthsAboveAsciiAreHalfACell) {
    Canvas canvas(10, 10, 16);
    int system[256] = {};
    int widths[256] = {};
    ASSERT_TRUE(GetCharWidthA(canvas.dc(), 32, 255, system + 32));
    ASSERT_TRUE(lxsys::charWidthsA(canvas.dc(), 32, 255, widths + 32));
    for (int c = 32; c <= 128; ++c)
        EXPECT_EQ(widths[c], system[c]) << c;
    int half = (cellOf(canvas).cellWidth + 1) / 2;
    for (int c = 129; c <= 255; ++c)
        EXPECT_EQ(widths[c], half) << c;

    ASSERT_TRUE(lxsys::charWidthsA(canvas.dc(), 200, 255, widths + 200));
    for (int c = 200; c <= 255; ++c)
        EXPECT_EQ(widths[c], system[c]) << c;
    switches().chineseDisplay = 0;
    ASSERT_TRUE(lxsys::charWidthsA(canvas.dc(), 32, 255, widths + 32));
    for (int c = 129; c <= 255; ++c)
        EXPECT_EQ(widths[c], system[c]) << c;
}

TEST_F(Drawing, ExtentsCountCellsForChinese) {
    Canvas canvas(10, 10, 16);
    SIZE ab{};
    GetTextExtentPointA(canvas.dc(), "ab", 2, &ab);
    SIZE size{};
    ASSERT_TRUE(lxsys::textExtentA(canvas.dc(), "ab\xb0\xa1\xd6\xd0", 6, &size));
    EXPECT_EQ(size.cx, ab.cx + 32);
    EXPECT_EQ(size.cy, 16);
    ASSERT_TRUE(lxsys::textExtentA(canvas.dc(), "", 0, &size));
    EXPECT_EQ(size.cx, 0);
}

TEST_F(Drawing, UnreadableTextsAreRefusedWithoutDrawing) {
    Canvas canvas(40, 40, 16);
    const char* unmapped = reinterpret_cast<const char*>(16);
    EXPECT_FALSE(lxsys::drawText(canvas.dc(), 0, 0, 0, nullptr, nullptr, 5, nullptr, false));
    EXPECT_FALSE(lxsys::drawText(canvas.dc(), 0, 0, 0, nullptr, unmapped, 2, nullptr, true));
    const INT* badAdvances = reinterpret_cast<const INT*>(16);
    EXPECT_FALSE(lxsys::drawText(canvas.dc(), 0, 0, 0, nullptr, "ab", 2, badAdvances, true));
    EXPECT_TRUE(systemTexts().empty());
    EXPECT_EQ(canvas.countOther({0, 0, 40, 40}, kUnder), 0);
    SIZE size{};
    EXPECT_FALSE(lxsys::textExtentA(canvas.dc(), unmapped, 3, &size));
    EXPECT_FALSE(lxsys::textExtentA(canvas.dc(), "abc", -1, &size));
    EXPECT_FALSE(lxsys::charWidthsA(canvas.dc(), 32, 255, nullptr));
}

// Dynamic translation asks the dictionary engine beside this program for "File".
class Translation : public Drawing {
  protected:
    void SetUp() override {
        Drawing::SetUp();
        switches().chineseDisplay = 0;
        switches().dynamicTranslate = 1;
    }
};

TEST_F(Translation, EnglishRunsAreDrawnInChinese) {
    Canvas canvas(200, 40, 16);
    draw(canvas.dc(), 0, 0, "File");
    ASSERT_EQ(systemTexts().size(), 1u);
    EXPECT_EQ(systemTexts()[0].text, "\xb5\xb5\xb0\xb8");

    systemTexts().clear();
    switches().drawPrompt = 1;
    draw(canvas.dc(), 0, 0, "File");
    ASSERT_EQ(systemTexts().size(), 1u);
    EXPECT_EQ(systemTexts()[0].text, "File");
}

TEST_F(Translation, TheTranslationTakesTheRoomOfTheEnglish) {
    switches().chineseDisplay = 1;
    Canvas canvas(200, 40, 16);
    SetBkMode(canvas.dc(), OPAQUE);
    const INT advances[] = {10, 10, 10, 10};
    draw(canvas.dc(), 0, 0, "File", advances, true);
    // Two glyphs in the 40 pixels of the English, 20 apart.
    EXPECT_TRUE(systemTexts().empty());
    EXPECT_EQ(canvas.countOther({0, 0, 16, 16}, kUnder), 16 * 16);
    EXPECT_EQ(canvas.countOther({16, 0, 20, 40}, kUnder), 0);
    EXPECT_EQ(canvas.countOther({20, 0, 36, 16}, kUnder), 16 * 16);
    EXPECT_EQ(canvas.countOther({36, 0, 200, 40}, kUnder), 0);
}

} // namespace
