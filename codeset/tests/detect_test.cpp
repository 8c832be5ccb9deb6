// Code page detection: the byte rules of both tests, the bounds of the scan, and how verdicts on
// earlier pieces of a drawing context weigh in.
#include "cpconv.h"
#include "testutil.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr int kFull = 2;
constexpr int kLight = 1;
constexpr int kTrailsOnly = 0;

// The detection state belongs to the process; every drawing takes a context of its own.
int newContext() {
    static int context = 0x5000;
    return ++context;
}

// One drawing context into which pieces are drawn.
class Drawing {
  public:
    int judge(int page, const std::string& bytes, int x, int y, int mode = kFull) {
        // Exactly the bytes, without a NUL after them, so a sanitizer sees any read past length.
        std::vector<char> copy(bytes.begin(), bytes.end());
        return CPC_IsCodePage(page, copy.data(), static_cast<int>(copy.size()), x, y, context_,
                              mode);
    }

    // A piece of GB text that the GB test rejects by its bytes alone.
    void drawOther(int x, int y) { EXPECT_EQ(judge(CPC_PAGE_GB, "\xa4\x40", x, y), 0); }

  private:
    int context_ = newContext();
};

// The verdict on a piece drawn at (100, 100) in a context of its own.
int alone(int page, const std::string& bytes, int mode = kFull) {
    return Drawing().judge(page, bytes, 100, 100, mode);
}

std::string repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

const std::string kGbWord = "\xb0\xa1";              // a GB2312 character, also valid BIG5
const std::string kFourGbWords = repeat(kGbWord, 4); // decided by nothing but the tally
const std::string kTwoGbWords = repeat(kGbWord, 2);  // short enough to lean on neighbours
const std::string kBig5Only = "\xa4\x40";            // BIG5 trail byte below 0x80

TEST(DetectGb, TrailsBelow80AreNeverGb) {
    for (int mode : {kTrailsOnly, kLight, kFull}) {
        EXPECT_EQ(alone(CPC_PAGE_GB, kBig5Only, mode), 0) << mode;
        EXPECT_EQ(alone(CPC_PAGE_GB, kGbWord + "\xc4\x7e", mode), 0) << mode;
    }
    EXPECT_EQ(alone(CPC_PAGE_GB, kFourGbWords), 1);
}

TEST(DetectGb, PlacesWithoutGb2312CharactersAreNotGbInModeTwo) {
    const char* outside[] = {"\xaa\xa1", "\xaf\xfe", "\xf8\xa1", "\xfe\xfe", "\xa2\xb0", "\xa2\xfd",
                             "\xa2\xe3", "\xa2\xe4", "\xa2\xef", "\xa2\xf0", "\xa4\xa1", "\xa5\xf6",
                             "\xa6\xb9", "\xa6\xc0", "\xa6\xd9", "\xa7\xc2", "\xa7\xd0", "\xa7\xf2",
                             "\xa8\xc1", "\xa8\xc4", "\xa8\xea", "\xa8\xef", "\xa8\xf9", "\xa9\xa3",
                             "\xa9\xf0", "\xd7\xfa"};
    for (const char* pair : outside) {
        EXPECT_EQ(alone(CPC_PAGE_GB, pair), 0) << testing::PrintToString(pair);
        // Mode 1 does not know the holes; one pair alone is taken as GB.
        EXPECT_EQ(alone(CPC_PAGE_GB, pair, kLight), 1) << testing::PrintToString(pair);
    }
    const char* inside[] = {"\xa2\xb1", "\xa2\xfc", "\xa2\xe5", "\xa6\xb8", "\xa6\xc1",
                            "\xa7\xc1", "\xa7\xd1", "\xa7\xf1", "\xa8\xc5", "\xa8\xf0",
                            "\xa9\xa4", "\xa9\xef", "\xd7\xf9", "\xf7\xfe", "\xa1\xa1"};
    for (const char* pair : inside)
        EXPECT_EQ(alone(CPC_PAGE_GB, pair), 1) << testing::PrintToString(pair);
}

TEST(DetectGb, RunsOfLineSymbolsAndA2SymbolsAreNotGb) {
    // A1 B0 three times: every pair after the first repeats the one before.
    EXPECT_EQ(alone(CPC_PAGE_GB, repeat("\xa1\xb0", 3)), 0);
    EXPECT_EQ(alone(CPC_PAGE_GB, repeat("\xa1\xb0", 3), kLight), 1);
    // Only two pairs make no run (j must exceed 1); a trail outside the line set makes none.
    EXPECT_EQ(alone(CPC_PAGE_GB, repeat("\xa1\xb0", 2)), 1);
    EXPECT_EQ(alone(CPC_PAGE_GB, repeat("\xa1\xe0", 4)), 1);
    // A run broken by another character no longer covers the piece.
    EXPECT_EQ(alone(CPC_PAGE_GB, "\xa1\xb0" + kGbWord + repeat("\xa1\xb0", 2)), 1);
    // Four A2 numbers in a row are BIG5 symbols rather than GB list numbers.
    EXPECT_EQ(alone(CPC_PAGE_GB, repeat("\xa2\xb1", 4)), 0);
    EXPECT_EQ(alone(CPC_PAGE_GB, repeat("\xa2\xb1", 3)), 1);
}

TEST(DetectBig5, ByteRulesDecide) {
    EXPECT_EQ(alone(CPC_PAGE_BIG5, kBig5Only), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xc8\xa1"), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xa3\xc1"), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xa3\xc0"), 1);
    // The hole rows are checked before the trail byte.
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xc8\x40"), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xc8\x40", kTrailsOnly), 1);
    // The frequent rows A4 and A5 decide in mode 2 only.
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat("\xb0\xa1", 5) + "\xa4\xa1"), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat("\xb0\xa1", 5) + "\xa5\xa1"), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat("\xb0\xa1", 8) + "\xa4\xa1"), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat("\xb0\xa1", 8) + "\xa4\xa1", kLight), 0);
}

TEST(DetectBig5, StatisticsAfterTheScan) {
    // Full-width spaces: s = n = 3, and a single one is not enough.
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat("\xa1\xa1", 3)), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xa1\xa1"), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat("\xa1\xa1", 2)), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, kGbWord + repeat("\xa1\xa1", 3)), 0);
    // Many pairs that make no run: GB text.
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat(kGbWord, 9)), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat(kGbWord, 9), kLight), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat(kGbWord, 5)), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat(kGbWord, 5), kLight), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat(kGbWord, 4)), 1);
    // Runs of line symbols and A2 symbols are BIG5.
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat("\xa1\xb0", 6)), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xa1\xb0" + repeat("\xf9\xdd", 8)), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, repeat("\xa2\xb0", 5)), 1);
    // Nothing double-byte at all.
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "plain text"), 1);
}

TEST(DetectScan, StaysWithinLengthAndStopsAtNul) {
    EXPECT_EQ(Drawing().judge(CPC_PAGE_GB, kGbWord + kBig5Only, 0, 50), 0);
    const std::string text = kGbWord + kBig5Only;
    EXPECT_EQ(CPC_IsCodePage(CPC_PAGE_GB, text.data(), 2, 0, 50, newContext(), kFull), 1);
    EXPECT_EQ(CPC_IsCodePage(CPC_PAGE_GB, text.data(), 3, 0, 50, newContext(), kFull), 1);
    EXPECT_EQ(Drawing().judge(CPC_PAGE_GB, kGbWord + std::string(1, '\0') + kBig5Only, 0, 50), 1);
    for (int length : {0, 1, -1, INT_MIN}) {
        EXPECT_EQ(CPC_IsCodePage(CPC_PAGE_GB, nullptr, length, 0, 50, newContext(), kFull), 1);
        EXPECT_EQ(CPC_IsCodePage(CPC_PAGE_BIG5, text.data(), length, 0, 50, newContext(), kFull),
                  1);
    }
    EXPECT_EQ(CPC_IsCodePage(CPC_PAGE_BIG5, nullptr, 100, 0, 50, newContext(), kFull), 1);
    EXPECT_EQ(alone(CPC_PAGE_GB, "\xb0"), 1);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xc8"), 1);
}

TEST(DetectScan, PairsStartAboveA0AndNeedATrailOf40OrMore) {
    // A0 is a single byte, so A4 40 after it is a pair; after A1 the A4 is a trail byte.
    EXPECT_EQ(alone(CPC_PAGE_GB, "\xa0\xa4\x40"), 0);
    EXPECT_EQ(alone(CPC_PAGE_GB, "\xa1\xa4\x40"), 1);
    // A byte below 40 after a high byte leaves the high byte single.
    EXPECT_EQ(alone(CPC_PAGE_GB, "\xb0\x3f\xa4\x40"), 0);
    EXPECT_EQ(alone(CPC_PAGE_BIG5, "\xb0\x3f\xa4\x40"), 1);
    EXPECT_EQ(alone(CPC_PAGE_GB, "\xb0\x40"), 0);
}

TEST(DetectNearness, ShortBig5PiecesKeepTheVerdictNearby) {
    Drawing drawing;
    drawing.drawOther(100, 100);
    EXPECT_EQ(drawing.judge(CPC_PAGE_BIG5, kGbWord, 110, 100), 0);
    // Near in one direction is near: the same line far to the right.
    EXPECT_EQ(drawing.judge(CPC_PAGE_BIG5, kGbWord, 500, 100), 0);
    EXPECT_EQ(drawing.judge(CPC_PAGE_BIG5, kGbWord, 600, 200), 1);

    Drawing edge;
    edge.drawOther(100, 100);
    EXPECT_EQ(edge.judge(CPC_PAGE_BIG5, kGbWord, 131, 131), 0);
    EXPECT_EQ(edge.judge(CPC_PAGE_BIG5, kGbWord, 163, 163), 1);
}

TEST(DetectNearness, GbKeepsTheVerdictForTwoOrThreePairsOnly) {
    Drawing drawing;
    drawing.drawOther(100, 100);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kGbWord, 110, 100), 1);
    drawing.drawOther(120, 100);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kTwoGbWords, 130, 100), 0);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, repeat(kGbWord, 3), 140, 100), 0);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kFourGbWords, 150, 100), 1);
    drawing.drawOther(160, 100);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kTwoGbWords, 300, 300), 1);
}

TEST(DetectState, ANewContextStartsAfresh) {
    Drawing first;
    first.drawOther(-90, -90);
    EXPECT_EQ(first.judge(CPC_PAGE_GB, kTwoGbWords, -80, -90), 0);
    // The first piece of another context is measured from (-99, -99) with the verdict 1.
    Drawing second;
    EXPECT_EQ(second.judge(CPC_PAGE_GB, kTwoGbWords, -90, -90), 1);
    // Back in the first context, its verdict and position are gone too.
    EXPECT_EQ(first.judge(CPC_PAGE_BIG5, kGbWord, -80, -90), 1);
}

TEST(DetectState, MostlyOtherVerdictsTurnFarPiecesOver) {
    Drawing drawing;
    drawing.drawOther(0, 100); // the first call of a context is not counted
    drawing.drawOther(100, 100);
    drawing.drawOther(200, 100);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kFourGbWords, 300, 300), 1); // counts 1 same, 2 other
    drawing.drawOther(400, 400);
    drawing.drawOther(500, 500);
    // Now 1 same and 4 other: 1 + 2 < 4.
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kFourGbWords, 600, 600), 0);
    EXPECT_EQ(drawing.judge(CPC_PAGE_BIG5, kGbWord, 700, 700), 0);
}

TEST(DetectState, TheTopStripIsExempt) {
    Drawing drawing;
    for (int x = 0; x <= 400; x += 100)
        drawing.drawOther(x, 100);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kFourGbWords, 600, 18), 1);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kFourGbWords, 800, 19), 0);
}

TEST(DetectState, OnlyPiecesMovedMoreThanAPixelAreCounted) {
    Drawing drawing;
    drawing.drawOther(100, 100);
    for (int i = 0; i < 5; ++i) {
        drawing.drawOther(100, 100);
        drawing.drawOther(101, 101);
    }
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kFourGbWords, 300, 300), 1);
    drawing.drawOther(302, 300);
    drawing.drawOther(302, 302);
    drawing.drawOther(200, 302);
    drawing.drawOther(200, 200);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kFourGbWords, 500, 500), 0);
}

TEST(DetectState, OtherPagesReturnTheLastVerdict) {
    Drawing drawing;
    drawing.drawOther(100, 100);
    EXPECT_EQ(drawing.judge(CPC_PAGE_ANSI, kGbWord, 400, 400), 0);
    EXPECT_EQ(drawing.judge(3, kGbWord, 400, 400), 0);
    EXPECT_EQ(drawing.judge(CPC_PAGE_CURRENT, kGbWord, 400, 400), 0);
    EXPECT_EQ(Drawing().judge(CPC_PAGE_ANSI, kBig5Only, 400, 400), 1);
    // Only the low 16 bits of the page count.
    EXPECT_EQ(Drawing().judge(0x10000 | CPC_PAGE_GB, kBig5Only, 400, 400), 0);
}

TEST(DetectState, FarApartPositionsDoNotOverflow) {
    Drawing drawing;
    drawing.drawOther(INT_MIN, INT_MIN);
    EXPECT_EQ(drawing.judge(CPC_PAGE_BIG5, kGbWord, INT_MAX, INT_MAX), 1);
    drawing.drawOther(INT_MIN, INT_MAX);
    EXPECT_EQ(drawing.judge(CPC_PAGE_BIG5, kGbWord, INT_MIN + 5, INT_MAX - 5), 0);
}

// Mode 0 records no position: every piece is far from the previous one, and it neither starts
// nor leaves a context.
TEST(DetectModeZero, PiecesCountAsFarAway) {
    Drawing drawing;
    drawing.drawOther(100, 100);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kTwoGbWords, 100, 100, kTrailsOnly), 1);
    // The mode-2 piece before is still the previous position, and its context the current one.
    EXPECT_EQ(CPC_IsCodePage(CPC_PAGE_GB, kBig5Only.data(), 2, 0, 0, newContext(), kTrailsOnly), 0);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kTwoGbWords, 110, 500), 0);
}

TEST(DetectModeZero, VerdictsInTheSameContextAreCounted) {
    Drawing drawing;
    drawing.drawOther(100, 100);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kBig5Only, 100, 100, kTrailsOnly), 0);
    EXPECT_EQ(drawing.judge(CPC_PAGE_GB, kFourGbWords, 300, 300), 0);
}

// A process's first call starts a context even when it names context 0, as a null handle
// would: nothing was drawn before it.
TEST(DetectFreshState, TheFirstCallStartsAContext) {
    LibraryCopy copy({});
    ASSERT_TRUE(copy.loaded());
    using IsCodePage = int(WINAPI*)(int, const char*, int, int, int, int, int);
    auto isCodePage = reinterpret_cast<IsCodePage>(copy.symbol("CPC_IsCodePage"));
    ASSERT_NE(isCodePage, nullptr);
    EXPECT_EQ(isCodePage(CPC_PAGE_BIG5, kGbWord.data(), 2, 10, 10, 0, kFull), 1);
    EXPECT_EQ(isCodePage(CPC_PAGE_GB, kBig5Only.data(), 2, 20, 10, 0, kFull), 0);
    EXPECT_EQ(isCodePage(CPC_PAGE_GB, kTwoGbWords.data(), 4, 30, 10, 0, kFull), 0);
}

} // namespace
