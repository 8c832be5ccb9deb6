#include "chinese.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace lexora::mklib {
namespace {

using testing::gb;

TEST(ChineseWord, RemovesBracketedNotes) {
    EXPECT_EQ(chineseWord(gb("[计] 工作簿")), gb("工作簿"));
    EXPECT_EQ(chineseWord(gb("书（复数）")), gb("书"));
    EXPECT_EQ(chineseWord(gb("使(马，鹰等)戴头罩")), gb("使戴头罩"));
    EXPECT_EQ(chineseWord(gb("〔植〕【古】<美>马铃薯")), gb("马铃薯"));
    EXPECT_EQ(chineseWord(gb("（乙（丙）丁）甲")), gb("甲"));
}

TEST(ChineseWord, AcceptsNamesAndFullWidthLettersAndGreek) {
    EXPECT_EQ(chineseWord(gb("乔治·华盛顿")), gb("乔治·华盛顿"));
    EXPECT_EQ(chineseWord(gb("Ｘ射线")), gb("Ｘ射线"));
    EXPECT_EQ(chineseWord(gb("α粒子")), gb("α粒子"));
}

TEST(ChineseWord, RefusesSensesThatAreNoWord) {
    EXPECT_FALSE(chineseWord(gb("DOS命令")));
    EXPECT_FALSE(chineseWord(gb("给…加罩")));
    EXPECT_FALSE(chineseWord(gb("表示：能")));
    EXPECT_FALSE(chineseWord(gb("（复数）")));
    EXPECT_FALSE(chineseWord(gb("ＸＹ")));
    EXPECT_FALSE(chineseWord(""));
}

TEST(ChineseWord, AllowsOneToFifteenCharacters) {
    EXPECT_EQ(chineseWord(gb("书")), gb("书"));
    const std::string fifteen = gb("一二三四五六七八九十一二三四五");
    EXPECT_EQ(chineseWord(fifteen), fifteen);
    EXPECT_FALSE(chineseWord(fifteen + gb("六")));
}

TEST(WithoutNotes, KeepsTheRestOfTheSenseAsItIs) {
    EXPECT_EQ(withoutNotes(gb("[计] DOS命令 ")), gb("DOS命令"));
    EXPECT_EQ(withoutNotes(gb("（复数）")), "");
}

Importance ranked(uint32_t rank) {
    Importance importance;
    importance.rank = rank;
    return importance;
}

TEST(Importance, ReadsEcdictsFields) {
    const Importance book = Importance::fromFields("241", "235", "5", "1", "zk gk ielts");
    EXPECT_EQ(book.rank, 235u);
    EXPECT_EQ(book.collins, 5);
    EXPECT_TRUE(book.oxford);
    EXPECT_EQ(book.examLists, 3);
    EXPECT_EQ(Importance::fromFields("0", "", "", "", "").rank, Importance::unranked);
    EXPECT_EQ(Importance::fromFields("0", "77", "", "", "").rank, 77u);
}

TEST(Importance, PutsTheMoreFrequentWordFirstThenStarsThenExamLists) {
    EXPECT_TRUE(moreImportant(ranked(10), ranked(11)));
    EXPECT_TRUE(moreImportant(ranked(5000), Importance{}));
    Importance starred;
    starred.collins = 2;
    Importance listed;
    listed.examLists = 4;
    Importance oxford;
    oxford.oxford = true;
    EXPECT_TRUE(moreImportant(starred, oxford));
    EXPECT_TRUE(moreImportant(oxford, listed));
    EXPECT_TRUE(moreImportant(listed, Importance{}));
    EXPECT_FALSE(moreImportant(Importance{}, Importance{}));
}

TEST(BuildChineseIndex, ListsTheEntriesOfEachWordMostFrequentFirst) {
    const std::vector<std::vector<std::string>> senses = {
        {gb("书"), gb("书籍")}, {gb("[计] 书"), gb("书")}, {gb("书"), gb("给…加罩")}, {gb("簿")}};
    const std::vector<Importance> importance = {ranked(900), ranked(20), ranked(900), {}};
    const auto words = buildChineseIndex(senses, importance);
    ASSERT_EQ(words.size(), 3u);
    // Byte order: 簿 B2BE, 书 CAE9, 书籍 CAE9BCAE.
    EXPECT_EQ(words[0].word, gb("簿"));
    EXPECT_EQ(words[0].references, std::vector<uint32_t>{3});
    EXPECT_EQ(words[1].word, gb("书"));
    EXPECT_EQ(words[1].references, (std::vector<uint32_t>{1, 0, 2}));
    EXPECT_EQ(words[2].word, gb("书籍"));
}

TEST(BuildChineseIndex, KeepsTheMostFrequent127Entries) {
    std::vector<std::vector<std::string>> senses(200, {gb("书")});
    std::vector<Importance> importance;
    for (uint32_t i = 0; i < 200; ++i)
        importance.push_back(ranked(1000 - i));
    const auto words = buildChineseIndex(senses, importance);
    ASSERT_EQ(words.size(), 1u);
    ASSERT_EQ(words[0].references.size(), maxReferences);
    EXPECT_EQ(words[0].references.front(), 199u);
    EXPECT_EQ(words[0].references.back(), 73u);
}

} // namespace
} // namespace lexora::mklib
