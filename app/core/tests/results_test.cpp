// Translations split into their pieces and meanings laid into lines.
#include "core/results.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lexora {
namespace {

struct Line {
    std::string text;
    bool lineBreak;
    bool operator==(const Line&) const = default;
};

void PrintTo(const Line& line, std::ostream* out) {
    *out << '"' << line.text << '"' << (line.lineBreak ? " + break" : "");
}

std::vector<Line> laidOut(const char* meanings, const LineFits& fits = nullptr,
                          LabelLines labels = LabelLines::Joined) {
    std::vector<Line> lines;
    layoutMeanings(
        meanings, fits,
        [&lines](const char* text, std::size_t length, bool lineBreak) {
            lines.push_back({std::string(text, length), lineBreak});
        },
        labels);
    return lines;
}

std::string piece(const char* start, std::size_t length) {
    return start ? std::string(start, length) : std::string("(none)");
}

TEST(SplitTranslation, FindsHeadwordPhoneticAndMeanings) {
    TranslationParts parts = splitTranslation("book\x01"
                                              "buk\x02"
                                              "\x08"
                                              "book");
    EXPECT_EQ(piece(parts.headword, parts.headwordLength), "book");
    EXPECT_EQ(piece(parts.phonetic, parts.phoneticLength), "buk");
    EXPECT_STREQ(parts.meanings, "\x08"
                                 "book");

    parts = splitTranslation("word\x01"
                             "meaning,more");
    EXPECT_EQ(piece(parts.headword, parts.headwordLength), "word");
    EXPECT_EQ(parts.phonetic, nullptr);
    EXPECT_STREQ(parts.meanings, "meaning,more");

    parts = splitTranslation("alone");
    EXPECT_EQ(piece(parts.headword, parts.headwordLength), "alone");
    EXPECT_EQ(parts.phonetic, nullptr);
    EXPECT_EQ(parts.meanings, nullptr);

    parts = splitTranslation(nullptr);
    EXPECT_EQ(parts.headwordLength, 0u);
    EXPECT_EQ(parts.meanings, nullptr);
}

TEST(LayoutMeanings, LabelsStartLinesAndCommasBecomeSemicolons) {
    EXPECT_EQ(laidOut("\x03xxx,yyy\x08zzz"),
              (std::vector<Line>{{"a.xxx;yyy", true}, {"n.zzz", false}}));
    EXPECT_EQ(laidOut("plain,text\x08noun"),
              (std::vector<Line>{{"plain;text", true}, {"n.noun", false}}));
    EXPECT_TRUE(laidOut("").empty());
}

TEST(LayoutMeanings, LabelsInARowShareALineOnlyInThePane) {
    EXPECT_EQ(laidOut("\x12\x08reserve"), (std::vector<Line>{{"vt.n.reserve", false}}));
    EXPECT_EQ(laidOut("\x12\x08reserve", nullptr, LabelLines::Separate),
              (std::vector<Line>{{"vt.", true}, {"n.reserve", false}}));
}

TEST(LayoutMeanings, LineEndsAfterTheCharacterThatNoLongerFits) {
    LineFits sixBytesWide = [](const char*, std::size_t length) { return length <= 6; };
    EXPECT_EQ(laidOut("\x08"
                      "abcdefgh",
                      sixBytesWide),
              (std::vector<Line>{{"n.abcde", true}, {"fgh", false}}));
    // Before a label the label's own break ends the line: no empty line between.
    EXPECT_EQ(laidOut("\x08"
                      "abcde\x12"
                      "d",
                      sixBytesWide),
              (std::vector<Line>{{"n.abcde", true}, {"vt.d", false}}));
}

TEST(LayoutMeanings, LinesHoldAtMost99BytesAndKeepDoubleByteCharactersWhole) {
    std::string text(150, 'a');
    std::vector<Line> lines = laidOut(text.c_str());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (Line{std::string(99, 'a'), true}));
    EXPECT_EQ(lines[1], (Line{std::string(51, 'a'), false}));

    std::string pairs = std::string(98, 'a') + "\xB0\xA1\xB0\xA1";
    lines = laidOut(pairs.c_str(), nullptr, LabelLines::Separate);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (Line{std::string(98, 'a'), true}));
    EXPECT_EQ(lines[1], (Line{"\xB0\xA1\xB0\xA1", false}));

    // A measure that is never satisfied still moves on a whole character at a time.
    LineFits nothingFits = [](const char*, std::size_t) { return false; };
    EXPECT_EQ(laidOut("\xD6\xD0\xCE\xC4", nothingFits),
              (std::vector<Line>{{"\xD6\xD0", true}, {"\xCE\xC4", false}}));
}

TEST(LayoutMeanings, ManyLabelsInARowStayWithinTheLimit) {
    std::string labels(60, '\x12');
    for (const Line& line : laidOut(labels.c_str()))
        EXPECT_LE(line.text.size(), 99u);
}

TEST(NeighbourRows, WindowAroundTheCurrentWord) {
    EXPECT_EQ(neighbourRows(0, 1000).start, 0);
    EXPECT_EQ(neighbourRows(0, 1000).rows, 20);
    EXPECT_EQ(neighbourRows(3, 1000).start, 0);
    EXPECT_EQ(neighbourRows(500, 1000).start, 496);
    EXPECT_EQ(neighbourRows(500, 1000).rows, 20);
    EXPECT_EQ(neighbourRows(999, 1000).start, 981);
    EXPECT_EQ(neighbourRows(999, 1000).rows, 19);
    EXPECT_EQ(neighbourRows(985, 1000).start, 981);
    EXPECT_EQ(neighbourRows(984, 1000).start, 980);
    EXPECT_EQ(neighbourRows(984, 1000).rows, 20);
}

TEST(NeighbourRows, ShortListIsShownWholeFromItsStart) {
    EXPECT_EQ(neighbourRows(7, 10).start, 0);
    EXPECT_EQ(neighbourRows(7, 10).rows, 10);
    EXPECT_EQ(neighbourRows(0, 0).rows, 0);
}

} // namespace
} // namespace lexora
