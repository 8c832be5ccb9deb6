#include "entry_format.h"

#include <gtest/gtest.h>

namespace lexora::cli {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitEntry, SeparatesHeadwordPhoneticAndMeaning) {
    EntryFields fields = splitEntry("book\x01"
                                    "buk\x02"
                                    "\x08"
                                    "书");
    EXPECT_EQ(fields.headword, "book");
    EXPECT_TRUE(fields.hasPhonetic);
    EXPECT_EQ(fields.phonetic, "buk");
    EXPECT_EQ(fields.meaning, "\x08"
                              "书");
}

TEST(SplitEntry, WithoutPhoneticEndAllAfterHeadwordIsMeaning) {
    EntryFields fields = splitEntry("cn\x01"
                                    "China");
    EXPECT_FALSE(fields.hasPhonetic);
    EXPECT_EQ(fields.phonetic, "");
    EXPECT_EQ(fields.meaning, "China");
}

TEST(SplitEntry, WithoutHeadwordEndAllIsHeadword) {
    EntryFields fields = splitEntry("word");
    EXPECT_EQ(fields.headword, "word");
    EXPECT_FALSE(fields.hasPhonetic);
    EXPECT_EQ(fields.meaning, "");
}

TEST(SplitEntry, EmptyPhoneticIsStillPresent) {
    EntryFields fields = splitEntry("a\x01\x02m");
    EXPECT_TRUE(fields.hasPhonetic);
    EXPECT_EQ(fields.phonetic, "");
    EXPECT_EQ(fields.meaning, "m");
}

TEST(PhoneticToIpa, MapsEveryCode) {
    EXPECT_EQ(phoneticToIpa("/0123456789"), "ɛɔɑəʌθðʃʒŋæ");
    EXPECT_EQ(phoneticToIpa("'k9t,b2:"), "ˈkætˌbəː");
}

TEST(PhoneticToIpa, KeepsLettersAndOtherText) {
    EXPECT_EQ(phoneticToIpa("buk; bu:k"), "buk; buːk");
    EXPECT_EQ(phoneticToIpa("金额"), "金额");
}

TEST(PartOfSpeechLabel, FollowsTheTable) {
    EXPECT_EQ(partOfSpeechLabel(3), "a.");
    EXPECT_EQ(partOfSpeechLabel(8), "n.");
    EXPECT_EQ(partOfSpeechLabel(16), "aux.v.");
    EXPECT_EQ(partOfSpeechLabel(18), "vt.");
    EXPECT_EQ(partOfSpeechLabel(30), "pn.");
    for (int none : {0, 1, 2, 9, 10, 13, 26, 31, 32, 97})
        EXPECT_EQ(partOfSpeechLabel(static_cast<unsigned char>(none)), "") << none;
}

TEST(MeaningLines, OnePartOfSpeechPerLine) {
    EXPECT_EQ(meaningLines("\x03xxx,yyy\x08zzz"), (Lines{"a. xxx; yyy", "n. zzz"}));
}

TEST(MeaningLines, JoinsLabelsThatFollowEachOther) {
    EXPECT_EQ(meaningLines("\x12\x08"
                           "text"),
              (Lines{"vt.n. text"}));
}

TEST(MeaningLines, TextBeforeTheFirstLabelHasItsOwnLine) {
    EXPECT_EQ(meaningLines("abbr. x,y\x08z"), (Lines{"abbr. x; y", "n. z"}));
}

TEST(MeaningLines, LineBreakStartsANewLine) {
    EXPECT_EQ(meaningLines("one\ntwo"), (Lines{"one", "two"}));
    EXPECT_EQ(meaningLines("\x08"
                           "a\n\n\x0f"
                           "b"),
              (Lines{"n. a", "v. b"}));
}

TEST(MeaningLines, ControlBytesWithoutLabelBecomeSpaces) {
    EXPECT_EQ(meaningLines("a\tb\x1a"
                           "c"),
              (Lines{"a b c"}));
}

TEST(MeaningLines, SpacesAfterALabelAreOne) {
    EXPECT_EQ(meaningLines("\x08   书 "), (Lines{"n. 书"}));
}

TEST(MeaningLines, EmptyMeaningHasNoLines) {
    EXPECT_TRUE(meaningLines("").empty());
    EXPECT_TRUE(meaningLines("\n \n").empty());
}

TEST(FirstSense, SkipsLabelsAndStopsAtTheSeparator) {
    EXPECT_EQ(firstSense("\x08中国,瓷器"), "中国");
    EXPECT_EQ(firstSense("\x12\x08 a b \x0f"
                         "c"),
              "a b");
    EXPECT_EQ(firstSense("one\ntwo"), "one");
    EXPECT_EQ(firstSense(""), "");
}

TEST(ListRow, CutsAtTheHeadwordEnd) {
    EXPECT_EQ(listRow("book\x01"
                      "buk\x02"
                      "n."),
              "book");
    EXPECT_EQ(listRow("中国"), "中国");
}

TEST(ListRow, KeepsAtMost41Bytes) {
    std::string longWord(50, 'x');
    EXPECT_EQ(listRow(longWord + "\x01"), std::string(41, 'x'));
}

} // namespace
} // namespace lexora::cli
