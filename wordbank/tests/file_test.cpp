// The library file: sections, remarks, record lines, bad input, and the file written on save.
#include "testutil.h"

#include "wordbank.h"

#include <gtest/gtest.h>

namespace {

using Records = std::vector<Record>;

const std::string kText = "[User Lib Text]\r\n";
const std::string kBig5Header = "[User Lib Header]\r\nDBCS Code Page = chn-big5\r\n";

// Lines 1-20 of a saved library of page GB.
std::string savedHeader() {
    std::string saved = readBytes(testDataFile("fixture-saved.txt"));
    return saved.substr(0, saved.find(kText) + kText.size());
}

class FileTest : public testing::Test {
  protected:
    // Opens a library file holding text; the records it loaded.
    Records load(const std::string& text) {
        writeBytes(file_, text);
        EXPECT_EQ(WBK_Open(file_.c_str()), 1);
        return allRecords();
    }

    ScratchDir dir_;
    std::string file_ = dir_.file("user.txt");
};

struct LoadCase {
    const char* what;
    std::string text;
    Records expected;
};

// A line of more than WBK_MAX_LINE characters whose tail, from character 1024 on, is a record.
const std::string kOverlong = "\"long\",\"\",\"" + std::string(WBK_MAX_LINE - 12, 'm') +
                              "\"\"tail\",\"\",\"from the middle\"";
// A record line of exactly WBK_MAX_LINE characters.
const std::string kFits = "\"fits\",\"\",\"" + std::string(WBK_MAX_LINE - 12, 'm') + "\"";

TEST_F(FileTest, RecordLines) {
    const LoadCase cases[] = {
        {"spaces around fields, empty soundmark",
         kText + "  \"help\" ,\t\"\"  ,  \"aid\"  \r\n",
         {{"help", "", "aid"}}},
        {"no phrase or no meaning",
         kText + "\"m\",\"s\",\"\"\r\n\"two\",\"s\"\r\n\"a\", x, \"after a missing field\"\r\n"
                 "\"\",\"s\",\"no phrase\"\r\nno quotes,\"s\",\"m\"\r\n\"lost\",,\"\r\n",
         {}},
        {"inner quotes belong to the text",
         kText + "\"say \"hi\"\",\"sei \"hai\",\"greet\"\r\n",
         {{"say \"hi\"", "sei \"hai", "greet"}}},
        {"last field closed before blanks, or open to the end",
         kText + "\"a\",\"\",\"closed\" \t\r\n\"b\",\"\",\"open \"end\r\n",
         {{"a", "", "closed"}, {"b", "", "open \"end"}}},
        {"remarks, empty lines, lines before the text section",
         "\"before\",\"\",\"m\"\r\n" + kText +
             "; \"remark\",\"\",\"m\"\r\n \t;\"r\",\"\",\"m\"\r\n\r\n"
             "   \r\n\"word\",\"\",\"m\"\r\n",
         {{"word", "", "m"}}},
        {"later duplicate replaces the earlier",
         kText + "\"Apple\",\"\",\"first\"\r\n\"apple\",\"ApL\",\"second\"\r\n",
         {{"apple", "ApL", "second"}}},
        {"overlong lines skipped whole",
         kText + kFits + "\r\n" + kOverlong + "\r\n\"next\",\"\",\"m\"\r\n" + kOverlong + "\n",
         {{"fits", "", std::string(WBK_MAX_LINE - 12, 'm')}, {"next", "", "m"}}},
        {"a NUL spoils its line",
         kText + "\"nul\",\"\",\"m" + std::string(1, '\0') + "\"\r\n\"clean\",\"\",\"m\"\r\n",
         {{"clean", "", "m"}}},
        {"LF, CR LF, a CR inside and no end at all",
         "[User Lib Text]\n\"b\",\"\",\"lf\"\n\"a\",\"\",\"cr\"\r junk\r\n\"c\",\"\",\"none\"",
         {{"a", "", "cr"}, {"b", "", "lf"}, {"c", "", "none"}}},
        {"only a header", savedHeader(), {}},
    };
    for (const LoadCase& c : cases)
        EXPECT_EQ(load(c.text), c.expected) << c.what;
}

TEST_F(FileTest, CodePageFromTheHeaderSection) {
    const std::pair<std::string, int> cases[] = {
        {kText, WBK_PAGE_GB},
        {kBig5Header + kText, WBK_PAGE_BIG5},
        {"xx [user LIB header] xx\r\ndbcs code page: CHN-big5\r\n-- [USER lib TEXT] --\r\n",
         WBK_PAGE_BIG5},
        {"DBCS Code Page = CHN-BIG5 before the header\r\n[User Lib Header]\r\n" + kText,
         WBK_PAGE_GB},
        {"[User Lib Header]\r\n; DBCS Code Page = CHN-BIG5\r\nCHN-BIG5\r\n" + kText, WBK_PAGE_GB},
    };
    for (const auto& [text, page] : cases) {
        load(text);
        EXPECT_EQ(WBK_GetCodePage(), page) << text;
    }
}

TEST_F(FileTest, BinaryGarbageLoadsOnlyValidLines) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 251);
    for (const Record& record : load(kText + garbage + "\n\"valid\",\"\",\"m\"\n" + garbage)) {
        EXPECT_FALSE(record.phrase.empty());
        EXPECT_FALSE(record.meaning.empty());
    }
    EXPECT_EQ(WBK_Seek("valid"), 1);
}

TEST_F(FileTest, UnreadableFileLeavesAnUnusableLibrary) {
    std::string missing = dir_.file("missing.txt");
    EXPECT_EQ(WBK_Open(missing.c_str()), 0);
    EXPECT_EQ(WBK_Loaded(), 0);
    EXPECT_EQ(WBK_GetName(nullptr, 0), 0);
    EXPECT_EQ(WBK_AddRecord(packed({"a", "", "m"}).c_str()), 0);
    WBK_Close();
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(WBK_Open(nullptr), 0);
    EXPECT_EQ(WBK_Open(dir_.file(std::string(WBK_MAX_NAME, 'n')).c_str()), 0);
}

// Both builds load the same hand-made file and write the same bytes for it.
TEST_F(FileTest, FixtureSavesToTheExpectedBytes) {
    writeBytes(file_, readBytes(testDataFile("fixture.txt")));
    ASSERT_EQ(WBK_Open(file_.c_str()), 1);
    EXPECT_EQ(WBK_GetRecordCount(), 8);
    ASSERT_EQ(WBK_AddRecord(packed({"wordbank", "wE:dbANk", "\xB4\xCA\xBF\xE2"}).c_str()), 1);
    ASSERT_EQ(WBK_DeleteRecord("ZEBRA"), 1);
    WBK_Close();
    EXPECT_EQ(readBytes(file_), readBytes(testDataFile("fixture-saved.txt")));
    EXPECT_FALSE(fs::exists(file_ + ".tmp"));
}

TEST_F(FileTest, LoadSaveLoadGivesTheSameRecordsAndPage) {
    load(kBig5Header + readBytes(testDataFile("fixture.txt")));
    ASSERT_EQ(WBK_AddRecord(packed({"ends in \"", "\"", "a \"b\" c"}).c_str()), 1);
    Records before = allRecords();
    WBK_Close();
    EXPECT_EQ(load(readBytes(file_)), before);
    EXPECT_EQ(WBK_GetCodePage(), WBK_PAGE_BIG5);
    EXPECT_NE(readBytes(file_).find("\r\nDBCS Code Page = CHN-BIG5\r\n"), std::string::npos);
}

TEST_F(FileTest, CreateEmptiesTheFileAndWritesTheHeader) {
    writeBytes(file_, kText + "\"old\",\"\",\"m\"\r\n");
    ASSERT_EQ(WBK_Create(file_.c_str()), 1);
    EXPECT_EQ(WBK_GetRecordCount(), 0);
    EXPECT_EQ(readBytes(file_), savedHeader());
    EXPECT_EQ(WBK_Create(dir_.file("no-such-dir/user.txt").c_str()), 0);
    EXPECT_EQ(WBK_Loaded(), 0);
}

TEST_F(FileTest, OnlyAChangedLibraryIsWrittenOnClose) {
    load(kText + "\"a\",\"\",\"m\"\r\n");
    writeBytes(file_, "edited meanwhile");
    WBK_Close();
    EXPECT_EQ(readBytes(file_), "edited meanwhile");

    load(kText);
    ASSERT_EQ(WBK_AddRecord(packed({"kept", "", "m"}).c_str()), 1);
    std::string other = dir_.file("other.txt");
    writeBytes(other, kText);
    ASSERT_EQ(WBK_Open(other.c_str()), 1);
    EXPECT_EQ(readBytes(file_), savedHeader() + "\"kept\",\"\",\"m\"\r\n");
}

} // namespace
