// The pure pieces of the Chinese display: glyph cells, the runs a text is drawn in, and the
// display conversions with their decode switches.
#include "drawing.h"
#include "drawing_fakes.h"
#include "textout.h"

#include "cpconv.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

using lxsys::DisplayText;
using lxsys::kDisplayBufferSize;

namespace {

TEXTMETRICA fontOf(int height, int averageWidth, int leading) {
    TEXTMETRICA metrics{};
    metrics.tmHeight = height;
    metrics.tmAveCharWidth = averageWidth;
    metrics.tmInternalLeading = leading;
    return metrics;
}

void expectCell(const TEXTMETRICA& metrics, bool small, int height, int cellWidth) {
    lxsys::GlyphMetrics glyph = lxsys::glyphMetrics(metrics, small);
    EXPECT_EQ(glyph.height, height);
    EXPECT_EQ(glyph.cellWidth, cellWidth);
}

TEST(GlyphMetrics, HeightAndCellWidthFollowTheFont) {
    expectCell(fontOf(12, 6, 2), false, 12, 12);
    expectCell(fontOf(12, 6, 2), true, 10, 12);
    expectCell(fontOf(20, 5, 0), false, 20, 20); // raised to the height
    expectCell(fontOf(16, 4, 0), false, 16, 16); // raised to 16
    expectCell(fontOf(20, 4, 4), false, 16, 16); // 2 x 4 + 4 < 20: the leading is left out
    expectCell(fontOf(10, 3, 1), false, 9, 9);
    expectCell(fontOf(14, 9, 2), false, 14, 18); // wide fonts keep their width
}

std::string runsOf(const char* text, int length) {
    std::string runs;
    for (int at = 0; at < length;) {
        lxsys::DrawingRun run = lxsys::nextDrawingRun(CPC_PAGE_GB, text + at, length - at);
        runs += (run.doubleByte ? "D" : "S") + std::to_string(run.length) + " ";
        at += run.length;
    }
    return runs;
}

class Conversions : public testing::Test {
  protected:
    void SetUp() override {
        previousPage_ = CPC_SetCodePage(CPC_PAGE_GB);
        switches() = {};
    }
    void TearDown() override {
        CPC_SetCodePage(previousPage_);
        switches() = {};
    }
    std::string convert(const std::string& text) {
        DisplayText shown = lxsys::convertForDisplay(dc_, 10, 10, text.data(),
                                                     static_cast<int>(text.size()), buffer_);
        return std::string(shown.text, static_cast<size_t>(shown.length));
    }

    HDC dc_ = reinterpret_cast<HDC>(0x1234);
    char buffer_[kDisplayBufferSize];
    short previousPage_ = CPC_PAGE_GB;
};

TEST_F(Conversions, RunsSplitByKind) {
    EXPECT_EQ(runsOf("ab\xb0\xa1\xd6\xd0"
                     "cd",
                     8),
              "S2 D4 S2 ");
    EXPECT_EQ(runsOf("\xb0\xa1", 2), "D2 ");
    EXPECT_EQ(runsOf("a\xb0", 2), "S2 ");               // a lead byte without its trail byte
    EXPECT_EQ(runsOf("\xb0\xa1\xb0", 3), "D2 S1 ");     // the text ends inside a character
    EXPECT_EQ(runsOf("\xb0\xa1\xb0\xa1", 3), "D2 S1 "); // the length is honoured, not the NUL
    EXPECT_EQ(runsOf("x", 1), "S1 ");
}

TEST_F(Conversions, NothingIsDecodedWithTheSwitchesOff) {
    EXPECT_EQ(convert("=?gb2312?B?xOO6ww==?="), "=?gb2312?B?xOO6ww==?=");
    EXPECT_EQ(convert("~{Dc:C~}"), "~{Dc:C~}");
    EXPECT_EQ(convert("\x1b$)A\x0e"
                      "Dc:C\x0f"),
              "\x1b$)A\x0e"
              "Dc:C\x0f");
}

TEST_F(Conversions, MimeWordsAreDecoded) {
    switches().decodeMime = 1;
    EXPECT_EQ(convert("=?gb2312?B?xOO6ww==?="), "\xc4\xe3\xba\xc3");
    EXPECT_EQ(convert("=?gb2312?Q?=C4=E3?="), "\xc4\xe3");
    EXPECT_EQ(convert("a=?b"), "a=?b"); // no ?B? or ?Q?
}

TEST_F(Conversions, Iso2022AndHz) {
    switches().decodeIso2022 = 1;
    switches().decodeHz = 1;
    EXPECT_EQ(convert("\x1b$)A\x0e"
                      "Dc:C\x0f"),
              "\xc4\xe3\xba\xc3");
    EXPECT_EQ(convert("ab~{Dc:C~}cd"), "ab\xc4\xe3\xba\xc3"
                                       "cd");
    CPC_SetCodePage(CPC_PAGE_BIG5);
    EXPECT_EQ(convert("ab~{Dc:C~}cd"), "ab\xa7\x41\xa6\x6e"
                                       "cd"); // in the current page
}

TEST_F(Conversions, Big5UnderGbIsConvertedWithAutoDetection) {
    const std::string big5 = "\xa7\xda\xad\xcc\xaa\xba\xb0\xea\xae\x61\xac\x4f\xa4\x40\xad\xd3"
                             "\xac\xfc\xc4\x52\xaa\xba\xa6\x61\xa4\xe8";
    const std::string gb = "\xce\xd2\xc3\xc7\xb5\xc4\xb9\xfa\xbc\xd2\xca\xc7\xd2\xbb\xb8\xf6"
                           "\xc3\xc0\xc0\xf6\xb5\xc4\xb5\xd8\xb7\xbd";
    EXPECT_EQ(convert(big5), big5);
    switches().decodeAutoCodePage = 1;
    EXPECT_EQ(convert(big5), gb);
    EXPECT_EQ(convert(gb), gb);
}

TEST_F(Conversions, LengthsOutsideTheBufferAreLeftAlone) {
    switches().decodeMime = 1;
    std::string word = "=?gb2312?B?xOO6ww==?=";
    std::string longest = word + std::string(kDisplayBufferSize - 1 - word.size(), 'x');
    std::string decoded = convert(longest);
    EXPECT_EQ(decoded.substr(0, 4), "\xc4\xe3\xba\xc3");
    EXPECT_EQ(buffer_[decoded.size()], '\0');
    std::string tooLong = longest + "x";
    EXPECT_EQ(convert(tooLong), tooLong);
    EXPECT_EQ(convert("="), "=");
}

// A text that ends at the last byte of a page, with no access beyond.
class PageEnd {
  public:
    PageEnd() {
        memory_ = static_cast<char*>(
            VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD previous = 0;
        VirtualProtect(memory_ + kPage, kPage, PAGE_NOACCESS, &previous);
    }
    ~PageEnd() { VirtualFree(memory_, 0, MEM_RELEASE); }
    const char* place(const std::string& text) {
        char* at = memory_ + kPage - text.size();
        std::memcpy(at, text.data(), text.size());
        return at;
    }
    const char* beyond() const { return memory_ + kPage; }

  private:
    static constexpr size_t kPage = 4096;
    char* memory_;
};

TEST_F(Conversions, NothingPastTheLengthIsRead) {
    switches().decodeMime = 1;
    switches().decodeHz = 1;
    switches().decodeIso2022 = 1;
    switches().decodeAutoCodePage = 1;
    PageEnd page;
    for (const std::string text :
         {"abc=?gb2312?", "xx=?gb2312?B?xOO6", "ab~{Dc:", "\xa7\xda\xad"}) {
        const char* placed = page.place(text);
        DisplayText shown =
            lxsys::convertForDisplay(dc_, 0, 0, placed, static_cast<int>(text.size()), buffer_);
        EXPECT_LE(shown.length, static_cast<int>(text.size()));
    }
    DisplayText unreadable = lxsys::convertForDisplay(dc_, 0, 0, page.beyond(), 20, buffer_);
    EXPECT_EQ(unreadable.text, page.beyond());
    EXPECT_FALSE(lxsys::isReadable(page.beyond() - 1, 2));
    EXPECT_TRUE(lxsys::isReadable(page.beyond() - 2, 2));
    EXPECT_FALSE(lxsys::isReadable(nullptr, 1));
}

} // namespace
