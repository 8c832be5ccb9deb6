// Splitting drawn texts into runs, the text of double-byte runs, and placement by alignment.
#include "cpconv.h"
#include "textruns.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using lxsys::Placement;

struct Piece {
    std::string text;
    bool isBreak;
    bool isDoubleByte;
    bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Piece& piece) {
    return out << '"' << piece.text << '"' << (piece.isBreak ? " break" : "")
               << (piece.isDoubleByte ? " double-byte" : "");
}

std::vector<Piece> split(const std::string& text, bool joinSpaced = false) {
    std::vector<Piece> pieces;
    for (size_t start = 0; start < text.size();) {
        lxsys::TextRun run =
            lxsys::nextRun(text.data() + start, static_cast<int>(text.size() - start), joinSpaced);
        if (run.length <= 0) break;
        pieces.push_back(
            {text.substr(start, static_cast<size_t>(run.length)), run.isBreak, run.isDoubleByte});
        start += static_cast<size_t>(run.length);
    }
    return pieces;
}

// The words of a text, break runs left out.
std::vector<std::string> words(const std::string& text, bool joinSpaced = false) {
    std::vector<std::string> found;
    for (const Piece& piece : split(text, joinSpaced))
        if (!piece.isBreak) found.push_back(piece.text);
    return found;
}

class Splitting : public testing::Test {
  protected:
    void SetUp() override { previous_ = CPC_SetCodePage(CPC_PAGE_GB); }
    void TearDown() override { CPC_SetCodePage(previous_); }

  private:
    short previous_ = 0;
};

// "中国" and "人民" in GB.
const std::string kChina = "\xD6\xD0\xB9\xFA";
const std::string kPeople = "\xC8\xCB\xC3\xF1";

TEST_F(Splitting, DotsCommasAndSlashesStayInsideNumbersAndAbbreviations) {
    EXPECT_EQ(words("U.S.A. now"), (std::vector<std::string>{"U.S.A.", "now"}));
    EXPECT_EQ(words("end.Next"), (std::vector<std::string>{"end", "Next"}));
    EXPECT_EQ(words("3.14"), (std::vector<std::string>{"3.14"}));
    EXPECT_EQ(words("1,000"), (std::vector<std::string>{"1,000"}));
    EXPECT_EQ(words("1/2"), (std::vector<std::string>{"1/2"}));
    EXPECT_EQ(words("a,b"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(words(".5 mm"), (std::vector<std::string>{".5", "mm"}));
    // One letter-dot-letter pattern is not an abbreviation.
    EXPECT_EQ(words("e.g"), (std::vector<std::string>{"e", "g"}));
}

TEST_F(Splitting, BreakRunsTakeEveryBreakByteInARow) {
    EXPECT_EQ(split("(hello), world"), (std::vector<Piece>{{"(", true, false},
                                                           {"hello", false, false},
                                                           {"), ", true, false},
                                                           {"world", false, false}}));
    EXPECT_EQ(split(std::string("a\0b", 3)),
              (std::vector<Piece>{
                  {"a", false, false}, {std::string(1, '\0'), true, false}, {"b", false, false}}));
    EXPECT_EQ(split("x"), (std::vector<Piece>{{"x", false, false}}));
}

TEST_F(Splitting, DoubleByteAndSingleByteCharactersMakeSeparateRuns) {
    EXPECT_EQ(
        split("ab" + kChina + "cd"),
        (std::vector<Piece>{{"ab", false, false}, {kChina, false, true}, {"cd", false, false}}));
    // A lead byte at the very end is a single byte.
    EXPECT_EQ(split("a\xD6"), (std::vector<Piece>{{"a\xD6", false, false}}));
}

TEST_F(Splitting, ASpaceBetweenChineseCharactersJoinsOnlyWhenAsked) {
    std::string spaced = kChina + " " + kPeople;
    EXPECT_EQ(words(spaced), (std::vector<std::string>{kChina, kPeople}));
    EXPECT_EQ(words(spaced, true), (std::vector<std::string>{spaced}));
    // Two spaces, or a space before a single-byte character, still break.
    EXPECT_EQ(words(kChina + "  " + kPeople, true), (std::vector<std::string>{kChina, kPeople}));
    EXPECT_EQ(words(kChina + " a", true), (std::vector<std::string>{kChina, "a"}));
}

TEST_F(Splitting, TheReportedDoubleByteTextDropsJoinedSpacesAndStaysInItsBuffer) {
    std::string spaced = kChina + " " + kPeople;
    char out[16];
    EXPECT_EQ(lxsys::doubleByteRunText(spaced.data(), static_cast<int>(spaced.size()), true, out,
                                       sizeof out),
              8);
    EXPECT_EQ(std::string(out), kChina + kPeople);
    char small[4];
    EXPECT_EQ(lxsys::doubleByteRunText(kChina.data(), 4, false, small, sizeof small), 2);
    EXPECT_EQ(std::string(small), kChina.substr(0, 2));
    EXPECT_EQ(lxsys::doubleByteRunText("ab", 2, false, out, sizeof out), 0);
    EXPECT_EQ(out[0], '\0');
}

// A right-aligned or centred text lands where a left-aligned one drawn from its left edge does.
TEST(Placement, AlignmentMovesTheRectangleByTheWidth) {
    Placement left{}, right{}, centre{};
    ASSERT_TRUE(lxsys::placeText(0, 100, 50, 41, 18, 15, 3, left));
    ASSERT_TRUE(lxsys::placeText(TA_RIGHT, 141, 50, 41, 18, 15, 3, right));
    ASSERT_TRUE(lxsys::placeText(TA_CENTER, 120, 50, 40, 18, 15, 3, centre));
    EXPECT_EQ(left.left, 100);
    EXPECT_EQ(left.right, 141);
    EXPECT_EQ(right.left, 100);
    EXPECT_EQ(right.right, 141);
    EXPECT_EQ(centre.left, 100);
    EXPECT_EQ(centre.right, 140);
    // An odd width is halved toward zero on both sides.
    ASSERT_TRUE(lxsys::placeText(TA_CENTER, 120, 50, 41, 18, 15, 3, centre));
    EXPECT_EQ(centre.left, 100);
    EXPECT_EQ(centre.right, 140);
}

TEST(Placement, VerticalAlignment) {
    Placement placed{};
    ASSERT_TRUE(lxsys::placeText(TA_TOP, 0, 50, 10, 18, 15, 3, placed));
    EXPECT_EQ(placed.top, 50);
    EXPECT_EQ(placed.bottom, 68);
    ASSERT_TRUE(lxsys::placeText(TA_BOTTOM, 0, 50, 10, 18, 15, 3, placed));
    EXPECT_EQ(placed.top, 32);
    EXPECT_EQ(placed.bottom, 50);
    ASSERT_TRUE(lxsys::placeText(TA_BASELINE, 0, 50, 10, 18, 15, 3, placed));
    EXPECT_EQ(placed.top, 35);
    EXPECT_EQ(placed.bottom, 53);
}

TEST(Placement, EdgesBeyond32BitsAreRefused) {
    Placement placed{};
    EXPECT_FALSE(lxsys::placeText(0, 0x7FFFFFF0, 0, 100, 18, 15, 3, placed));
    EXPECT_FALSE(lxsys::placeText(TA_RIGHT, -0x7FFFFFF0, 0, 100, 18, 15, 3, placed));
    EXPECT_FALSE(lxsys::placeText(TA_BOTTOM, 0, -0x7FFFFFF0, 10, 100, 15, 3, placed));
    EXPECT_TRUE(lxsys::placeText(0, 0x7FFFFF00, 0, 100, 18, 15, 3, placed));
}

} // namespace
