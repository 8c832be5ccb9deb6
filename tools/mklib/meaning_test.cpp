#include "meaning.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace lexora::mklib {
namespace {

using testing::encoder;
using testing::gb;
using Senses = std::vector<std::string>;

TEST(GbEncoder, TakesGb2312FirstAndTraditionalCharactersThroughBig5) {
    EXPECT_EQ(encoder().encode("书 a１，"), "\xCA\xE9 a\xA3\xB1\xA3\xAC");
    // 書籍 and 體 are not in GB2312; their BIG5 forms map to 书籍 and 体.
    EXPECT_EQ(encoder().encode("書籍體"), "\xCA\xE9\xBC\xAE\xCC\xE5");
}

TEST(GbEncoder, RefusesTextWithACharacterGbLacks) {
    EXPECT_EQ(encoder().encode("书한"), std::nullopt);
    EXPECT_EQ(encoder().encode("书\xF0\x9F\x98\x80"), std::nullopt);
    EXPECT_EQ(encoder().encode("书\xE4\xB8"), std::nullopt);
    std::string out = "kept";
    EXPECT_FALSE(encoder().encode("a한", out));
    EXPECT_EQ(out, "kept");
}

TEST(GbEncoder, TurnsControlCharactersIntoSpaces) {
    EXPECT_EQ(encoder().encode("a\tb\x1A"
                               "c\u00A0d"),
              "a b c d");
}

TEST(SplitTag, RecognisesTheLabelsOfTheTable) {
    const TaggedLine noun = splitTag("  n. 书, 书籍");
    EXPECT_EQ(noun.code, 8);
    EXPECT_EQ(noun.label, "n.");
    EXPECT_EQ(noun.senses, "书, 书籍");
    EXPECT_EQ(splitTag("vt. 登记").code, 18);
    EXPECT_EQ(splitTag("aux.v. 能").code, 16);
    EXPECT_EQ(splitTag("adj.好的").code, 27);
    EXPECT_EQ(splitTag("pl. 孩子们").code, 24);
}

TEST(SplitTag, MapsEcdictsOtherSpellings) {
    EXPECT_EQ(splitTag("interj. 喂").code, 7);
    EXPECT_EQ(splitTag("aux. 助动词").code, 16);
    EXPECT_EQ(splitTag("vt.vi. 酸化").code, 15);
}

TEST(SplitTag, KeepsOtherTagsAsText) {
    const TaggedLine abbreviation = splitTag("abbr. 高级电视研究中心");
    EXPECT_EQ(abbreviation.code, 0);
    EXPECT_EQ(abbreviation.label, "abbr.");
    EXPECT_EQ(abbreviation.senses, "高级电视研究中心");
    EXPECT_EQ(splitTag("a.m. 上午").label, "a.m.");
}

TEST(SplitTag, FindsNoTagInOrdinaryText) {
    EXPECT_EQ(splitTag("[计] 工作簿").label, "");
    EXPECT_EQ(splitTag("n.b 注意").label, "");
    EXPECT_EQ(splitTag("= between").label, "");
    EXPECT_EQ(splitTag("abbreviation. x").label, "");
}

TEST(SplitSenses, SplitsAtEverySeparatorOutsideBrackets) {
    EXPECT_EQ(splitSenses("书, 书籍；帐簿、名册，工作簿;簿"),
              (Senses{"书", "书籍", "帐簿", "名册", "工作簿", "簿"}));
    EXPECT_EQ(splitSenses("使(马,鹰等)戴头罩；给…加罩"), (Senses{"使(马，鹰等)戴头罩", "给…加罩"}));
    EXPECT_EQ(splitSenses("（甲；乙【丙,丁】）戊,己"), (Senses{"（甲；乙【丙，丁】）戊", "己"}));
}

TEST(SplitSenses, DropsEmptySensesAndTrimsSpaces) {
    EXPECT_EQ(splitSenses(" 书 ,, \u3000书籍\u3000；"), (Senses{"书", "书籍"}));
    EXPECT_EQ(splitSenses(""), Senses{});
}

TEST(ParseTranslation, MakesOneLineOfSensesPerTranslationLine) {
    const auto lines = parseTranslation("n. 书, 书籍\\nv. 登记, 预订\\n[计] 工作簿", encoder());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].code, 8);
    EXPECT_EQ(lines[0].senses, (Senses{gb("书"), gb("书籍")}));
    EXPECT_EQ(lines[1].code, 15);
    EXPECT_EQ(lines[2].code, 0);
    EXPECT_EQ(lines[2].senses, (Senses{gb("[计] 工作簿")}));
}

TEST(ParseTranslation, KeepsWebLinesOnlyWhenNothingElseIsThere) {
    const auto withOthers = parseTranslation("n. 罩\\n[网络] 胡德；兜帽", encoder());
    ASSERT_EQ(withOthers.size(), 1u);
    EXPECT_EQ(withOthers[0].senses, Senses{gb("罩")});
    const auto alone = parseTranslation("[网络] 胡德；兜帽", encoder());
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].senses, (Senses{gb("[网络] 胡德"), gb("兜帽")}));
}

TEST(ParseTranslation, DropsTheSensesThatDoNotConvertAndTheLinesLeftEmpty) {
    const auto lines = parseTranslation("n. 书, 한국, 書籍, 书\\nvt. 한", encoder());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].senses, (Senses{gb("书"), gb("书籍")}));
    EXPECT_TRUE(parseTranslation("한\\n\\n", encoder()).empty());
}

TEST(InflectionLine, NamesTheLemmaAndTheForm) {
    // The abbreviation CATS is the translation of "cats"; the plural must show all the same.
    const auto plural = inflectionLine("1:s3/0:cat", "cats", "abbr. 高级电视研究中心", encoder());
    ASSERT_TRUE(plural);
    EXPECT_EQ(plural->code, 8);
    EXPECT_EQ(plural->senses, Senses{gb("cat的复数")});
    const auto past = inflectionLine("0:walk/1:pd", "walked", "v. 走路", encoder());
    ASSERT_TRUE(past);
    EXPECT_EQ(past->code, 15);
    EXPECT_EQ(past->senses, Senses{gb("walk的过去式")});
    EXPECT_EQ(inflectionLine("0:good/1:r", "better", "a. 较好的", encoder())->code, 3);
}

TEST(InflectionLine, IsLeftOutWhenTheTranslationSaysSo) {
    EXPECT_FALSE(inflectionLine("0:walk/1:pd", "walked", "v. 散步（walk的过去分词）", encoder()));
    EXPECT_FALSE(inflectionLine("0:x/1:pd", "xed", "(x 的过去分词) vt. 处理", encoder()));
}

TEST(InflectionLine, NeedsALemmaAndAKnownForm) {
    EXPECT_FALSE(inflectionLine("s:books/d:booked", "book", "n. 书", encoder()));
    EXPECT_FALSE(inflectionLine("1:s", "sheep", "n. 羊", encoder()));
    EXPECT_FALSE(inflectionLine("0:Sheep/1:s", "sheep", "n. 羊", encoder()));
    EXPECT_FALSE(inflectionLine("0:cat/1:x", "cats", "n. 猫", encoder()));
}

MeaningLine line(uint8_t code, std::string label, Senses senses) {
    return {code, std::move(label), std::move(senses)};
}

TEST(ComposeMeaning, JoinsCodedLinesDirectlyAndOthersWithAComma) {
    const std::vector<MeaningLine> lines = {line(8, "", {"AA", "BB"}), line(15, "", {"CC"}),
                                            line(0, "", {"DD"}), line(0, "abbr.", {"EE"})};
    const ComposedMeaning meaning = composeMeaning(lines, 255);
    EXPECT_EQ(meaning.text, "\x08"
                            "AA,BB\x0F"
                            "CC,DD,abbr. EE");
    EXPECT_EQ(meaning.senses, (Senses{"AA", "BB", "CC", "DD", "EE"}));
    EXPECT_EQ(composeMeaning({line(0, "abbr.", {"EE"})}, 255).text, "abbr. EE");
}

TEST(ComposeMeaning, KeepsTheFirstSensesOfEveryLineBeforeTheSecondOnes) {
    const std::vector<MeaningLine> lines = {line(8, "", {"AAAA", "BBBB", "CCCC"}),
                                            line(15, "", {"DDDD", "EEEE"})};
    // \x08AAAA \x0FDDDD: 10 bytes; ,BBBB: 15 in all; ,EEEE would make 20.
    EXPECT_EQ(composeMeaning(lines, 19).text, "\x08"
                                              "AAAA,BBBB\x0F"
                                              "DDDD");
    EXPECT_EQ(composeMeaning(lines, 20).text, "\x08"
                                              "AAAA,BBBB\x0F"
                                              "DDDD,EEEE");
}

TEST(ComposeMeaning, StopsALineAtItsFirstSenseThatDoesNotFit) {
    const std::vector<MeaningLine> lines = {line(8, "", {"AAAA", "BBBBBBBB", "C"}),
                                            line(15, "", {"DDDD", "E"})};
    EXPECT_EQ(composeMeaning(lines, 14).text, "\x08"
                                              "AAAA\x0F"
                                              "DDDD,E");
}

TEST(ComposeMeaning, CutsTheFirstSenseAtACharacterWhenNothingFits) {
    const std::vector<MeaningLine> lines = {line(8, "", {gb("书籍帐簿")})};
    const ComposedMeaning meaning = composeMeaning(lines, 6);
    EXPECT_EQ(meaning.text, "\x08" + gb("书籍"));
    EXPECT_TRUE(meaning.senses.empty());
}

TEST(HasChineseSense, NeedsADoubleByteCharacter) {
    EXPECT_FALSE(hasChineseSense({line(12, "", {"= between"})}));
    EXPECT_TRUE(hasChineseSense({line(12, "", {"= between", gb("在中间")})}));
}

} // namespace
} // namespace lexora::mklib
