// Captured text and short translations on small dictionaries made with the writer.
#include "engine.h"
#include "lxtran.h"
#include "enginetest.h"
#include "testfiles.h"

#include "cpconv.h"
#include "wordbank.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

using namespace testfiles;
using lexora::libwriter::writeLibrary;

namespace {

// GB: 中 国 人 (D6D0 B9FA C8CB).
const std::string kZhong = "\xd6\xd0", kGuo = "\xb9\xfa", kRen = "\xc8\xcb";
// GB: 字典.
const std::string kZidian = "\xd7\xd6\xb5\xe4";
// GB: 文件, 打开, 只读, 一二三.
const std::string kWenjian = "\xce\xc4\xbc\xfe", kDakai = "\xb4\xf2\xbf\xaa";
const std::string kZhidu = "\xd6\xbb\xb6\xc1", kOneTwoThree = "\xd2\xbb\xb6\xfe\xc8\xfd";

std::string repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

class CaptureTest : public EngineTest {
  protected:
    int capture(const std::string& text, int mode = LXA_MATCH_LONGEST) {
        return capture(text, mode, out, sizeof out);
    }
    int capture(const std::string& text, int mode, char* to, int size) {
        return lxtran::translateCaptured(*engine, &exact, text.data(),
                                         static_cast<int>(text.size()), rect, to, size, mode);
    }
    int shortText(const std::string& text, int split = 0, char* to = nullptr) {
        return lxtran::translateShort(*engine, text.c_str(), to ? to : out, split);
    }

    char out[512] = {};
    int exact = -1;
    int rect[4] = {};
};

class CapturedEnglish : public CaptureTest {
  protected:
    void SetUp() override {
        open({{"dictionary", "'dikSEneri", "\x08" + kZidian + "#a\nb"},
              {"word", std::nullopt, "\x08w"}});
    }
    const std::string answer = "dictionary  ['dikSEneri]  n." + kZidian + " a b";
};

TEST_F(CapturedEnglish, AnExactHitShowsThePhoneticInBrackets) {
    EXPECT_EQ(capture("dictionary"), 1);
    EXPECT_EQ(out, answer);
    EXPECT_EQ(exact, 1);
    EXPECT_EQ(rect[0], -1); // no shared block
    // Only the given length counts; an ellipsis is cut off.
    EXPECT_EQ(
        lxtran::translateCaptured(*engine, &exact, "dictionaryXYZ", 10, rect, out, sizeof out, 0),
        1);
    EXPECT_EQ(out, answer);
    EXPECT_EQ(capture("dictionary..."), 1);
    EXPECT_EQ(out, answer);
    // Without a phonetic everything after the headword is the meaning, unbracketed.
    EXPECT_EQ(capture("word"), 1);
    EXPECT_STREQ(out, "word    n.w");
}

TEST_F(CapturedEnglish, ANearEntryIsNamedAfterTheText) {
    EXPECT_EQ(capture("dictionari"), 1);
    EXPECT_EQ(out, "dictionari => dictionary ['dikSEneri]  n." + kZidian + " a b");
    EXPECT_EQ(exact, 0);
    // Two periods stay part of the text.
    EXPECT_EQ(capture("dictionary.."), 1);
    EXPECT_EQ(std::string(out).rfind("dictionary.. ", 0), 0u) << out;
}

TEST_F(CapturedEnglish, NothingIsShownForEmptyOrNonAsciiText) {
    std::strcpy(out, "old");
    EXPECT_EQ(capture(""), 0);
    EXPECT_STREQ(out, "");
    std::strcpy(out, "old");
    EXPECT_EQ(capture("caf\xe9"), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(exact, 0);
}

TEST_F(CapturedEnglish, TheAnswerLeavesSixBytesOfTheOutput) {
    auto small = std::make_unique<char[]>(20);
    EXPECT_EQ(capture("dictionary", 0, small.get(), 20), 1);
    EXPECT_EQ(small.get(), answer.substr(0, 14));
}

class CapturedChinese : public CaptureTest {
  protected:
    void SetUp() override {
        // China 0, eleven 1, middle 2, ten 3.
        open(entriesFor({"China", "eleven", "middle", "ten"}),
             {{kGuo, {0, 2, 3}},
              {kZhong, {2}},
              {kZhong + kGuo, {0, 2}},
              {repeat(kZhong + kGuo + kRen, 2), {1}}, // lets the next word front-code
              {repeat(kZhong + kGuo + kRen, 3) + kZhong, {3}},
              {repeat(kZhong + kGuo + kRen, 3) + kZhong + kGuo, {1}}});
    }
};

TEST_F(CapturedChinese, TheMatchModeChoosesThePrefix) {
    const std::string text = repeat(kZhong + kGuo + kRen, 5); // 15 characters
    EXPECT_EQ(capture(text, LXA_MATCH_LONGEST), 1);
    EXPECT_EQ(out, text.substr(0, 20) + "  ten"); // ten characters at most
    EXPECT_EQ(exact, 1);
    EXPECT_EQ(+engine->trans.zwWordNumber, 4);

    EXPECT_EQ(capture(text, LXA_MATCH_SHORTEST), 1);
    EXPECT_EQ(out, kZhong + kGuo + "  China, middle");
    EXPECT_EQ(+engine->trans.refCount, 2);

    EXPECT_EQ(capture(text, LXA_MATCH_FIRST_CHARACTER), 1);
    EXPECT_EQ(out, kZhong + "  middle");

    // Shortest first falls back to the first character.
    EXPECT_EQ(capture(kZhong + kRen, LXA_MATCH_SHORTEST), 1);
    EXPECT_EQ(out, kZhong + "  middle");
}

TEST_F(CapturedChinese, AnUnknownTextAnswersNotFound) {
    EXPECT_EQ(capture(kRen + kZhong + "abc"), 1);
    EXPECT_EQ(out, kRen + "  Not Found");
    EXPECT_EQ(exact, 0);
}

TEST_F(CapturedChinese, AListingCutForRoomKeepsItsSeparator) {
    EXPECT_EQ(capture(kGuo), 1);
    EXPECT_EQ(out, kGuo + "  China, middle, ten");
    auto small = std::make_unique<char[]>(16);
    EXPECT_EQ(capture(kGuo, 0, small.get(), 16), 1);
    EXPECT_EQ(small.get(), kGuo + "  China, m, ");
}

TEST_F(CapturedChinese, TheUserLibraryAnswersFirst) {
    TempFile library(std::vector<uint8_t>{}, "USER.TXT");
    std::filesystem::remove(library.path());
    ASSERT_NE(WBK_Create(library.path().c_str()), 0);
    const std::string record = kZhong + kGuo + std::string("\0CEG\0China", 10);
    ASSERT_NE(WBK_AddRecord(record.c_str()), 0);
    EXPECT_EQ(capture(kZhong + kGuo), 1);
    EXPECT_EQ(out, kZhong + kGuo + "  0/2China");
    EXPECT_EQ(exact, 1);
    WBK_Close();
}

class ShortTranslation : public CaptureTest {
  protected:
    void SetUp() override {
        open(
            {{"Far", std::string(70, 'x'), "\x08" + kWenjian},
             {"File", std::nullopt, "\x08" + kWenjian},
             {"Go", std::nullopt, kOneTwoThree},
             {"Open", std::nullopt, "\x12U " + kDakai + "[\xbc\xc6],\xbf\xaa\xc6\xf4"}, // [计],开启
             {"Read-only", std::nullopt, "\x03" + kZhidu},
             {"Shut", std::nullopt, "[\xbc\xc6] " + kDakai},          // [计]
             {"Up", std::nullopt, kOneTwoThree + "\xcb\xc4\xce\xe5"}, // 一二三四五
             {"Wide", std::nullopt, repeat("\xbf\xed", 75)}});        // 宽
    }
};

TEST_F(ShortTranslation, TheFirstMeaningOfTheWholeText) {
    EXPECT_EQ(shortText("File..."), 7);
    EXPECT_EQ(out, kWenjian + "...");
    EXPECT_EQ(shortText("Open"), 4);
    EXPECT_EQ(out, kDakai);
    EXPECT_EQ(shortText("Go"), 6); // 7 bytes longer than the text at most
    EXPECT_EQ(out, kOneTwoThree);
    for (const char* unusable : {"Shut", "Far", "Zebra", ""}) {
        EXPECT_EQ(shortText(unusable), 0) << unusable;
        EXPECT_STREQ(out, "") << unusable;
    }
    EXPECT_EQ(shortText("Up"), -1);
    EXPECT_STREQ(out, "");
    std::strcpy(out, "kept");
    EXPECT_EQ(shortText("6"), 0);
    EXPECT_STREQ(out, "kept");
}

TEST_F(ShortTranslation, WordByWord) {
    EXPECT_EQ(shortText("Open read-only!", 1), 9);
    EXPECT_EQ(out, kDakai + kZhidu + "!");
    EXPECT_EQ(shortText("Open, File 2", 1), 11);
    EXPECT_EQ(out, kDakai + "," + kWenjian + " 2");
    // A single word may be only 3 bytes longer than its text.
    EXPECT_EQ(shortText("Go on", 1), 5);
    EXPECT_STREQ(out, "Go on");
    // Texts of three bytes are not split.
    EXPECT_EQ(shortText("Fil", 1), 0);
}

// The caller promises 120 bytes, and 80 past the end at every word.
TEST_F(ShortTranslation, OutputStaysWithinTheRoomPromised) {
    auto buffer = std::make_unique<char[]>(120);
    EXPECT_EQ(shortText("File" + std::string(200, '.'), 0, buffer.get()), 119);
    EXPECT_EQ(buffer.get(), kWenjian + std::string(115, '.'));
    EXPECT_EQ(shortText("Wide" + std::string(120, ' '), 0, buffer.get()), 118);
    EXPECT_EQ(buffer.get(), repeat("\xbf\xed", 59));
    EXPECT_EQ(shortText("Open " + std::string(200, '!'), 1, buffer.get()), 119);
    EXPECT_EQ(buffer.get(), kDakai + " " + std::string(114, '!'));
    EXPECT_EQ(shortText(repeat("Zq", 100), 1, buffer.get()), 119);
}

TEST_F(CaptureTest, TheShortCacheKeepsTheTextsInUse) {
    std::vector<std::string> words;
    for (int i = 0; i < 402; ++i)
        words.push_back("w" + std::to_string(1000 + i));
    open(entriesFor(words));
    for (int i = 0; i < 400; ++i)
        ASSERT_EQ(shortText(words[i]), 7) << words[i]; // "meaning"
    EXPECT_EQ(engine->shortCount, 400);
    shortText(words[0]);
    shortText(words[0]);
    shortText(words[1]);
    EXPECT_EQ(engine->shorts[0].score, 6);

    // Scores age as the scan passes: the first slot to reach 0 is slot 2 on the third round.
    shortText(words[400]);
    EXPECT_STREQ(engine->shorts[2].key, words[400].c_str());
    EXPECT_EQ(engine->shorts[0].score, 1);
    EXPECT_EQ(engine->shortCursor, 3);
    shortText(words[401]);
    EXPECT_STREQ(engine->shorts[3].key, words[401].c_str());

    // Without the dictionary only cached texts are answered, and case counts.
    std::filesystem::remove(file->path());
    EXPECT_EQ(shortText(words[0]), 7);
    EXPECT_EQ(shortText(words[400]), 7);
    EXPECT_EQ(shortText(words[2]), -1);
    EXPECT_EQ(shortText("W1000"), -1);

    // Raised while below 20.
    for (int i = 0; i < 20; ++i)
        shortText(words[0]);
    EXPECT_EQ(engine->shorts[0].score, 21);
}

} // namespace
