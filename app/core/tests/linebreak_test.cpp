// Texts broken into lines of a width, measured here as 10 pixels a byte.
#include "core/linebreak.h"

#include <cpconv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace lexora {
namespace {

constexpr int kByteWidth = 10;
// "中文词典" in GB.
constexpr char kChinese[] = "\xD6\xD0\xCE\xC4\xB4\xCA\xB5\xE4";

int fixedWidth(const char*, int length) {
    return kByteWidth * length;
}

// The lines of `text` under `widthLimit`, from a buffer of `size` bytes.
std::vector<std::string> broken(const std::string& text, int widthLimit, int size = 256) {
    std::vector<char> buffer(static_cast<std::size_t>(size));
    int count = breakLines(text.data(), static_cast<int>(text.size()), widthLimit, buffer.data(),
                           size, fixedWidth);
    std::vector<std::string> lines;
    for (const char* line = buffer.data(); count-- > 0; line += std::strlen(line) + 1)
        lines.emplace_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

class BreakLines : public testing::Test {
  protected:
    void SetUp() override { CPC_SetCodePage(CPC_PAGE_GB); }
};

TEST_F(BreakLines, EnglishBreaksAtTheLastSpaceWhichEndsTheLine) {
    EXPECT_EQ(broken("alpha beta", 80), (Lines{"alpha ", "beta"}));
    EXPECT_EQ(broken("one two three", 80), (Lines{"one two ", "three"}));
    EXPECT_EQ(broken("   short", 80), (Lines{"short"}));
    // A word longer than the limit is cut where it passes it.
    EXPECT_EQ(broken("abcdefghij", 50), (Lines{"abcde", "fghij"}));
}

TEST_F(BreakLines, ChineseBreaksBeforeTheCharacterThatPassesTheLimit) {
    EXPECT_EQ(broken(kChinese, 50), (Lines{"\xD6\xD0\xCE\xC4", "\xB4\xCA\xB5\xE4"}));
    // A line ending in Chinese is not taken back to an earlier space.
    EXPECT_EQ(broken(std::string("ab ") + kChinese, 70),
              (Lines{"ab \xD6\xD0", "\xCE\xC4\xB4\xCA\xB5\xE4"}));
}

TEST_F(BreakLines, EveryPartOfSpeechLabelStartsALine) {
    EXPECT_EQ(broken("book n.text v.more", 1000), (Lines{"book ", "n.text ", "v.more"}));
    EXPECT_EQ(broken("take vt.grab", 1000), (Lines{"take ", "vt.grab"}));
}

TEST_F(BreakLines, ALineThatDoesNotFitTheBufferEndsTheBreaking) {
    std::vector<char> buffer(32, '#');
    EXPECT_EQ(breakLines("one two three", 13, 80, buffer.data(), 8, fixedWidth), 0);
    EXPECT_EQ(std::string(buffer.data(), 32), std::string(32, '#'));

    EXPECT_EQ(breakLines("one two three", 13, 80, buffer.data(), 12, fixedWidth), 1);
    EXPECT_STREQ(buffer.data(), "one two ");
    EXPECT_EQ(std::string(buffer.data() + 9, 23), std::string(23, '#'));
}

TEST_F(BreakLines, NothingToBreakGivesNoLines) {
    char buffer[16] = "";
    EXPECT_EQ(breakLines("", 0, 80, buffer, sizeof buffer, fixedWidth), 0);
    EXPECT_EQ(breakLines("    ", 4, 80, buffer, sizeof buffer, fixedWidth), 0);
    EXPECT_EQ(breakLines("abc", -5, 80, buffer, sizeof buffer, fixedWidth), 0);
    EXPECT_EQ(breakLines("abc", 3, 80, buffer, 0, fixedWidth), 0);
    EXPECT_EQ(breakLines(nullptr, 3, 80, buffer, sizeof buffer, fixedWidth), 0);
}

// The text's last byte is a lead byte without its trail byte: it stays one byte of its own and
// nothing past the length is read.
TEST_F(BreakLines, ALeadByteAtTheEndIsASingleByte) {
    const char text[] = "ab\xD6\xD0";
    EXPECT_EQ(broken(std::string(text, 3), 1000), (Lines{"ab\xD6"}));
}

} // namespace
} // namespace lexora
