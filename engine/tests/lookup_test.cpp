// The engine's lookups on small dictionaries made with the writer, so every answer is exact.
#include "engine.h"
#include "lxtran.h"
#include "enginetest.h"
#include "testfiles.h"

#include "cpconv.h"
#include "wordbank.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

using namespace testfiles;
using lexora::libwriter::writeLibrary;

namespace {

// GB: 中 国 人 (D6D0 B9FA C8CB).
const std::string kZhong = "\xd6\xd0", kGuo = "\xb9\xfa", kRen = "\xc8\xcb";

class LookupTest : public EngineTest {
  protected:
    int translate(const char* input, int mode = 0) {
        return lxtran::translate(*engine, mode, input, out, sizeof out);
    }
    std::string headword() const { return std::string(out, strcspn(out, "\x01")); }

    char out[256] = {};
};

TEST_F(LookupTest, QueriesAreNormalised) {
    open(entriesFor({"big\tcat", "big cats", "dog"}));
    EXPECT_EQ(translate("  big   cats "), 1);
    EXPECT_EQ(headword(), "big cats");
    EXPECT_EQ(translate("big \tcat"), 1);
    EXPECT_EQ(headword(), "big\tcat");
    EXPECT_EQ(translate(" \t "), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(translate(nullptr), -1);
}

TEST_F(LookupTest, InflectedFormsFindTheirStem) {
    open(entriesFor({"boxe", "bu", "cat", "clas", "do", "fly", "lov", "run", "try", "walk"}));
    for (auto [form, stem] : {std::pair{"Cats", "cat"},
                              {"flies", "fly"},
                              {"tried", "try"},
                              {"walked", "walk"},
                              {"loved", "lov"},
                              {"running", "run"},
                              {"boxes", "boxe"}}) {
        EXPECT_EQ(translate(form), 1) << form;
        EXPECT_EQ(headword(), stem) << form;
    }
    // These keep their endings, so they only come near.
    for (const char* word : {"class", "bus", "doing"})
        EXPECT_EQ(translate(word), 0) << word;
}

TEST_F(LookupTest, MissesGiveTheNearestEntryExceptInShortMode) {
    open(entriesFor({"apple", "banana", "cherry"}));
    EXPECT_EQ(translate("bananas split"), 0);
    EXPECT_EQ(headword(), "banana");
    EXPECT_EQ(translate("bananas split", LXA_MODE_SHORT), 0);
    EXPECT_STREQ(out, "");
    // Remembered: the second miss is answered without the dictionary, which is gone by then.
    std::filesystem::remove(file->path());
    EXPECT_EQ(translate("bananas split", LXA_MODE_SHORT), 0);
    EXPECT_EQ(translate("cherries jubilee", LXA_MODE_SHORT), -1);
}

TEST_F(LookupTest, EntriesByNumberAndTheCurrentEntry) {
    open(entriesFor({"apple", "banana", "cherry"}));
    char text[8];
    EXPECT_EQ(lxtran::entryText(*engine, 1, text, sizeof text), 1);
    EXPECT_STREQ(text, "banana"); // cut to size - 2 bytes
    EXPECT_EQ(lxtran::currentEntryNumber(*engine), 1);
    EXPECT_EQ(lxtran::entryText(*engine, 3, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(translate("cherry"), 1);
    EXPECT_EQ(lxtran::currentEntryNumber(*engine), 2);
}

TEST_F(LookupTest, ChineseWordsListTheirTranslations) {
    std::vector<ChineseWord> words = {{kRen, {}}, {kZhong, {0}}, {kZhong + kGuo, {2, 0, 1, 3}}};
    for (uint32_t n = 0; n < 100; ++n)
        words[0].references.push_back(n % 4);
    open(entriesFor({"China", "middle", "person", "zhong"}), words);

    EXPECT_EQ(translate((kZhong + kGuo).c_str()), 1);
    EXPECT_EQ(engine->dbcsCount, 2);
    EXPECT_EQ(headword(), "person"); // the first reference
    EXPECT_EQ(+engine->trans.zwWordNumber, 2);
    EXPECT_EQ(+engine->trans.refCount, 4);
    EXPECT_EQ(+engine->trans.refs[3], 0);
    EXPECT_EQ(+engine->trans.refs[9], 3);

    EXPECT_EQ(translate(kRen.c_str()), 1);
    EXPECT_EQ(+engine->trans.refCount, 80);

    // Not in the index: the nearest lower word, and no exact hit.
    EXPECT_EQ(translate((kZhong + kRen).c_str()), 0);
    EXPECT_EQ(+engine->trans.zwWordNumber, 2);

    EXPECT_EQ(translate(("a" + kZhong).c_str()), 0);
    EXPECT_GT(engine->dbcsCount, 0);
    EXPECT_EQ(translate("abc"), 0);
    EXPECT_EQ(engine->dbcsCount, 0);

    char word[8];
    EXPECT_EQ(lxtran::chineseWord(*engine, 0, word, sizeof word), 1);
    EXPECT_EQ(word, kRen);
    EXPECT_EQ(lxtran::chineseWord(*engine, 3, word, sizeof word), 0);
    EXPECT_EQ(lxtran::chineseWord(*engine, -1, word, sizeof word), 0);
}

TEST_F(LookupTest, NumbersAndDomainNamesAreRendered) {
    open(entriesFor({"apple", "com"}));
    EXPECT_EQ(translate("RMB1,000"), 1);
    EXPECT_STREQ(out, "1000\x01\xc8\xcb\xc3\xf1\xb1\xd2\x02\xd2\xbc\xc7\xaa\xd4\xaa\xd5\xfb");
    EXPECT_EQ(translate("www.xyz.com"), 1);
    EXPECT_STREQ(
        out, "www.xyz.com\x01\xd3\xf2\xc3\xfb\x02\xcd\xf2\xce\xac\xcd\xf8.xyz.\xb9\xab\xcb\xbe");
    // Short mode leaves numbers to the dictionary.
    EXPECT_EQ(translate("1000", LXA_MODE_SHORT), 0);
}

// The user library answers first; its record becomes an entry text with phonetic codes.
TEST_F(LookupTest, TheUserLibraryComesFirst) {
    open(entriesFor({"help", "helper"}));
    TempFile library(std::vector<uint8_t>{}, "USER.TXT");
    std::filesystem::remove(library.path());
    ASSERT_NE(WBK_Create(library.path().c_str()), 0);
    const char record[] = "help\0hElp\0\xb0\xef\xd6\xfa";
    ASSERT_NE(WBK_AddRecord(record), 0);

    int length = translate("help");
    EXPECT_EQ(length, static_cast<int>(sizeof record));
    EXPECT_STREQ(out, "help\x01h/lp\x02\xb0\xef\xd6\xfa");

    // A record cut short by the output keeps only the separators of the fields it holds.
    char small[8];
    EXPECT_GT(lxtran::translate(*engine, 0, "help", small, sizeof small), 0);
    EXPECT_STREQ(small, "help\x01h/");

    EXPECT_EQ(translate("helper"), 1);
    EXPECT_EQ(headword(), "helper");
    WBK_Close();
}

} // namespace
