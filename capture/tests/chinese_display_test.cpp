// The Chinese display through this process's own redirected entry points: what TextOutA and
// GetCharWidthA do once the library is loaded, with the switches the application sets.
#include "canvas.h"
#include "testutil.h"

#include <gtest/gtest.h>

namespace {

class ChineseDisplay : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = record();
        LXbActiveHZSYS(1);
        LXbSetDynamicHH(0);
        LXbSetDrawPrompt(0);
    }
    void TearDown() override {
        LXbActiveHZSYS(saved_.chineseDisplay);
        LXbSetDynamicHH(saved_.dynamicTranslate);
        LXbSetDrawPrompt(saved_.drawPrompt);
    }
    static void drawFile(Canvas& canvas) {
        SetBkMode(canvas.dc(), OPAQUE);
        ASSERT_TRUE(TextOutA(canvas.dc(), 4, 4, "File", 4));
    }

    CaptureShared saved_;
};

TEST_F(ChineseDisplay, TextOutDrawsGbGlyphsAndWidthsFollow) {
    Canvas canvas(100, 40, 16);
    SetBkMode(canvas.dc(), OPAQUE);
    ASSERT_TRUE(TextOutA(canvas.dc(), 4, 4, "\xb0\xa1\xd6\xd0", 4));
    EXPECT_EQ(canvas.glyphMismatches(4, 4, gbGlyph(0xB0, 0xA1), kPaper), 0);
    EXPECT_EQ(canvas.glyphMismatches(20, 4, gbGlyph(0xD6, 0xD0), kPaper), 0);
    int widths[256] = {};
    ASSERT_TRUE(GetCharWidthA(canvas.dc(), 32, 255, widths + 32));
    EXPECT_EQ(widths[200], 8); // half of a 16-pixel cell
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), "\xb0\xa1\xd6\xd0", 4, &size));
    EXPECT_EQ(size.cx, 32);
}

// Edit controls draw through the system's script processor, which passes glyph indices: they are
// taken back to the characters of an ANSI text and drawn as Chinese all the same.
TEST_F(ChineseDisplay, GlyphIndexTextDrawsGbGlyphs) {
    Canvas canvas(100, 40, 16);
    SetBkMode(canvas.dc(), OPAQUE);
    const char gb[] = "\xb0\xa1\xd6\xd0";
    WCHAR characters[4];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, gb, 4, characters, 4), 4);
    WORD glyphs[4];
    ASSERT_EQ(GetGlyphIndicesW(canvas.dc(), characters, 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS),
              4u);
    ASSERT_TRUE(ExtTextOutW(canvas.dc(), 4, 4, ETO_GLYPH_INDEX, nullptr,
                            reinterpret_cast<LPCWSTR>(glyphs), 4, nullptr));
    EXPECT_EQ(canvas.glyphMismatches(4, 4, gbGlyph(0xB0, 0xA1), kPaper), 0);
    EXPECT_EQ(canvas.glyphMismatches(20, 4, gbGlyph(0xD6, 0xD0), kPaper), 0);
}

// The script processor passes characters with x and y advances (ETO_PDY); a run that stays on
// its line is drawn as Chinese like any other.
TEST_F(ChineseDisplay, TextWithVerticalAdvancesOfZeroDrawsGbGlyphs) {
    Canvas canvas(100, 40, 16);
    SetBkMode(canvas.dc(), OPAQUE);
    WCHAR characters[4];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xb0\xa1\xd6\xd0", 4, characters, 4), 4);
    const INT pairs[8] = {8, 0, 8, 0, 8, 0, 8, 0};
    ASSERT_TRUE(ExtTextOutW(canvas.dc(), 4, 4, ETO_PDY, nullptr, characters, 4, pairs));
    EXPECT_EQ(canvas.glyphMismatches(4, 4, gbGlyph(0xB0, 0xA1), kPaper), 0);
    EXPECT_EQ(canvas.glyphMismatches(20, 4, gbGlyph(0xD6, 0xD0), kPaper), 0);
}

// The script processor cuts a widened GB text into runs by script, here inside 国 (0xB9 reads
// as a superscript digit): the pair is drawn whole, where the lead byte was to be.
TEST_F(ChineseDisplay, APairCutOverTwoScriptRunsIsDrawnWhole) {
    Canvas canvas(100, 60, 16);
    SetBkMode(canvas.dc(), OPAQUE);
    WCHAR characters[4];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xb0\xa1\xb9\xfa", 4, characters, 4), 4);
    const INT pairs[8] = {8, 0, 8, 0, 8, 0, 8, 0};
    ASSERT_TRUE(ExtTextOutW(canvas.dc(), 4, 4, ETO_PDY, nullptr, characters, 3, pairs));
    ASSERT_TRUE(ExtTextOutW(canvas.dc(), 28, 4, ETO_PDY, nullptr, characters + 3, 1, pairs));
    EXPECT_EQ(canvas.glyphMismatches(4, 4, gbGlyph(0xB0, 0xA1), kPaper), 0);
    EXPECT_EQ(canvas.glyphMismatches(20, 4, gbGlyph(0xB9, 0xFA), kPaper), 0);

    // A lead byte that the next run does not continue is drawn alone in its place.
    ASSERT_TRUE(ExtTextOutW(canvas.dc(), 4, 24, ETO_PDY, nullptr, characters + 2, 1, pairs));
    EXPECT_EQ(canvas.countOther({4, 24, 12, 40}, kUnder), 0);
    ASSERT_TRUE(ExtTextOutW(canvas.dc(), 4, 44, ETO_PDY, nullptr, characters, 2, pairs));
    EXPECT_GT(canvas.countOther({4, 24, 12, 40}, kUnder), 0);
}

// Advances narrower than a glyph squeeze it; the columns it merges keep their ink whatever the
// colours: 中's stroke above its box survives at 15 pixels.
TEST_F(ChineseDisplay, AGlyphSqueezedByItsAdvancesKeepsItsStrokes) {
    Canvas canvas(100, 40, 16);
    SetBkMode(canvas.dc(), OPAQUE);
    const WCHAR characters[2] = {0xD6, 0xD0};
    const INT pairs[4] = {8, 0, 7, 0};
    ASSERT_TRUE(ExtTextOutW(canvas.dc(), 4, 4, ETO_PDY, nullptr, characters, 2, pairs));
    EXPECT_GT(canvas.countOther({4, 4, 19, 8}, kPaper), 0);
    EXPECT_EQ(canvas.countOther({19, 4, 20, 20}, kUnder), 0);
}

// The dictionary engine beside the library translates "File"; text the application draws between
// LXbSetDrawPrompt(1) and (0) looks as it does without translation.
TEST_F(ChineseDisplay, DynamicTranslationSparesTheApplicationsOwnText) {
    Canvas translated(100, 40, 16);
    Canvas prompt(100, 40, 16);
    Canvas plain(100, 40, 16);
    LXbSetDynamicHH(1);
    drawFile(translated);
    LXbSetDrawPrompt(1);
    drawFile(prompt);
    LXbSetDrawPrompt(0);
    LXbSetDynamicHH(0);
    drawFile(plain);
    EXPECT_EQ(translated.glyphMismatches(4, 4, gbGlyph(0xB5, 0xB5), kPaper), 0);
    EXPECT_EQ(translated.glyphMismatches(20, 4, gbGlyph(0xB0, 0xB8), kPaper), 0);
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            differing += prompt.at(x, y) != plain.at(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_GT(plain.countOther({4, 4, 40, 20}, kPaper), 0);
}

} // namespace
