#include "dictionary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace lexora::mklib {
namespace {

using testing::encoder;
using testing::gb;
using Fields = std::vector<std::string>;

// A CSV record in ECDICT's column order.
Fields row(std::string word, std::string phonetic, std::string translation,
           std::string exchange = "", std::string frq = "0") {
    return {word, phonetic, "", translation, "", "", "", "", "0", frq, exchange};
}

std::vector<Candidate> candidates(const std::vector<Fields>& rows) {
    std::vector<Candidate> result;
    for (const Fields& fields : rows) {
        if (auto candidate = makeCandidate(fields, encoder())) result.push_back(*candidate);
    }
    return result;
}

Dictionary compose(const std::vector<Fields>& rows) {
    Dictionary dictionary;
    composeEntries(candidates(rows), dictionary);
    return dictionary;
}

TEST(MakeCandidate, TakesPrintableAsciiHeadwordsOfAtMost30Bytes) {
    EXPECT_TRUE(makeCandidate(row("'s Gravenhage", "", "海牙"), encoder()));
    EXPECT_TRUE(makeCandidate(row(std::string(30, 'a'), "", "书"), encoder()));
    EXPECT_FALSE(makeCandidate(row(std::string(31, 'a'), "", "书"), encoder()));
    EXPECT_FALSE(makeCandidate(row("café", "", "咖啡馆"), encoder()));
    EXPECT_FALSE(makeCandidate(row(" cat", "", "猫"), encoder()));
    EXPECT_FALSE(makeCandidate(row("", "", "猫"), encoder()));
}

TEST(MakeCandidate, NeedsAChineseSenseThatConverts) {
    EXPECT_FALSE(makeCandidate(row("tween", "", "prep. = between"), encoder()));
    EXPECT_FALSE(makeCandidate(row("kimchi", "", "n. 김치"), encoder()));
    EXPECT_FALSE(makeCandidate({"short"}, encoder()));
}

TEST(MakeCandidate, CodesThePhoneticAndPutsTheInflectionFirst) {
    const auto cats =
        makeCandidate(row("cats", "kæts", "abbr. 高级电视研究中心", "1:s3/0:cat"), encoder());
    ASSERT_TRUE(cats);
    EXPECT_EQ(cats->phonetic, "k9ts");
    ASSERT_EQ(cats->lines.size(), 2u);
    EXPECT_EQ(cats->lines[0].senses, std::vector<std::string>{gb("cat的复数")});
    EXPECT_EQ(cats->lines[1].label, "abbr.");
}

TEST(ComposeEntries, WritesTheBookEntryAsTheEngineExpectsIt) {
    const Dictionary dictionary =
        compose({row("book", "buk", "n. 书, 书籍\\nv. 登记, 预订\\n[计] 工作簿")});
    ASSERT_EQ(dictionary.entries.size(), 1u);
    const std::string expected = "book\x01"
                                 "buk\x02\x08" +
                                 gb("书") + "," + gb("书籍") + "\x0F" + gb("登记") + "," +
                                 gb("预订") + "," + gb("[计] 工作簿");
    EXPECT_EQ(entryText(dictionary.entries[0]), expected);
}

TEST(ComposeEntries, LeavesOutThePhoneticFieldWhenThereIsNone) {
    const Dictionary dictionary = compose({row("walked", "", "v. 走路")});
    EXPECT_EQ(entryText(dictionary.entries[0]), "walked\x01\x0F" + gb("走路"));
}

TEST(ComposeEntries, SortsCaseInsensitivelyAndMergesEqualHeadwords) {
    const Dictionary dictionary =
        compose({row("china", "", "n. 瓷器, 中国", "", "3000"), row("b", "", "乙"),
                 row("China", "ˈtʃaɪnə", "n. 中国", "", "800"), row("A", "", "甲")});
    ASSERT_EQ(dictionary.entries.size(), 3u);
    EXPECT_EQ(dictionary.entries[0].headword, "A");
    EXPECT_EQ(dictionary.entries[1].headword, "b");
    EXPECT_EQ(entryText(dictionary.entries[2]),
              "China\x01't6ain2\x02\x08" + gb("中国") + "," + gb("瓷器"));
    EXPECT_EQ(dictionary.mergedRows, 1u);
    EXPECT_EQ(dictionary.importance[2].rank, 800u);
}

TEST(ComposeEntries, DropsSensesThatRepeatTheGeneralOnes) {
    const Dictionary dictionary =
        compose({row("ring", "", "n. 环, 铃声\\nv. 环\\n[计] 环, 振铃\\n环")});
    EXPECT_EQ(dictionary.entries[0].meaning,
              "\x08" + gb("环") + "," + gb("铃声") + "\x0F" + gb("环") + "," + gb("振铃"));
    EXPECT_EQ(dictionary.senses[0],
              (std::vector<std::string>{gb("环"), gb("铃声"), gb("环"), gb("振铃")}));
}

TEST(ComposeEntries, JoinsTheInflectionToALineOfTheSameCode) {
    const Dictionary dictionary = compose({row("better", "", "a. 较好的", "0:good/1:r")});
    EXPECT_EQ(dictionary.entries[0].meaning, "\x03" + gb("good的比较级") + "," + gb("较好的"));
}

TEST(ComposeEntries, KeepsEntryTextsWithin255Bytes) {
    std::string translation = "n. ";
    for (int i = 0; i < 60; ++i)
        translation += "词义" + std::to_string(i) + ", ";
    translation += "\\nv. 动词";
    const Dictionary dictionary = compose({row("long", "lɒŋ", translation)});
    const std::string text = entryText(dictionary.entries[0]);
    EXPECT_LE(text.size(), maxEntryLength);
    EXPECT_GT(text.size(), maxEntryLength - 8);
    EXPECT_NE(text.find("\x0F" + gb("动词")), std::string::npos);
    EXPECT_NE(text.back(), ',');
}

TEST(ReadCandidates, SkipsTheHeaderAndCountsRows) {
    const std::string csv = "word,phonetic,definition,translation\n"
                            "cat,kæt,,\"n. 猫, 恶妇\"\n"
                            "café,,,n. 咖啡馆\n";
    Dictionary dictionary;
    std::size_t lastDone = 0;
    const auto read = readCandidates(csv, encoder(), dictionary,
                                     [&](std::size_t done, std::size_t) { lastDone = done; });
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].headword, "cat");
    EXPECT_EQ(dictionary.rows, 2u);
    EXPECT_EQ(lastDone, csv.size());
}

TEST(BuildIndexes, LinksWordsToTheFinalEntryNumbers) {
    Dictionary dictionary = compose({row("volume", "", "n. 卷, 书"),
                                     row("book", "", "n. 书", "", "5"), row("a", "", "art. 一")});
    buildIndexes(dictionary, libwriter::Layout{});
    ASSERT_EQ(dictionary.words.size(), 3u);
    EXPECT_EQ(dictionary.words[1].word, gb("书"));
    // book (entry 1) is the more frequent word.
    EXPECT_EQ(dictionary.words[1].references, (std::vector<uint32_t>{1, 2}));
}

TEST(BuildIndexes, DropsWordsThatCannotBeFrontCoded) {
    // The long word shares no prefix with the word before it, so its 20 bytes cannot be coded.
    Dictionary dictionary = compose({row("a", "", "甲, 一二三四五六七八九十")});
    buildIndexes(dictionary, libwriter::Layout{});
    ASSERT_EQ(dictionary.words.size(), 1u);
    EXPECT_EQ(dictionary.words[0].word, gb("甲"));
    EXPECT_EQ(dictionary.droppedWords, 1u);
}

TEST(CanFrontCode, KeepsAtMost15BytesAndAddsAtMost15) {
    EXPECT_TRUE(canFrontCode("", std::string(15, 'a')));
    EXPECT_FALSE(canFrontCode("", std::string(16, 'a')));
    EXPECT_TRUE(canFrontCode(std::string(20, 'a'), std::string(30, 'a')));
    EXPECT_FALSE(canFrontCode(std::string(14, 'a'), std::string(30, 'a')));
    EXPECT_TRUE(canFrontCode("abc", "abcdefghijklmnopqr"));
}

} // namespace
} // namespace lexora::mklib
