// The text converter's streams and conversions: language detection, the three space modes, the
// ends of a text, English translated line by line, and when a conversion may start.
#include "core/textconvert.h"
#include "core/textfile.h"
#include "testfiles.h"

#include <cpconv.h>
#include <lxtran.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace lexora {
namespace {

// GB: 中 国 这, the full-width comma; BIG5: 中 國 這 是 文, the full-width comma.
constexpr char kGbZhong[] = "\xD6\xD0";
constexpr char kGbGuo[] = "\xB9\xFA";
constexpr char kGbZhe[] = "\xD5\xE2";
constexpr char kGbComma[] = "\xA3\xAC";
constexpr char kBig5Zhong[] = "\xA4\xA4";
constexpr char kBig5Guo[] = "\xB0\xEA";
constexpr char kBig5Zhe[] = "\xB3\x6F";
constexpr char kBig5Shi[] = "\xAC\x4F";
constexpr char kBig5Wen[] = "\xA4\xE5";
constexpr char kBig5Comma[] = "\xA1\x41";

std::string join(std::initializer_list<const char*> parts) {
    std::string text;
    for (const char* part : parts)
        text += part;
    return text;
}

// A stream reading a copy of `text` from a global memory block.
struct BlockSource {
    explicit BlockSource(const std::string& text)
        : block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1)), stream(block) {
        std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        stream.open();
    }
    ~BlockSource() {
        stream.close();
        GlobalFree(block);
    }
    HGLOBAL block;
    ClipbrdFile stream;
};

std::string textOf(ClipbrdFile& dest) {
    HGLOBAL block = dest.release();
    std::string text(static_cast<const char*>(GlobalLock(block)));
    GlobalUnlock(block);
    GlobalFree(block);
    return text;
}

std::string convert(const std::string& text, int from, int to, SpaceMode spaces) {
    BlockSource source(text);
    ClipbrdFile dest;
    EXPECT_TRUE(dest.open());
    convertChineseText(source.stream, dest, from, to, spaces);
    return textOf(dest);
}

std::string translate(const std::string& text, bool compare) {
    BlockSource source(text);
    ClipbrdFile dest;
    EXPECT_TRUE(dest.open());
    translateEnglishText(source.stream, dest, CPC_PAGE_GB, compare);
    return textOf(dest);
}

class TextConvertTest : public testing::Test {
  protected:
    void SetUp() override { CPC_SetCodePage(CPC_PAGE_GB); }
};

// Every GB character is also a BIG5 pair, so GB wins a tie; BIG5 text is told by the trail
// bytes 40-7E that GB lacks.
TEST_F(TextConvertTest, LanguageIsThePageMoreCharactersBelongTo) {
    std::string gb = join({"ab ", kGbZhong, kGbGuo});
    EXPECT_EQ(detectLanguage(gb.c_str(), gb.size()), TextLanguage::gb);
    std::string big5 = join({kBig5Zhe, kBig5Shi, kBig5Zhong, kBig5Wen});
    EXPECT_EQ(detectLanguage(big5.c_str(), big5.size()), TextLanguage::big5);
    EXPECT_EQ(detectLanguage("plain text\r\n", 12), TextLanguage::english);
    // A lone lead byte at the end, a NUL and the length end the walk.
    EXPECT_EQ(detectLanguage("ab\xD6", 3), TextLanguage::english);
    EXPECT_EQ(detectLanguage("ab\0\xD6\xD0", 5), TextLanguage::english);
    EXPECT_EQ(detectLanguage(gb.c_str(), 4), TextLanguage::english);
}

// A file is judged by its first 4095 bytes; one that cannot be read counts as English.
TEST_F(TextConvertTest, FileLanguageIsToldFromItsStart) {
    test::TemporaryFile file("txt");
    file.write(std::string(4095, 'a') + join({kBig5Zhe, kBig5Shi}));
    bool opened = false;
    EXPECT_EQ(detectFileLanguage(file.path(), opened), TextLanguage::english);
    EXPECT_TRUE(opened);
    file.write(join({"x", kBig5Zhe, kBig5Shi}));
    EXPECT_EQ(detectFileLanguage(file.path(), opened), TextLanguage::big5);
    EXPECT_EQ(detectFileLanguage("Q:\\no\\such\\file.txt", opened), TextLanguage::english);
    EXPECT_FALSE(opened);
}

TEST_F(TextConvertTest, IgnoreSpaceKeepsEverySpace) {
    std::string gb = join({"a  ", kGbZhong, " b "});
    EXPECT_EQ(convert(gb, CPC_PAGE_GB, CPC_PAGE_BIG5, SpaceMode::keep),
              join({"a  ", kBig5Zhong, " b "}));
    std::string big5 = join({kBig5Zhe, " ", kBig5Guo});
    EXPECT_EQ(convert(big5, CPC_PAGE_BIG5, CPC_PAGE_GB, SpaceMode::keep),
              join({kGbZhe, " ", kGbGuo}));
}

TEST_F(TextConvertTest, InsertSpacePutsOneBeforeEachCharacterButNotBeforePunctuation) {
    std::string gb = join({kGbZhong, kGbGuo, kGbComma});
    EXPECT_EQ(convert(gb, CPC_PAGE_GB, CPC_PAGE_BIG5, SpaceMode::insert),
              join({" ", kBig5Zhong, " ", kBig5Guo, kBig5Comma}));
    // A space already there is replaced, not doubled; before a comma it goes.
    std::string spaced = join({"x ", kGbZhong, " ", kGbComma});
    EXPECT_EQ(convert(spaced, CPC_PAGE_GB, CPC_PAGE_GB, SpaceMode::insert),
              join({"x ", kGbZhong, kGbComma}));
    // Punctuation is judged in GB whatever the source page.
    std::string big5 = join({kBig5Zhong, kBig5Comma});
    EXPECT_EQ(convert(big5, CPC_PAGE_BIG5, CPC_PAGE_BIG5, SpaceMode::insert),
              join({" ", kBig5Zhong, kBig5Comma}));
}

TEST_F(TextConvertTest, DeleteSpaceDropsTheLastSpaceBeforeACharacter) {
    EXPECT_EQ(convert(join({" ", kGbZhong}), CPC_PAGE_GB, CPC_PAGE_BIG5, SpaceMode::remove),
              kBig5Zhong);
    EXPECT_EQ(convert(join({"a  ", kGbZhong}), CPC_PAGE_GB, CPC_PAGE_BIG5, SpaceMode::remove),
              join({"a ", kBig5Zhong}));
    // A final space goes too; other spaces stay.
    EXPECT_EQ(convert("a b ", CPC_PAGE_GB, CPC_PAGE_BIG5, SpaceMode::remove), "a b");
    EXPECT_EQ(convert("a b ", CPC_PAGE_GB, CPC_PAGE_BIG5, SpaceMode::keep), "a b ");
}

TEST_F(TextConvertTest, BrokenCharactersAreKeptAsTheyAre) {
    // A lone lead byte at the end, with the space before it.
    EXPECT_EQ(convert("ab \xD6", CPC_PAGE_GB, CPC_PAGE_BIG5, SpaceMode::remove), "ab \xD6");
    // A lead byte before a byte that is no trail byte.
    EXPECT_EQ(convert("a \xD6\x41z", CPC_PAGE_GB, CPC_PAGE_BIG5, SpaceMode::remove), "a \xD6\x41z");
}

TEST_F(TextConvertTest, ClipboardBlockGrowsAndReadsLineByLine) {
    ClipbrdFile dest;
    ASSERT_TRUE(dest.open());
    std::string written;
    for (int line = 0; line < 100; ++line) {
        std::string text = "line " + std::to_string(line) + "\r\n";
        EXPECT_EQ(dest.putString(text.c_str()), static_cast<int>(text.size()));
        written += text;
    }
    EXPECT_EQ(dest.putChar('!'), '!');
    EXPECT_EQ(dest.putString(""), 0);
    written += '!';
    std::string text = textOf(dest);
    EXPECT_EQ(text, written);

    BlockSource source(text);
    char line[6];
    ASSERT_NE(source.stream.getLine(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "line ");
    ASSERT_NE(source.stream.getLine(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "0\r\n");
    std::string last;
    while (source.stream.getLine(line, sizeof line))
        last = line;
    EXPECT_EQ(last, "!");
    EXPECT_EQ(source.stream.getChar(), -1);
}

TEST_F(TextConvertTest, DiskFileWritesAndReadsBytes) {
    test::TemporaryFile file("txt");
    {
        DiskFile dest(file.path(), "wb");
        ASSERT_TRUE(dest.open());
        EXPECT_EQ(dest.putString("one\r\n"), 5);
        EXPECT_EQ(dest.putChar(0xD6), 0xD6);
    }
    EXPECT_EQ(file.bytes(), "one\r\n\xD6");
    DiskFile source(file.path(), "rb");
    ASSERT_TRUE(source.open());
    char line[16];
    ASSERT_NE(source.getLine(line, sizeof line), nullptr);
    EXPECT_STREQ(line, "one\r\n");
    EXPECT_EQ(source.getChar(), 0xD6);
    EXPECT_EQ(source.getChar(), -1);
    EXPECT_EQ(source.getLine(line, sizeof line), nullptr);
    EXPECT_FALSE(DiskFile("Q:\\no\\such\\dir\\x.txt", "rb").open());
}

TEST_F(TextConvertTest, EnglishLinesAreTranslatedBelowThemselves) {
    char book[1024] = "";
    LXaTransHHStr("book\r\n", book, 1);
    ASSERT_STRNE(book, "");
    EXPECT_EQ(translate("book\r\n", false), book);
    EXPECT_EQ(translate("book\r\n", true), std::string("book\r\n") + book);
}

// Word by word a line may come back far longer than itself: p (便士) between commas.
TEST_F(TextConvertTest, ALongLineTranslatedWordByWordIsWrittenWhole) {
    std::string line;
    while (line.size() < 250)
        line += "p,";
    char expected[4096] = "";
    LXaTransHHStr(line.c_str(), expected, 1);
    EXPECT_GT(std::strlen(expected), 320u);
    EXPECT_EQ(translate(line, false), expected);
}

TEST(ConvertAllowed, AFileIsNotWrittenOverItself) {
    ConvertChoice choice;
    choice.sourceFile = "C:\\Text\\a.TXT";
    choice.destFile = "c:\\text\\A.txt";
    choice.languageChosen = true;
    choice.pageChosen = true;
    EXPECT_FALSE(convertAllowed(choice));
    // Even from the clipboard, while both names are there.
    choice.fromClipboard = true;
    EXPECT_FALSE(convertAllowed(choice));
    choice.toClipboard = true;
    EXPECT_TRUE(convertAllowed(choice));
    choice.toClipboard = false;
    // Only the first 199 bytes count.
    std::string longName(199, 'x');
    std::string source = longName + "1";
    std::string dest = longName + "2";
    choice.sourceFile = source.c_str();
    choice.destFile = dest.c_str();
    EXPECT_FALSE(convertAllowed(choice));
}

} // namespace
} // namespace lexora
