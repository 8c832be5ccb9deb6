#include "corpus.h"

#include <gtest/gtest.h>

#include <string>

namespace lexora::bench {
namespace {

TEST(Recoder, DropsUtf8CharactersGb2312Lacks) {
    Recoder toGb("UTF-8", "GB2312", dropUtf8Character());
    // 中 and 文 convert; the emoji and a stray continuation byte do not.
    EXPECT_EQ(toGb.convert("\xE4\xB8\xAD\xF0\x9F\x98\x80\x80\xE6\x96\x87!"), "\xD6\xD0\xCE\xC4!");
    EXPECT_EQ(toGb.fallbacks(), 2u);
}

TEST(Recoder, ReplacesDoubleByteCharactersBig5LacksAndGoesOn) {
    Recoder toBig5("GB2312", "BIG5", replaceDoubleByte("\xA1\x48"));
    // glibc's GB2312 to BIG5 table has no entry for 酶; 中 follows it.
    const std::string input = "a\xC3\xB8\xD6\xD0";
    char out[8];
    ASSERT_EQ(toBig5.convert(input, out, sizeof out), input.size());
    EXPECT_EQ(std::string(out, input.size()), "a\xA1\x48\xA4\xA4");
    EXPECT_EQ(toBig5.fallbacks(), 1u);
}

TEST(Recoder, RefusesTooSmallOutput) {
    Recoder toUtf8("GB2312", "UTF-8", replaceDoubleByte(""));
    char out[2];
    EXPECT_THROW(toUtf8.convert("\xD6\xD0", out, sizeof out), std::length_error);
}

TEST(BuildGbCorpus, JoinsTranslationsAndRepeatsUntilLargeEnough) {
    const std::string csv = "word,phonetic,definition,translation,pos\n"
                            "a,,,\"n. \xE4\xB8\xAD\\n\xE6\x96\x87\",x\n"
                            "b,,,,\n"
                            "c,,,v. go,\n";
    const std::string pass = "n. \xD6\xD0\n\xCE\xC4\nv. go\n";
    const GbCorpus corpus = buildGbCorpus(csv, 2 * pass.size() + 1);
    EXPECT_EQ(corpus.records, 3u);
    EXPECT_EQ(corpus.passBytes, pass.size());
    EXPECT_EQ(corpus.repeats, 3);
    EXPECT_EQ(corpus.text, pass + pass + pass);
}

} // namespace
} // namespace lexora::bench
